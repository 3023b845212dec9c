#include "framework/wnd.h"

#include "framework/platform_boundary.h"

#include <utility>

namespace {

thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHook = nullptr;

const char kObjectProperty[] = "VsFramework.CWnd";
const char kPlainClassName[] = "VsFrameworkWnd";

HWND HwndOf(const CWnd* pWnd) { return pWnd != nullptr ? pWnd->m_hWnd : nullptr; }

} // namespace

CWnd::CreationHook::CreationHook(CWnd* pWnd)
    : m_pOuterInit(t_pWndInit),
      m_hOuterHook(t_hHook),
      m_hHook(SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId()))
{
    t_pWndInit = pWnd;
    t_hHook = m_hHook.Get();
}

// A window created inside another's creation restores the outer state.
CWnd::CreationHook::~CreationHook()
{
    m_hHook.Reset();
    t_pWndInit = m_pOuterInit;
    t_hHook = m_hOuterHook;
}

LRESULT CALLBACK CWnd::CreationHook::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_pWndInit != nullptr) {
        CWnd* pWnd = std::exchange(t_pWndInit, nullptr);
        const bool bound = CallFromPlatform(false, [&] {
            pWnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
            return true;
        });
        if (!bound)
            return 1; // a window that failed to bind is not created
    }
    return CallNextHookEx(t_hHook, code, wParam, lParam);
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd != nullptr ? static_cast<CWnd*>(GetPropA(hWnd, kObjectProperty)) : nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    if (m_hWnd != nullptr)
        return FALSE;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (lpszClassName == nullptr) {
        WNDCLASSA wc{};
        if (!GetClassInfoA(instance, kPlainClassName, &wc)) {
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = instance;
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.lpszClassName = kPlainClassName;
            RegisterClassA(&wc);
        }
        lpszClassName = kPlainClassName;
    }
    HWND hWnd = nullptr;
    {
        CreationHook hook(this);
        // A child's identifier travels where a top-level window's menu would.
        HMENU menuOrId = (dwStyle & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
        hWnd = CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, HwndOf(pParentWnd), menuOrId,
                               instance, lpParam);
    }
    if (hWnd == nullptr) {
        if (m_hWnd != nullptr) // bound, then refused by WM_NCCREATE or WM_CREATE
            UnsubclassWindow();
        return FALSE;
    }
    // Without the hook the window is bound after its creation messages.
    if (m_hWnd == nullptr)
        SubclassWindow(hWnd);
    return m_hWnd == hWnd;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    SetPropA(hWnd, kObjectProperty, this);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr || !IsWindow(hWnd))
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(HwndOf(pParent), static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr)
        return nullptr;
    if (m_pfnSuper != nullptr)
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    RemovePropA(hWnd, kObjectProperty);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::DetachAfterNcDestroy()
{
    UnsubclassWindow();
    CallFromPlatform(0, [this] {
        PostNcDestroy();
        return 0;
    });
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hWnd = m_hWnd;
    const BOOL destroyed = ::DestroyWindow(hWnd);
    // A window of another thread cannot be destroyed from here: at least let go of it.
    if (!destroyed && m_hWnd == hWnd)
        UnsubclassWindow();
    return destroyed;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const MSG current{hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* outer = pWnd->m_pCurrentMsg;
    pWnd->m_pCurrentMsg = &current;
    const LRESULT result = CallFromPlatform(LRESULT{0}, [&] { return pWnd->WindowProc(message, wParam, lParam); });
    pWnd->m_pCurrentMsg = outer;
    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd)
        pWnd->DetachAfterNcDestroy();
    return result;
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/)
{
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND && OnCommand(wParam, lParam)) {
        *pResult = 0;
        return true;
    }
    return false;
}

BOOL CWnd::OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    if (m_pCurrentMsg == nullptr)
        return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    if (!::GetClientRect(m_hWnd, lpRect))
        SetRectEmpty(lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    if (!::GetWindowRect(m_hWnd, lpRect))
        SetRectEmpty(lpRect);
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

HWND CWnd::GetDlgItem(int nID) const
{
    return ::GetDlgItem(m_hWnd, nID);
}

HWND CWnd::GetParentHwnd() const
{
    return ::GetParent(m_hWnd);
}

void CWnd::SetWindowText(LPCSTR lpszText)
{
    ::SetWindowTextA(m_hWnd, lpszText);
}

void CWnd::GetWindowText(CStringA& text) const
{
    const int length = GetWindowTextLengthA(m_hWnd);
    char* buffer = text.GetBuffer(length);
    const int copied = ::GetWindowTextA(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
}

BOOL CWnd::SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

HWND CWnd::SetFocus()
{
    return ::SetFocus(m_hWnd);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse)
{
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return ::KillTimer(m_hWnd, nIDEvent);
}

BOOL CWnd::RedrawWindow(const RECT* lpRectUpdate, HRGN hrgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw)
{
    return ::SetWindowRgn(m_hWnd, hRgn, bRedraw);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::CenterWindow()
{
    CRect area;
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
        area = info.rcWork;
    }
    CRect window;
    GetWindowRect(&window);
    int x = area.left + (area.Width() - window.Width()) / 2;
    int y = area.top + (area.Height() - window.Height()) / 2;
    // Never push the caption off the top or the left of the area.
    if (x < area.left)
        x = area.left;
    if (y < area.top)
        y = area.top;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
