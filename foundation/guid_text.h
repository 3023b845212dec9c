// The text of a new GUID, the unguessable part of the names of the setup's own folders.
#pragma once

#include "foundation/narrow_string.h"

// A new GUID in registry form: 38 characters, braces, upper-case hexadecimal digits.
CStringA NewGuidString();
