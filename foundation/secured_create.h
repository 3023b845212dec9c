// Folders and files the elevated setup makes for itself: made new, with the owner, access list
// and integrity label it names, never what another program put at the name first. A descriptor
// is written in the platform's security descriptor language.
#pragma once

#include "foundation/scoped_override.h"
#include "foundation/unique_handle.h"

#include <windows.h>

// Owned by Administrators (whatever the system's owner policy says), full control for SYSTEM and
// Administrators, read (and list) for Users, nothing inherited from above, and a high integrity
// label: no process below high integrity writes to it, whatever an access list says. What is
// made inside the folder gets the same.
extern const char kAdministratorsOnlyFolder[];
extern const char kAdministratorsOnlyFile[];
// Owned by Administrators with a high integrity label; its access list comes from its folder, a
// folder an administrator chose.
extern const char kAdministratorsOwnedFile[];

// How the folders and files are made: the platform's calls, or a test's stand-ins that see the
// descriptor each is made with (Wine neither keeps nor enforces one that a test could read back).
struct SecuredCreateFunctions {
    BOOL(WINAPI* CreateFolder)(LPCSTR, LPSECURITY_ATTRIBUTES) = nullptr;
    HANDLE(WINAPI* OpenOrCreateFile)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = nullptr;
};
// Replaces the table and gives the previous one back.
SecuredCreateFunctions SetSecuredCreateFunctions(const SecuredCreateFunctions& functions);
using ScopedSecuredCreateFunctions = ScopedOverride<SecuredCreateFunctions, SetSecuredCreateFunctions>;

// Makes the folder new with the descriptor. Gives 0, or the platform's error: anything at the
// name (a folder, a file, a link) gives ERROR_ALREADY_EXISTS.
DWORD CreateSecuredFolder(const char* path, const char* descriptor);

// Opens the file as CreateFileA does, with the descriptor for a file that the call makes
// (disposition CREATE_NEW makes it new or fails). Never follows a link at the name itself
// (FILE_FLAG_OPEN_REPARSE_POINT), and a pipe's server may only identify the setup, never act as
// it (identification-level quality of service). Empty, with the last error set, when it fails.
UniqueKernelHandle CreateSecuredFile(const char* path, const char* descriptor, DWORD access, DWORD share,
                                     DWORD disposition);
