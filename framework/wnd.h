// A window object bound to one HWND, either created by it or attached to an existing window
// by subclassing. Every bound window runs through one static procedure that finds the
// object (a window property) and calls the virtual WindowProc; the message map of each class
// is its OnWndMsg, which handles what it knows and hands the rest to its base class, and
// whatever no class handles goes to the window's original procedure.
#pragma once

#include <windows.h>

#include "foundation/narrow_string.h"
#include "foundation/unique_handle.h"
#include "framework/rect.h"

class CWnd {
public:
    CWnd() = default;
    // A window still bound when its object dies is destroyed with it.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates the window and binds it before its first message. A null class name gives the
    // framework's own plain window class.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID);
    // Binds an existing window: PreSubclassWindow, then the window runs through this object.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Gives the window its original procedure back and unbinds it.
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    // Offered every message of a modal loop before it is dispatched; TRUE eats the message.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Thin calls on the bound window.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    DWORD GetStyle() const;
    int GetDlgCtrlID() const;
    HWND GetDlgItem(int nID) const;
    HWND GetParentHwnd() const;
    void SetWindowText(LPCSTR lpszText);
    void GetWindowText(CStringA& text) const;
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    HWND SetFocus();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL RedrawWindow(const RECT* lpRectUpdate, HRGN hrgnUpdate, UINT flags);
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw);
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    // Centres the window on its owner, or on the work area of its monitor when it has none.
    void CenterWindow();

    HWND m_hWnd = nullptr;

protected:
    // Called once a window is bound and before it runs through this object.
    virtual void PreSubclassWindow() {}
    // Called after the last message of the window, once it is unbound.
    virtual void PostNcDestroy() {}
    // The message map: true when the message was handled, with its result in *pResult.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // WM_COMMAND: TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // The window's original procedure.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message being handled, passed to the original procedure.
    LRESULT Default();

    // While it lives, the next window this thread creates is bound to the given object before
    // its first message (the framework's creation hook).
    class CreationHook {
    public:
        explicit CreationHook(CWnd* pWnd);
        ~CreationHook();
        CreationHook(const CreationHook&) = delete;
        CreationHook& operator=(const CreationHook&) = delete;

    private:
        static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
        CWnd* m_pOuterInit;
        HHOOK m_hOuterHook;
        UniqueWindowsHook m_hHook;
    };

private:
    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);
    void DetachAfterNcDestroy();

    WNDPROC m_pfnSuper = nullptr;
    const MSG* m_pCurrentMsg = nullptr;
};
