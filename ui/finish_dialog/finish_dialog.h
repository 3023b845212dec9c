// The dialog shown after a successful installation: the welcome page in an embedded browser
// over the whole client area but a painted band at the bottom (50 pixels at 96 DPI), whose one
// button closes a running Outlook and starts it. The page is written into a folder of its own
// under the run's work folder, made with the dialog object and removed with it. The concrete
// dialog says which assets the page has and what the button does.
#pragma once

#include "foundation/fs_path.h"
#include "ui/painted/button_close_finish_dlg.h"
#include "ui/painted/gdiplus_dlg.h"
#include "ui/welcome/html_view_ctrl.h"

class CDlgFinishSetup : public CGdiPlusDlg {
public:
    // Creates the welcome folder inside workFolder; throws Error::VsExceptionText when it cannot.
    CDlgFinishSetup(UINT nPageResourceId, CStringA strTitle, CStringA strButtonText, CWnd* pParentWnd,
                    const VsFsPath& workFolder);
    // Removes the welcome folder as far as it can, silently.
    ~CDlgFinishSetup() override;

    // Escape never reaches the dialog manager, so it does not close the dialog.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    // The band below the browser view: a vertical gradient under a grey line (2 pixels at 96 DPI).
    void DrawBackground(std::shared_ptr<Gdiplus::Graphics> spGraphics, CRect rcClient, int nMode) override;

    // Writes the page resource to the file, behind one UTF-8 byte-order mark.
    void WriteWelcomePage(const char* path);
    // Writes the page's style sheet and pictures into m_pathWelcome.
    virtual void WriteWelcomeAssets() = 0;
    // The button's action.
    virtual void OnCloseAndStart() = 0;

    const VsFsPath& GetWelcomeFolder() const { return m_pathWelcome; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The close box, the system menu's Close, Alt+F4: the dialog ends with IDCANCEL.
    void OnClose();
    void OnBnClickedClose();
    // The button, the browser's area and the band are placed again at the new DPI.
    void OnDpiChanged(UINT nDpi, const RECT& rcSuggested) override;
    // The browser's area: the client area above the band.
    CRect ViewArea() const;

    VsFsPath m_pathWelcome;
    UINT m_nPageResourceId;
    CStringA m_strTitle;
    CStringA m_strButtonText;
    CHtmlViewCtrl m_wndHtmlView;
    CButtonCloseFinishDlg m_btnClose;
    HICON m_hIcon; // a shared icon, never destroyed
};
