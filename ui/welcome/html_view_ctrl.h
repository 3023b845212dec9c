// The platform's WebBrowser control living as a child control of a dialog: a plain child
// window hosts the control in place through a BrowserSite. When the control cannot be had,
// the window stays as an empty white area and every browser call does nothing.
#pragma once

#include "foundation/com_init_guard.h"
#include "foundation/com_ref.h"
#include "framework/wnd.h"
#include "ui/welcome/browser_site.h"

#include <exdisp.h>

class CHtmlViewCtrl : public CWnd, public BrowserSiteOwner {
public:
    CHtmlViewCtrl() = default;
    ~CHtmlViewCtrl() override;

    // Creates the child window (a null class name gives the framework's plain class), then the
    // browser inside it. FALSE only when the window itself cannot be created.
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID) override;
    // Opens a URL or a plain file path, in this view, with no headers or post data.
    void Navigate2(LPCSTR url, DWORD flags = 0);
    // The browser, null when it could not be created.
    IWebBrowser2* GetBrowser() const { return m_browser.Get(); }

    // Keys for the page (Tab, arrows, shortcuts) go to the browser first.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Right-clicking the page: S_OK means handled, so the browser shows no menu of its own.
    HRESULT OnShowContextMenu(DWORD menuId, LPPOINT point, LPUNKNOWN commandTarget, LPDISPATCH dispatch) override;
    HWND GetSiteWindow() const override { return m_hWnd; }

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The view is a member of its dialog and dies with it, not with its window.
    void PostNcDestroy() override {}

private:
    bool CreateBrowser();
    void DestroyBrowser();

    OleInitGuard m_ole;
    ComRef<BrowserSite> m_site;
    ComRef<IOleObject> m_object;
    ComRef<IWebBrowser2> m_browser;
};
