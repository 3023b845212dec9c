// The platform's WebBrowser control living as a child control of a dialog: a plain child
// window hosts the control in place through a BrowserSite. It runs elevated, so it shows only
// the files of its page's folder: an outside link goes to the person's own browser through the
// desktop's shell, no new window, download, drop or script error box is made, and only the
// keys that move through the page reach it. When the control cannot be had, or its events
// cannot be heard, the window stays as an empty white area and every browser call does nothing.
#pragma once

#include "foundation/com_init_guard.h"
#include "foundation/com_ref.h"
#include "framework/wnd.h"
#include "ui/welcome/browser_events.h"
#include "ui/welcome/browser_site.h"
#include "ui/welcome/navigation_policy.h"

#include <exdisp.h>
#include <ocidl.h>

class CHtmlViewCtrl : public CWnd, public BrowserSiteOwner, public BrowserEventsOwner {
public:
    CHtmlViewCtrl() = default;
    ~CHtmlViewCtrl() override;

    // Creates the child window (a null class name gives the framework's plain class), then the
    // browser inside it. FALSE only when the window itself cannot be created.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID) override;
    // Opens a page file (a plain path or a file URL) in this view, with no headers or post data.
    // From then on the view shows only files of that page's folder.
    void Navigate2(LPCSTR url, DWORD flags = 0);
    // The browser, null when it could not be created.
    IWebBrowser2* GetBrowser() const { return m_browser.Get(); }

    // The keys that move through the page go to the browser first. Any other key goes on as if
    // this plain window had the focus: the browser never sees it, the dialog still does (Alt+F4).
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Right-clicking the page: S_OK means handled, so the browser shows no menu of its own.
    HRESULT OnShowContextMenu(DWORD menuId, LPPOINT point, LPUNKNOWN commandTarget, LPDISPATCH dispatch) override;
    HWND GetSiteWindow() const override { return m_hWnd; }

    bool OnNavigate(const WCHAR* url) override;
    void OnNewWindow(const WCHAR* url) override;

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The view is a member of its dialog and dies with it, not with its window.
    void PostNcDestroy() override {}
    // An http, https or mailto link the person followed: the desktop's shell opens it as the
    // person, never the elevated setup.
    virtual void OpenOutside(const WCHAR* url);

private:
    bool CreateBrowser();
    bool ConnectEvents();
    void DestroyBrowser();

    OleInitGuard m_ole;
    ComRef<BrowserSite> m_site;
    ComRef<IOleObject> m_object;
    ComRef<IWebBrowser2> m_browser;
    ComRef<BrowserEvents> m_events;
    ComRef<IConnectionPoint> m_eventSource;
    DWORD m_eventCookie = 0;
    PagePath m_folder;
};
