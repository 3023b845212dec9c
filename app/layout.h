// "/layout <folder>": every payload the setup carries, written into a folder for administrators
// who deploy the packages with their own tools. Nothing is run or installed.
#pragma once

#include "foundation/fs_path.h"

// Makes the folder (and the folders above it) where it is missing and writes each payload
// under its own name, checked byte for byte against the resource as an extraction before an
// installation is. A file of the same name is replaced; other files stay. Raises an
// Error::VsException, having written nothing more, when the folder is a link or lies inside
// one, cannot be made, or a payload cannot be written or is not exactly our bytes.
void WriteLayout(const VsFsPath& folder);
