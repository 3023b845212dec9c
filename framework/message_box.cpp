#include "framework/message_box.h"

#include "foundation/fs_path.h"

namespace {

UINT WithDefaultIcon(UINT type)
{
    if ((type & MB_ICONMASK) != 0)
        return type;
    switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
        return type | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return type | MB_ICONQUESTION;
    default:
        return type;
    }
}

} // namespace

const char* AfxGetAppTitle()
{
    static const CStringA title = [] {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        CStringA name = VsFsPath(path).GetFileName();
        const int dot = name.ReverseFind('.');
        return dot > 0 ? name.Left(dot) : name;
    }();
    return title;
}

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext: there is no help file*/)
{
    return MessageBoxA(nullptr, text, AfxGetAppTitle(), WithDefaultIcon(type));
}

int AfxMessageBox(UINT textId, UINT type, UINT helpContext)
{
    CStringA text;
    text.LoadById(textId);
    return AfxMessageBox(text, type, helpContext);
}
