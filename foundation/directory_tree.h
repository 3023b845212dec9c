// Tests whether a folder can be listed, and creates a folder path one level at a time.
// Neither raises an error; callers decide what a false result means.
#pragma once

#include "foundation/fs_path.h"

bool FolderExists(const VsFsPath& path);
bool CreateDirectoryTree(const VsFsPath& path);
