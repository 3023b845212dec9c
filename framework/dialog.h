// A dialog made from a template resource of the resource module. DoModal runs it in a loop of
// our own: every message is first offered to PreTranslateMessage of the window it is for and
// of each bound parent up to the dialog, whose own PreTranslateMessage hands keyboard and mouse
// input to the dialog manager (IsDialogMessage). Data exchange binds template controls to
// member objects the first time it runs, inside the base OnInitDialog.
#pragma once

#include "framework/wnd.h"

class CDialog;

struct CDataExchange {
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds the template control nIDC to rControl by subclassing it, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; the result of EndDialog, or -1 when it could not be created.
    // An exception raised inside any procedure of this thread's windows meanwhile ends the
    // dialog and is thrown from here once the dialog's window is gone.
    virtual INT_PTR DoModal();
    // Creates the dialog without running it (modeless); it stays hidden unless its template shows it.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // WM_CLOSE: the dialog manager turns it into the Cancel command.
    void OnClose();

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateFromTemplate(HWND hWndOwner);
    void CenterIfUnplaced(const RECT& rectBefore, DWORD styleBefore);
    void RunModalLoop();

    bool m_bContinueModal = false;
    INT_PTR m_nModalResult = -1;
};
