// The text of a new GUID, the unguessable part of the names of the setup's own folders and logs.
#pragma once

#include "foundation/narrow_string.h"

// A new GUID in registry form: 38 characters, braces, upper-case hexadecimal digits. Empty, with
// the platform's error as the last error, when no GUID can be had: the all-zero one would be a
// name anyone could make first.
CStringA NewGuidString();
