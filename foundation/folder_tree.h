// Removes a folder with everything in it, as far as it can: whatever cannot be deleted
// (a file held open, a read-only file) stays, with the folders above it, and nothing is said.
// A link inside (a junction, a symbolic link, a mount point) is removed itself and never
// entered: what it points at is not ours to delete.
#pragma once

#include "foundation/fs_path.h"

void DeleteFolderTree(VsFsPath folder);
