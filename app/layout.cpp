#include "app/layout.h"

#include "app/edition_installation.h"
#include "foundation/directory_tree.h"
#include "foundation/error.h"
#include "foundation/reparse_point.h"
#include "foundation/resource_bytes.h"
#include "foundation/setup_log.h"
#include "foundation/string_token_list.h"
#include "foundation/unique_handle.h"
#include "resources/resource_ids.h"

namespace {

struct Payload {
    WORD id;
    const char* type;
    const char* fileName;
};

// Microsoft's own name for the Windows Installer 3.1 redistributable.
constexpr char kWindowsInstallerFileName[] = "WindowsInstaller-KB893803-v2-x86.exe";

// The first folder on the way to path, path itself included, that is a link; empty when none.
VsFsPath LinkOnTheWay(const VsFsPath& path)
{
    const StringTokenList components(path, "\\/", false);
    const bool networkPath = path.GetLength() >= 2 && path.GetAt(0) == '\\' && path.GetAt(1) == '\\';
    VsFsPath working(networkPath ? "\\\\" : "");
    for (std::size_t level = 0; level < components.size(); ++level) {
        working.Append(components[level]);
        const DWORD attributes = GetFileAttributesA(working);
        if (level > 0 && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            return working;
    }
    return VsFsPath();
}

[[noreturn]] void RefuseLink(const VsFsPath& folder, const VsFsPath& link)
{
    SetupLog::Write("Layout: %s is a link; nothing written", link.GetString());
    CStringA text;
    text.Format("The layout folder %s is a link or lies inside one (%s). The setup writes nothing through a link.",
                folder.GetString(), link.GetString());
    throw Error::VsExceptionText(text, nullptr, 0);
}

// The folder, held open without delete sharing: while the layout is written, nobody can
// rename it and put a link in its place.
UniqueKernelHandle MakeAndHold(const VsFsPath& folder)
{
    const VsFsPath link = LinkOnTheWay(folder);
    if (!link.IsEmpty())
        RefuseLink(folder, link);
    if (!CreateDirectoryTree(folder)) {
        const DWORD error = GetLastError();
        CStringA text;
        text.Format("The layout folder %s cannot be made.", folder.GetString());
        throw Error::VsExceptionCommon(error, text, nullptr, 0);
    }
    UniqueKernelHandle hold(CreateFileA(folder, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    // Looked at again once held: a folder above may have been made a link meanwhile.
    if (!hold || IsLink(folder, hold.Get()))
        RefuseLink(folder, folder);
    const VsFsPath linkNow = LinkOnTheWay(folder);
    if (!linkNow.IsEmpty())
        RefuseLink(folder, linkNow);
    return hold;
}

} // namespace

void WriteLayout(const VsFsPath& folder)
{
    const Payload payloads[] = {
        {kEditionProfileX86.packageResource, "MSI", kEditionProfileX86.packageFileName},
        {kEditionProfileX64.packageResource, "MSI", kEditionProfileX64.packageFileName},
        {kEditionProfileX86.runtimeResource, "EXE", kEditionProfileX86.runtimeFileName},
        {kEditionProfileX64.runtimeResource, "EXE", kEditionProfileX64.runtimeFileName},
        {IDR_WINDOWS_INSTALLER_31, "EXE", kWindowsInstallerFileName},
    };
    const UniqueKernelHandle hold = MakeAndHold(folder);
    SetupLog::Write("Layout: into %s", folder.GetString());
    int written = 0;
    for (const Payload& payload : payloads) {
        // The Windows Installer redistributable only where the setup carries one.
        if (payload.id == IDR_WINDOWS_INSTALLER_31 &&
            LoadResourceBytes(MAKEINTRESOURCEA(payload.id), payload.type).bytes == nullptr)
            continue;
        ExtractHeld(folder.Combine(payload.fileName), payload.id, payload.type);
        ++written;
    }
    SetupLog::Write("Layout: %d files written and checked", written);
}
