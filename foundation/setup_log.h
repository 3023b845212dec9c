// The run's log, for support: every run appends to VsEnclosaSetupBoot.log in the temporary
// folder, first a header that tells the run and the machine, then one line per step with its
// outcome. The log never changes the run: a log that cannot be opened or written is skipped
// without a word, and nothing here throws.
#pragma once

namespace SetupLog {

// Opens the log for appending and writes the run's header: the file at path when one is given
// (an administrator's choice), else VsEnclosaSetupBoot.log in the temporary folder.
void Open(const char* version, const char* path = nullptr);
// Whether Open found a file it may write.
bool IsOpen();
// Closes the log; lines written after this go nowhere.
void Close();
// One line, printf-style, stamped with the local time; texts and paths go as they are, in the
// ANSI code page.
void Write(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The name of Windows Installer's verbose log of this run, which goes into the run's work
// folder: "VsEnclosaSetupBoot-20261209-153012-4711-msi.log", after the run the header names.
// Empty before Open.
const char* MsiLogName();

} // namespace SetupLog
