// Starts GDI+ for as long as the object lives; shuts it down only if the start succeeded.
#pragma once

#include <windows.h>

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool IsStarted() const { return m_started; }
    // The start-up's status, Gdiplus::Ok when it started.
    int Status() const { return m_status; }

private:
    ULONG_PTR m_token = 0;
    int m_status = 0;
    bool m_started = false;
};
