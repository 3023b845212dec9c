// Whether a file-system entry is a link: a junction, a symbolic link or a mount point.
#pragma once

#include <windows.h>

// The entry at path, opened (with FILE_FLAG_OPEN_REPARSE_POINT) as opened. Windows tells a link
// by the handle, Wine a directory link only by its path: both are asked. An entry the handle
// cannot describe counts as a link.
bool IsLink(const char* path, HANDLE opened);
