#include "ui/painted/gdiplus_support.h"

#include "foundation/unique_handle.h"

#include <initializer_list>

namespace {

// The generic sans-serif family's name. It is asked for by name rather than through
// FontFamily::GenericSansSerif, whose cached object would outlive GDI+ in static storage.
WideText GenericSansSerifName()
{
    Gdiplus::GpFontFamily* generic = nullptr;
    WCHAR name[LF_FACESIZE] = {};
    if (Gdiplus::DllExports::GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok && generic != nullptr) {
        Gdiplus::DllExports::GdipGetFamilyName(generic, name, LANG_NEUTRAL);
        Gdiplus::DllExports::GdipDeleteFontFamily(generic);
    }
    return WideText(name, name + LF_FACESIZE);
}

// The face the system draws its default GUI font with: where not even the generic family
// can be had (a Wine prefix without Wine's own fonts), the system's own sans-serif choice.
WideText GuiFontFaceName()
{
    WCHAR face[LF_FACESIZE] = {};
    const UniqueScreenDC screen(GetDC(nullptr));
    HGDIOBJ previous = SelectObject(screen.Get(), GetStockObject(DEFAULT_GUI_FONT));
    GetTextFaceW(screen.Get(), LF_FACESIZE, face);
    SelectObject(screen.Get(), previous);
    return WideText(face, face + LF_FACESIZE);
}

} // namespace

std::shared_ptr<Gdiplus::Font> NewFontOrSansSerif(const WCHAR* familyName, Gdiplus::REAL emSize, INT style,
                                                  Gdiplus::Unit unit)
{
    std::shared_ptr<Gdiplus::Font> font(new Gdiplus::Font(familyName, emSize, style, unit));
    for (auto fallback : {GenericSansSerifName, GuiFontFaceName}) {
        if (font->IsAvailable())
            break;
        const WideText name = fallback();
        if (name[0] != L'\0')
            font.reset(new Gdiplus::Font(name.data(), emSize, style, unit));
    }
    return font;
}
