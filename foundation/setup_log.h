// The run's log, for support: first a header that tells the run and the machine, then one line
// per step with its outcome. Every run writes a new one where only administrators can write,
// <Windows folder>\Temp\VsEnclosaSetupBoot-<run>.log, unless an administrator names the file
// (/log); Windows Installer's verbose log goes beside it, VsEnclosaSetupBoot-<run>-msi.log. The
// run's name is its start time and a GUID, so nobody can know or make either name first. The
// log never changes the run: one that cannot be opened or written is skipped without a word,
// and nothing here throws.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

namespace SetupLog {

// Opens the log and writes the run's header. Without a path, a new file in Windows' Temp folder.
// With one (an administrator's choice), the file is appended, or made; it is refused when a link
// is anywhere on its path, before and after its folder is held (for the whole run, so that
// nobody can rename it and put a link in its place), when a link, a folder or a file with a
// second name is at the name, or when it is no file on a disk (a pipe, a device).
void Open(const char* version, const char* path = nullptr);
// Whether Open found a file it may write.
bool IsOpen();
// Closes the log and lets go of its folder; lines written after this go nowhere.
void Close();
// One line, printf-style, stamped with the local time; texts and paths go as they are, in the
// ANSI code page.
void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The file the last Open opened, also after Close; empty when it opened none.
const char* Path();

// Windows Installer's verbose log of this run, made new beside the setup's log, with the same
// owner, access list and label, and held while it lives without delete sharing: Windows
// Installer opens the name to write, and nobody can delete or rename it and put another file
// or a link in its place meanwhile. No file (an empty path) when the setup's log is not open or
// the file cannot be made.
struct MsiLog {
    char path[MAX_PATH] = {};
    UniqueKernelHandle hold;
};
MsiLog NewMsiLog();

} // namespace SetupLog
