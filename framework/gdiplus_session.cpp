#include "gdiplus_session.h"

#include <objidl.h>

#include <gdiplus.h>

GdiplusSession::GdiplusSession()
{
    Gdiplus::GdiplusStartupInput input;
    m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
}

GdiplusSession::~GdiplusSession()
{
    if (m_started)
        Gdiplus::GdiplusShutdown(m_token);
}
