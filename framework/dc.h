// Device-context owners: a plain wrapper that owns nothing, the paint context of one WM_PAINT
// and a window's client-area context, each released in its destructor.
#pragma once

#include <windows.h>

class CWnd;

class CDC {
public:
    explicit CDC(HDC hdc = nullptr) : m_hDC(hdc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

    HDC m_hDC;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
