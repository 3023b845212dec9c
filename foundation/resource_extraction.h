// Writes one embedded resource of a custom type to a file, replacing any file of that name,
// and checks a written payload before it is run or installed.
#pragma once

#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"

#include <windows.h>

void ExtractResourceToFile(const char* path, WORD id, const char* type);

// What the integrity check of an extracted payload found.
enum class PayloadCheck {
    Intact,   // held, and its size and bytes are exactly the resource's
    NotHeld,  // the file could not be opened and held
    Differs,  // held, but its size or bytes are not the resource's
};

// A payload held open for reading with read sharing only: while the hold lasts nobody can
// change, replace or delete the file.
struct PayloadHold {
    UniqueKernelHandle file;
    PayloadCheck check = PayloadCheck::NotHeld;
};

// Holds the file at path and compares it, through that hold, with the resource. Another
// program may have put its own file there before our write (which then fails) or replaced
// ours between the write and the hold.
PayloadHold HoldAndCheck(const char* path, WORD id, const char* type);

// The comparison alone, on a handle open for reading.
PayloadCheck CheckAgainstResource(HANDLE file, WORD id, const char* type);

// The user's temporary folder, where the payloads and the welcome folder go. Throws the
// "Error" when the platform gives none: bare names would land in the current folder, and a
// runtime installer would be looked for in the setup's own folder first.
VsFsPath PayloadFolder();
