// Links: junctions, symbolic links and mount points. The one place that tells them from files
// and folders, so that nothing the elevated setup writes, removes or holds goes through one.
#pragma once

#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"

#include <windows.h>

// The entry at path, opened (with FILE_FLAG_OPEN_REPARSE_POINT) as opened. Windows tells a link
// by the handle, Wine a directory link only by its path: both are asked. An entry the handle
// cannot describe counts as a link.
bool IsLink(const char* path, HANDLE opened);

// The folder at path, opened without following a link and without delete sharing: while the
// handle lives nobody can rename it and put a link in its place. Empty, with the last error
// set, when it cannot be opened or is a link itself (ERROR_REPARSE_ATTRIBUTE_CONFLICT).
UniqueKernelHandle HoldFolder(const char* path);

// The first folder on the way to path, path itself included, that is a link; empty when none.
VsFsPath FirstLinkOnTheWay(const VsFsPath& path);
