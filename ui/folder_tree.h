// Removes a folder with everything in it, as far as it can: whatever cannot be deleted
// (a file held open, a read-only file) stays, with the folders above it, and nothing is said.
#pragma once

#include "foundation/fs_path.h"

void DeleteFolderTree(VsFsPath folder);
