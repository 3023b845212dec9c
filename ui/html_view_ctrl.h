// The platform's WebBrowser control living as a child control of a dialog: a plain child
// window of our own hosts the control in place through a BrowserSite. When the control cannot
// be had, the window stays as an empty area and every browser call does nothing.
#pragma once

#include "browser_site.h"
#include "com_ref.h"

#include <exdisp.h>
#include <windows.h>

class CHtmlViewCtrl : public BrowserSiteOwner {
public:
    CHtmlViewCtrl() = default;
    virtual ~CHtmlViewCtrl();
    CHtmlViewCtrl(const CHtmlViewCtrl&) = delete;
    CHtmlViewCtrl& operator=(const CHtmlViewCtrl&) = delete;

    // Creates the child window, then the browser inside it. False only when the window
    // itself cannot be created; a missing browser leaves the window empty.
    BOOL Create(LPCSTR windowName, DWORD style, const RECT& rect, HWND parent, UINT id);
    // Opens a URL or a plain file path.
    void Navigate2(LPCSTR url, DWORD flags = 0, LPCSTR targetFrameName = nullptr, LPCSTR headers = nullptr);

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The browser, null when it could not be created.
    IWebBrowser2* GetBrowser() const { return m_browser.Get(); }

    // Keys for the page (Tab, arrows, shortcuts) go to the browser first; true when it used them.
    virtual BOOL PreTranslateMessage(MSG* message);

    // Right-clicking the page: S_OK means handled, so the browser shows no menu of its own.
    HRESULT OnShowContextMenu(DWORD menuId, LPPOINT point, LPUNKNOWN commandTarget, LPDISPATCH dispatch) override;
    HWND GetSiteWindow() const override { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateBrowser();
    void DestroyBrowser();

    HWND m_hWnd = nullptr;
    bool m_oleStarted = false;
    BrowserSite* m_site = nullptr;  // one reference of ours
    ComRef<IOleObject> m_object;
    ComRef<IWebBrowser2> m_browser;
};
