// The welcome page on disk: a fresh folder under the run's work folder named by a new GUID,
// the page written from an HTML resource, and its style sheet and pictures beside it.
#pragma once

#include "foundation/fs_path.h"
#include "foundation/guid_text.h"

#include <windows.h>

namespace Welcome {

// The parent (the run's work folder) plus a new GUID, created on disk. Throws
// Error::VsExceptionText naming the folder when it cannot be created.
VsFsPath CreateFolder(const VsFsPath& parent);

// Writes the HTML resource to the file, always behind exactly one UTF-8 byte-order mark
// (a UTF-8 mark or a UTF-16 mark carried by the resource is dropped).
void WritePage(const char* path, UINT pageResourceId);

// Writes the style sheet beside the page and the nine pictures into its "images" folder.
void WriteAssets(const VsFsPath& folder);

} // namespace Welcome
