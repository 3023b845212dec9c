#include "app/payloads.h"

#include "foundation/error.h"
#include "foundation/resource_extraction.h"
#include "foundation/setup_log.h"
#include "resources/resource_ids.h"

#include <utility>

constexpr EditionProfile kEditionProfileX86 = {
    "{6513270E-269E-4D37-B2A7-4DE452E6B438}",
    "{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}",
    "{9531985D-5D9D-49F8-9818-E811892F902B}",
    {IDR_MSI_X86, "MSI", "VsEnclosaSetup.msi"},
    {IDR_VCREDIST_X86, "EXE", "vc_redist86.exe"},
};

constexpr EditionProfile kEditionProfileX64 = {
    "{36F675CC-81E7-4EF5-A8E2-5D940ED90475}",
    "{6B0D549B-6F03-475A-9600-A35A099950D8}",
    "{8D116ECE-1738-47D9-BD9C-172411E20B8F}",
    {IDR_MSI_X64, "MSI", "VsEnclosaSetupx64.msi"},
    {IDR_VCREDIST_X64, "EXE", "vc_redist64.exe"},
};

constexpr Payload kLayoutPayloads[5] = {
    kEditionProfileX86.package,
    kEditionProfileX64.package,
    kEditionProfileX86.runtime,
    kEditionProfileX64.runtime,
    // Microsoft's own name for it.
    {IDR_WINDOWS_INSTALLER_31, "EXE", "WindowsInstaller-KB893803-v2-x86.exe"},
};

namespace {

const char* CheckName(PayloadCheck check)
{
    switch (check) {
    case PayloadCheck::Intact: return "intact";
    case PayloadCheck::NotHeld: return "cannot be held";
    case PayloadCheck::Differs: return "not our bytes";
    }
    return "unknown";
}

// The one line of the log for each file written out.
void LogExtracted(const char* path, const PayloadHold& hold)
{
    LARGE_INTEGER size = {};
    if (hold.file && GetFileSizeEx(hold.file.Get(), &size))
        SetupLog::Write("Extracted %s: %lld bytes, check: %s", path, static_cast<long long>(size.QuadPart),
                        CheckName(hold.check));
    else
        SetupLog::Write("Extracted %s: check: %s", path, CheckName(hold.check));
}

// Nothing may run when the folder cannot be made: the "Error" names it and the system's reason
// (a Windows folder without an ASCII name, no GUID for the name, or the folder's own).
void CreateWorkFolder(WorkFolder& work)
{
    const VsFsPath path = WorkFolder::PathForRun();
    const DWORD error = path.IsEmpty() ? GetLastError() : work.Create(path);
    if (error == ERROR_SUCCESS)
        return;
    CStringA text;
    text.FormatById(IDS_NO_WORK_FOLDER, path.IsEmpty() ? "<Windows>\\Temp" : path.GetString());
    throw Error::VsExceptionCommon(error, text, nullptr, 0);
}

} // namespace

// Kept held until it has been run or installed: only a file that is exactly our bytes may be
// used, as it runs elevated. A write that failed says why in the system's words (a full disk is
// no tampering).
UniqueKernelHandle ExtractHeld(const VsFsPath& folder, const Payload& payload)
{
    const VsFsPath path = folder.Combine(payload.fileName);
    const DWORD writeError = ExtractResourceToFile(path, payload.id, payload.type);
    if (writeError != ERROR_SUCCESS) {
        SetupLog::Write("Extracted %s: cannot be written (error %lu)", path.GetString(), writeError);
        CStringA text;
        text.FormatById(IDS_PAYLOAD_NOT_WRITTEN, path.GetString());
        throw Error::VsExceptionCommon(writeError, text, nullptr, 0);
    }
    PayloadHold hold = HoldAndCheck(path, payload.id, payload.type);
    LogExtracted(path, hold);
    if (hold.check != PayloadCheck::Intact) {
        CStringA text;
        text.FormatById(hold.check == PayloadCheck::NotHeld ? IDS_PAYLOAD_NOT_HELD : IDS_PAYLOAD_NOT_OURS,
                        path.GetString());
        throw Error::VsExceptionText(text, nullptr, 0);
    }
    return std::move(hold.file);
}

StagedPayloads::StagedPayloads(const EditionProfile& profile)
{
    CreateWorkFolder(m_work);
    SetupLog::Write("Work folder: %s", m_work.Path().GetString());
    m_package = m_work.Path().Combine(profile.package.fileName);
    m_packageHold = ExtractHeld(m_work.Path(), profile.package);
    m_runtime = m_work.Path().Combine(profile.runtime.fileName);
    m_runtimeHold = ExtractHeld(m_work.Path(), profile.runtime);
}
