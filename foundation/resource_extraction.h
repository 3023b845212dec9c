// Writes one embedded resource of a custom type to a new file, and checks a written payload
// before it is run or installed.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

// Deletes whatever is at path (a link itself, never what it points at), then creates the file
// new and writes the resource into it: a name someone took again meanwhile is never written
// through. Gives 0, or the platform's error when the file cannot be created or written (a
// full disk, say). A missing resource gives an empty file.
DWORD ExtractResourceToFile(const char* path, WORD id, const char* type);

// What the integrity check of an extracted payload found.
enum class PayloadCheck {
    Intact,   // held, and its size and bytes are exactly the resource's
    NotHeld,  // the file could not be opened and held
    Differs,  // held, but its size or bytes are not the resource's, or there is no such resource
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
