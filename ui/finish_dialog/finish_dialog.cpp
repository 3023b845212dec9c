#include "ui/finish_dialog/finish_dialog.h"

#include "foundation/resource_module.h"
#include "resources/resource_ids.h"
#include "foundation/folder_tree.h"
#include "ui/welcome/welcome_page.h"

namespace {

// The band under the browser view that holds the button, at 96 DPI.
constexpr int kBandHeight = 50;
constexpr UINT kHtmlViewId = 1000;

} // namespace

CDlgFinishSetup::CDlgFinishSetup(UINT nPageResourceId, CStringA strTitle, CStringA strButtonText, CWnd* pParentWnd,
                                 const VsFsPath& workFolder)
    : CGdiPlusDlg(IDD_FINISH_SETUP, pParentWnd),
      m_nPageResourceId(nPageResourceId),
      m_strTitle(strTitle),
      m_strButtonText(strButtonText),
      m_hIcon(nullptr)
{
    m_pathWelcome = Welcome::CreateFolder(workFolder);
    m_hIcon = LoadIconA(GetResourceModule(), MAKEINTRESOURCEA(IDI_FINISH_DIALOG));
}

CDlgFinishSetup::~CDlgFinishSetup()
{
    try {
        DeleteFolderTree(m_pathWelcome);
    } catch (...) {
        // Whatever stays behind stays in the work folder; the run is over anyway.
    }
}

void CDlgFinishSetup::DoDataExchange(CDataExchange* pDX)
{
    CGdiPlusDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CLOSE_AND_START, m_btnClose);
}

BOOL CDlgFinishSetup::OnInitDialog()
{
    CGdiPlusDlg::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_btnClose.SetDpi(m_nDpi);
    m_btnClose.SetWindowText(m_strButtonText);
    m_btnClose.FitToCaption(m_strButtonText);

    const VsFsPath page = m_pathWelcome.Combine("index.htm");
    WriteWelcomePage(page);
    WriteWelcomeAssets();

    m_wndHtmlView.Create(nullptr, "", WS_CHILD | WS_VISIBLE, ViewArea(), this, kHtmlViewId);
    m_wndHtmlView.Navigate2(page, 0);
    const LONG viewStyle = GetWindowLongA(m_wndHtmlView.m_hWnd, GWL_STYLE);
    SetWindowLongA(m_wndHtmlView.m_hWnd, GWL_STYLE, viewStyle & ~static_cast<LONG>(WS_BORDER));

    SetWindowText(m_strTitle);
    return TRUE;
}

CRect CDlgFinishSetup::ViewArea() const
{
    CRect client;
    GetClientRect(&client);
    return CRect(0, 0, client.Width(), client.Height() - ScaleToDpi(kBandHeight, m_nDpi));
}

void CDlgFinishSetup::OnDpiChanged(UINT nDpi, const RECT& rcSuggested)
{
    CGdiPlusDlg::OnDpiChanged(nDpi, rcSuggested);
    m_btnClose.SetDpi(nDpi);
    m_btnClose.FitToCaption(m_strButtonText);
    const CRect view = ViewArea();
    m_wndHtmlView.MoveWindow(view.left, view.top, view.Width(), view.Height());
    Redraw();
}

void CDlgFinishSetup::DrawBackground(std::shared_ptr<Gdiplus::Graphics> spGraphics, CRect rcClient, int /*nMode*/)
{
    const INT width = rcClient.right;
    const INT height = rcClient.bottom;
    CRect view;
    m_wndHtmlView.GetClientRect(&view);
    const INT viewHeight = view.Height();

    const Gdiplus::Rect band(0, viewHeight, width, height - viewHeight);
    Gdiplus::LinearGradientBrush brush(band, Gdiplus::Color(m_clrBackground), Gdiplus::Color(m_clrBackgroundEnd),
                                       Gdiplus::LinearGradientModeVertical);
    spGraphics->FillRectangle(&brush, band);
    Gdiplus::Pen separator(Gdiplus::Color(0xFF808080), ScaleToDpi(2.0f, m_nDpi));
    spGraphics->DrawLine(&separator, 0, viewHeight, width, viewHeight);
}

BOOL CDlgFinishSetup::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
        return FALSE;
    return CGdiPlusDlg::PreTranslateMessage(pMsg);
}

bool CDlgFinishSetup::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_CLOSE) {
        OnClose();
        *pResult = 0;
        return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_CLOSE_AND_START && HIWORD(wParam) == BN_CLICKED) {
        OnBnClickedClose();
        *pResult = 0;
        return true;
    }
    return CGdiPlusDlg::OnWndMsg(message, wParam, lParam, pResult);
}

void CDlgFinishSetup::OnClose() { CGdiPlusDlg::OnClose(); }

void CDlgFinishSetup::OnBnClickedClose() { OnCloseAndStart(); }

void CDlgFinishSetup::WriteWelcomePage(const char* path) { Welcome::WritePage(path, m_nPageResourceId); }
