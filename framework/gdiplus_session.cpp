#include "framework/gdiplus_session.h"

#include <objidl.h>

#include <gdiplus.h>

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    m_status = Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    m_started = m_status == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession()
{
    if (m_started)
        Gdiplus::GdiplusShutdown(m_token);
}
