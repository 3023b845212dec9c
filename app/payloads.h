// The payloads the setup carries (each edition's package and runtime installer, and what a
// layout writes) and how one is made ready for use: written new, held, and compared with the
// setup's own bytes, in the run's work folder (app/work_folder.h).
#pragma once

#include "app/work_folder.h"
#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"

#include <windows.h>

// One embedded payload and the name it is written under.
struct Payload {
    WORD id;
    const char* type;  // the resource type, "MSI" or "EXE"
    const char* fileName;
};

// The edition for one Outlook architecture: the other language editions it refuses to run over,
// its product code, and its two payloads.
struct EditionProfile {
    const char* germanUpgradeCode;
    const char* polishUpgradeCode;
    const char* productCode;
    Payload package;
    Payload runtime;
};

extern const EditionProfile kEditionProfileX86;
extern const EditionProfile kEditionProfileX64;

// What a layout writes: both packages, both runtime installers, and the Windows Installer 3.1
// redistributable where the setup carries one.
extern const Payload kLayoutPayloads[5];

// Writes the payload new into folder and holds it. Raises an Error::VsException naming the file
// when it cannot be written or held, or is not exactly the resource's bytes.
UniqueKernelHandle ExtractHeld(const VsFsPath& folder, const Payload& payload);

// One edition's package and runtime installer, written, held and checked in a new work folder of
// the run's own. Raises an Error::VsException when the folder cannot be made or a payload cannot
// be had; whatever was made then goes with it.
class StagedPayloads {
public:
    explicit StagedPayloads(const EditionProfile& profile);

    const VsFsPath& Folder() const { return m_work.Path(); }
    const VsFsPath& Package() const { return m_package; }
    const VsFsPath& Runtime() const { return m_runtime; }
    // The folder stays after the run (WorkFolder::Keep).
    void Keep() { m_work.Keep(); }

private:
    WorkFolder m_work;
    VsFsPath m_package;
    VsFsPath m_runtime;
    UniqueKernelHandle m_packageHold;
    UniqueKernelHandle m_runtimeHold;
};
