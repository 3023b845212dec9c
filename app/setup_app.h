// The setup's application object. InitInstance runs the whole setup and always gives FALSE, so
// that the framework goes straight on to ExitInstance, which shuts GDI+ down when it was started
// and gives the process's exit code.
#pragma once

#include "app/command_line.h"
#include "app/outlook_detection.h"
#include "foundation/fs_path.h"
#include "framework/app_base.h"
#include "framework/gdiplus_session.h"

#include <optional>

// Exit codes are Windows Installer's own results (see README, "Exit codes"). Without Outlook
// there is nothing the add-in could run in: the code Windows Installer gives a package that this
// platform does not support.
constexpr int kExitOutlookNotDetected = ERROR_INSTALL_PLATFORM_UNSUPPORTED;
// An error shown in a message box, or an unexpected exception.
constexpr int kExitSetupError = ERROR_INSTALL_FAILURE;
// A command line that cannot be used, and a log named on it that cannot be written: nothing
// was changed.
constexpr int kExitBadCommandLine = ERROR_INVALID_COMMAND_LINE;
constexpr int kExitLogFailure = ERROR_INSTALL_LOG_FAILURE;

struct GivenCommandLine;
class Interaction;

class VsEnclosaSetupBootApp : public CWinAppEx {
public:
    // The search is the build's setting (VS_NEWER_OUTLOOK, app/setup_main.cpp); without the option
    // it asks for the six component codes only.
    explicit VsEnclosaSetupBootApp(OutlookSearch search = OutlookSearch::SixComponents);
    ~VsEnclosaSetupBootApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    const OutlookSearch m_outlookSearch;

    // Each gives the exit code the run ends with.
    int Run(const GivenCommandLine& given, const Interaction& interaction);
    // Opens the log the command line names; ERROR_SUCCESS unless the command line or its log
    // cannot be used.
    int StartLog(const GivenCommandLine& given, const Interaction& interaction);
    int Install(const SetupOptions& options, const Interaction& interaction);
    void ShowFinishDialog(const VsFsPath& workFolder);
    void ShowFinishDialogOrThrow(const VsFsPath& workFolder);

    // Started for the finish dialog, shut down in ExitInstance.
    std::optional<GdiplusSession> m_gdiplus;
};
