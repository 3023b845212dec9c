// The installation of one edition for the detected Outlook architecture: the language-edition
// guard, the installed check, closing Outlook, the payloads and Windows Installer.
#pragma once

#include "app/command_line.h"
#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"

#include <windows.h>

struct EditionProfile {
    const char* germanUpgradeCode;
    const char* polishUpgradeCode;
    const char* productCode;
    WORD packageResource;
    const char* packageFileName;
    WORD runtimeResource;
    const char* runtimeFileName;
};

extern const EditionProfile kEditionProfileX86;
extern const EditionProfile kEditionProfileX64;

// True only when Windows Installer reported success. exitCode, when given, receives what the
// process should end with: Windows Installer's result, ERROR_INSTALL_USEREXIT (1602) when the
// user declined to close Outlook, ERROR_PRODUCT_VERSION (1638) for another language edition,
// ERROR_INSTALL_SERVICE_FAILURE (1601) when Windows Installer cannot be had. workFolder, when
// given, receives the run's work folder once Windows Installer has been called with its package
// (the finish dialog puts its page there). Raises an Error::VsException, before Outlook is asked
// to close and before anything is run or installed, when the work folder cannot be made or a
// payload cannot be written, held or is not exactly our bytes. options of an unattended run:
// no box and no question; a running Outlook is closed with closeOutlook, else it ends the run
// with ERROR_INSTALL_ALREADY_RUNNING (1618) before anything is run or installed.
bool InstallEdition(const EditionProfile& profile, UINT* exitCode = nullptr, VsFsPath* workFolder = nullptr,
                    const SetupOptions& options = SetupOptions());

// Writes a payload new at path and holds it; raises an Error::VsException naming the file
// when it cannot be written or held, or is not exactly the resource's bytes.
UniqueKernelHandle ExtractHeld(const VsFsPath& path, WORD id, const char* type);

// Starts a process from a command line with folder as its current folder and waits for its end;
// a line that cannot start is ignored.
void RunAndWait(const char* commandLine, const char* folder);
