#include "app/layout.h"

#include "app/payloads.h"
#include "foundation/directory_tree.h"
#include "foundation/error.h"
#include "foundation/reparse_point.h"
#include "foundation/resource_bytes.h"
#include "foundation/setup_log.h"
#include "foundation/unique_handle.h"
#include "resources/resource_ids.h"

namespace {

// Raises the "Error" when link names one: folder is a link or lies inside one.
void RefuseLink(const VsFsPath& folder, const VsFsPath& link)
{
    if (link.IsEmpty())
        return;
    SetupLog::Write("Layout: %s is a link; nothing written", link.GetString());
    CStringA text;
    text.Format("The layout folder %s is a link or lies inside one (%s). The setup writes nothing through a link.",
                folder.GetString(), link.GetString());
    throw Error::VsExceptionText(text, nullptr, 0);
}

// The folder, held while the layout is written, so that nobody can rename it and put a link in
// its place.
UniqueKernelHandle MakeAndHold(const VsFsPath& folder)
{
    RefuseLink(folder, FirstLinkOnTheWay(folder));
    if (!CreateDirectoryTree(folder)) {
        const DWORD error = GetLastError();
        CStringA text;
        text.Format("The layout folder %s cannot be made.", folder.GetString());
        throw Error::VsExceptionCommon(error, text, nullptr, 0);
    }
    UniqueKernelHandle hold = HoldFolder(folder);
    if (!hold)
        RefuseLink(folder, folder);
    // Looked at again once held: a folder above may have been made a link meanwhile.
    RefuseLink(folder, FirstLinkOnTheWay(folder));
    return hold;
}

} // namespace

void WriteLayout(const VsFsPath& folder)
{
    const UniqueKernelHandle hold = MakeAndHold(folder);
    SetupLog::Write("Layout: into %s", folder.GetString());
    int written = 0;
    for (const Payload& payload : kLayoutPayloads) {
        // The Windows Installer redistributable only where the setup carries one.
        if (payload.id == IDR_WINDOWS_INSTALLER_31 &&
            LoadResourceBytes(MAKEINTRESOURCEA(payload.id), payload.type).bytes == nullptr)
            continue;
        ExtractHeld(folder, payload);
        ++written;
    }
    SetupLog::Write("Layout: %d files written and checked", written);
}
