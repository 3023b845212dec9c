// The installation of one edition for the detected Outlook architecture, in stages: the editions
// on the machine, the payloads staged in the run's work folder, Outlook out of the way, the
// runtime installer, Windows Installer.
#pragma once

#include "app/command_line.h"
#include "app/interaction.h"
#include "app/payloads.h"
#include "foundation/fs_path.h"

#include <windows.h>

// What an installation tells its caller.
struct InstallResult {
    // True only when Windows Installer reported success.
    bool installed = false;
    // What the process ends with: Windows Installer's result, or the code of the stage that ended
    // the run before it; ERROR_SUCCESS only when installed.
    UINT exitCode = ERROR_INSTALL_FAILURE;
    // The run's work folder, once Windows Installer was called with the package in it: the finish
    // dialog puts its page there.
    VsFsPath workFolder;
};

// Raises an Error::VsException, before Outlook is asked to close and before anything is run or
// installed, when the work folder or a payload cannot be had (StagedPayloads); and before
// anything is run when the process list cannot be read.
InstallResult InstallEdition(const EditionProfile& profile, const SetupOptions& options,
                             const Interaction& interaction);
