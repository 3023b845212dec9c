#include "framework/dialog.h"

#include "foundation/resource_module.h"
#include "framework/platform_boundary.h"

namespace {

bool IsInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

} // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == nullptr)
        rControl.SubclassWindow(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

BOOL CDialog::CreateFromTemplate(HWND hWndOwner)
{
    CreationHook hook(this);
    HWND hWnd = CreateDialogParamA(GetResourceModule(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner,
                                   StaticDlgProc, reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr && hWnd == m_hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_hWnd != nullptr)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    return CreateFromTemplate(pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != nullptr)
        return -1;
    HWND hWndOwner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    const bool disableOwner = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);
    if (disableOwner)
        ::EnableWindow(hWndOwner, FALSE);

    m_nModalResult = -1;
    m_bContinueModal = true; // EndDialog inside OnInitDialog ends the run before it starts
    if (CreateFromTemplate(hWndOwner)) {
        if (m_bContinueModal)
            RunModalLoop();
        // Hidden before the owner is enabled again, so that activation goes back to the owner.
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_bContinueModal = false;
    if (disableOwner) {
        ::EnableWindow(hWndOwner, TRUE);
        ::SetActiveWindow(hWndOwner);
    }
    DestroyWindow();
    // A failure inside one of the dialog's procedures ended the dialog: it goes on from here.
    RethrowPendingException();
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    bool shown = (GetStyle() & WS_VISIBLE) != 0;
    MSG msg;
    while (m_bContinueModal && !HasPendingException()) {
        // Shown once the messages of its initialisation are handled, so that it appears complete.
        if (!shown && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow(m_hWnd);
            shown = true;
            continue;
        }
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
            m_nModalResult = -1;
            return;
        }
        bool eaten = false;
        for (HWND hWnd = msg.hwnd; hWnd != nullptr && !eaten; hWnd = ::GetParent(hWnd)) {
            if (CWnd* pWnd = FromHandlePermanent(hWnd))
                eaten = pWnd->PreTranslateMessage(&msg) != FALSE;
            if (hWnd == m_hWnd)
                break;
        }
        if (!eaten) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bContinueModal = false;
    if (m_hWnd != nullptr)
        ::EndDialog(m_hWnd, nResult); // hides the window and wakes the loop
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hDlg, UINT message, WPARAM /*wParam*/, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pDlg = reinterpret_cast<CDialog*>(lParam);
    return CallFromPlatform(FALSE, [&] {
        if (pDlg->m_hWnd == nullptr)
            pDlg->SubclassWindow(hDlg);
        CRect rectBefore;
        ::GetWindowRect(hDlg, &rectBefore);
        const DWORD styleBefore = static_cast<DWORD>(GetWindowLongA(hDlg, GWL_STYLE));
        const BOOL result = pDlg->OnInitDialog();
        pDlg->CenterIfUnplaced(rectBefore, styleBefore);
        return result;
    });
}

// The framework centres a dialog that is still hidden, has not placed itself during its
// initialisation, is not centred by its template and has no enabled owner.
void CDialog::CenterIfUnplaced(const RECT& rectBefore, DWORD styleBefore)
{
    const DWORD style = GetStyle();
    if ((styleBefore & WS_VISIBLE) != 0 || (style & (WS_VISIBLE | WS_CHILD)) != 0)
        return;
    if ((style & (DS_CENTER | DS_CENTERMOUSE)) != 0)
        return;
    CRect rectNow;
    GetWindowRect(&rectNow);
    if (rectNow.left != rectBefore.left || rectNow.top != rectBefore.top)
        return;
    HWND hWndOwner = GetWindow(m_hWnd, GW_OWNER);
    if (hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner))
        return;
    CenterWindow();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx{this, bSaveAndValidate};
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/) {}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!IsInputMessage(pMsg->message) || m_hWnd == nullptr)
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnClose()
{
    Default();
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_CLOSE) {
        OnClose();
        *pResult = 0;
        return true;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}
