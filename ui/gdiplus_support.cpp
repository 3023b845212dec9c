#include "gdiplus_support.h"

std::wstring ToUtf16(const char* text)
{
    if (text == nullptr)
        return std::wstring();
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1)); // the terminator stays behind the string
    return wide;
}

std::shared_ptr<Gdiplus::Font> NewFontOrSansSerif(const WCHAR* familyName, Gdiplus::REAL emSize, INT style,
                                                  Gdiplus::Unit unit)
{
    std::shared_ptr<Gdiplus::Font> font(new Gdiplus::Font(familyName, emSize, style, unit));
    if (font->IsAvailable())
        return font;
    // The generic family is asked for by name rather than through FontFamily::GenericSansSerif,
    // whose cached object would outlive GDI+ in static storage.
    Gdiplus::GpFontFamily* generic = nullptr;
    WCHAR genericName[LF_FACESIZE] = {};
    if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok && generic != nullptr) {
        Gdiplus::DllExports::GdipGetFamilyName(generic, genericName, LANG_NEUTRAL);
        Gdiplus::DllExports::GdipDeleteFontFamily(generic);
    }
    if (genericName[0] != L'\0')
        font.reset(new Gdiplus::Font(genericName, emSize, style, unit));
    return font;
}
