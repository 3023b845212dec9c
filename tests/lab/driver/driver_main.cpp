// The lab's driver: runs the setup as a person would on the machine it runs on, following a
// scenario, and writes what that person saw and what changed on the machine.
//   VsLabDriver.exe --scenario FILE --setup EXE --out FOLDER [--prepared KEY,KEY...]
// --prepared names the scenario's keys that the machine was prepared from before (lab.py does
// that); any other key the driver does not read is refused.
// Exit code: 0 when every run started and ended by itself, 2 when one did not start or the lab
// had to end it, 1 on bad input.
#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"
#include "framework/gdiplus_session.h"
#include "tests/capture/screen_capture.h"
#include "tests/directory_link/directory_link.h"
#include "tests/lab/driver/lab_report.h"
#include "tests/lab/driver/lab_scenario.h"
#include "tests/lab/driver/machine_state.h"
#include "tests/lab/driver/temp_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

namespace {

struct Arguments {
    std::string scenario;
    std::string setup;
    std::string out;
    std::vector<std::string> prepared;
};

bool ParseArguments(int argc, char** argv, Arguments& arguments)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--scenario") == 0)
            arguments.scenario = argv[i + 1];
        else if (std::strcmp(argv[i], "--setup") == 0)
            arguments.setup = argv[i + 1];
        else if (std::strcmp(argv[i], "--out") == 0)
            arguments.out = argv[i + 1];
        else if (std::strcmp(argv[i], "--prepared") == 0)
            arguments.prepared = ListItems(argv[i + 1]);
        else
            return false;
    }
    return !arguments.scenario.empty() && !arguments.setup.empty() && !arguments.out.empty();
}

std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? full : path;
}

std::string WithSeparator(const std::string& folder)
{
    return VsFsPath(folder.c_str()).AddTrailingSeparator('\\').GetString();
}

std::string OwnTempFolder()
{
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return WithSeparator(length > 0 && length <= MAX_PATH ? folder : "C:\\");
}

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1)
        return {};
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

std::string StandInLog()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return std::string(folder) + "\\VsEnclosaStandin\\runtime.log";
}

std::string BaseName(const std::string& path)
{
    const std::string name = VsFsPath(path.c_str()).GetFileName().GetString();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FolderOf(const std::string& path)
{
    const VsFsPath folder = VsFsPath(path.c_str()).GetFolder();
    return folder.GetString() != path ? folder.GetString() : std::string();
}

// The folder that holds a folder given with its trailing separator.
std::string ParentOf(const std::string& folder)
{
    return FolderOf(folder.substr(0, folder.size() - 1));
}

// A program of the lab, beside the driver.
std::string LabProgram(const char* name)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return FolderOf(self) + name;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::set<std::string> NamesIn(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found = {};
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find)
        return names;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0)
            names.insert(found.cFileName);
    } while (FindNextFileA(find.Get(), &found));
    return names;
}

std::vector<std::string> Appeared(const std::set<std::string>& before, const std::set<std::string>& after)
{
    std::vector<std::string> names;
    for (const std::string& name : after) {
        if (before.count(name) == 0)
            names.push_back(name);
    }
    return names;
}

// Another program of the same user (VsLabTamper in its mode "hold"), from before the first run
// until after the last one.
class Bystander {
public:
    Bystander(const std::string& mode, const std::string& arguments)
        : m_stopName("VsLabBystanderStop" + std::to_string(GetCurrentProcessId())),
          m_stop(CreateEventA(nullptr, TRUE, FALSE, m_stopName.c_str())),
          m_holding(CreateEventA(nullptr, TRUE, FALSE, (m_stopName + "Holding").c_str()))
    {
        std::string line = Quoted(LabProgram("VsLabTamper.exe")) + " " + mode + " " + m_stopName + " " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (m_stop && CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            m_process.Reset(info.hProcess);
            CloseHandle(info.hThread);
        }
    }

    bool Started() const { return m_process.IsValid(); }

    // True once the holder says it has its file open; false when it ended or took too long.
    bool WaitUntilHolding() const
    {
        const HANDLE either[] = {m_holding.Get(), m_process.Get()};
        return WaitForMultipleObjects(2, either, FALSE, 30000) == WAIT_OBJECT_0;
    }

    // Gives its exit code.
    DWORD Stop()
    {
        SetEvent(m_stop.Get());
        if (WaitForSingleObject(m_process.Get(), 10000) != WAIT_OBJECT_0)
            TerminateProcess(m_process.Get(), ERROR_TIMEOUT);
        DWORD code = 0;
        GetExitCodeProcess(m_process.Get(), &code);
        return code;
    }

private:
    std::string m_stopName;
    UniqueKernelHandle m_stop;
    UniqueKernelHandle m_holding;
    UniqueProcessHandle m_process;
};

bool Plant(const std::string& plantedPath)
{
    DeleteFileA(PlantedRunNote(plantedPath).c_str());
    return CopyFileA(LabProgram("VsLabPlanted.exe").c_str(), plantedPath.c_str(), FALSE) != FALSE;
}

// Replaces the content of every file in the folder, so that the next run must write its own.
void SpoilFiles(const std::string& folder)
{
    WIN32_FIND_DATAA found = {};
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        HANDLE file = CreateFileA((folder + found.cFileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, "stale", 5, &written, nullptr);
            CloseHandle(file);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// A folder of someone else's that a planted link points at, with a file in it.
const char kElsewhere[] = "C:\\VsLabElsewhere";
const char kElsewhereFile[] = "C:\\VsLabElsewhere\\precious.txt";
const char kElsewhereText[] = "not the setup's";

bool PrepareElsewhere()
{
    CreateDirectoryA(kElsewhere, nullptr);
    const UniqueKernelHandle file(
        CreateFileA(kElsewhereFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), kElsewhereText, sizeof kElsewhereText - 1, &written, nullptr);
}

std::string ElsewhereAfterRun(const RunRecord& record)
{
    if (!record.linkPlanted)
        return "no link planted";
    return ReadWholeFile(kElsewhereFile) == kElsewhereText ? "kept" : "emptied";
}

// A file where Windows' Temp folder should be, so that no work folder can be made there; the
// folder itself waits beside it and comes back at the end.
class BlockedWindowsTemp {
public:
    BlockedWindowsTemp()
        : m_folder(WindowsTempFolder().substr(0, WindowsTempFolder().size() - 1)), m_away(m_folder + ".lab-away")
    {
        m_blocked = MoveFileA(m_folder.c_str(), m_away.c_str()) &&
                    UniqueKernelHandle(CreateFileA(m_folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr))
                        .IsValid();
    }
    ~BlockedWindowsTemp()
    {
        DeleteFileA(m_folder.c_str());
        MoveFileA(m_away.c_str(), m_folder.c_str());
    }
    BlockedWindowsTemp(const BlockedWindowsTemp&) = delete;
    BlockedWindowsTemp& operator=(const BlockedWindowsTemp&) = delete;

    bool IsBlocked() const { return m_blocked; }

private:
    std::string m_folder;
    std::string m_away;
    bool m_blocked = false;
};

} // namespace

int main(int argc, char** argv)
{
    // The setup's windows, their places and pictures in the display's own pixels: Windows
    // scales neither for a DPI-aware program.
    SetProcessDPIAware();
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        std::fprintf(stderr, "usage: VsLabDriver --scenario FILE --setup EXE --out FOLDER [--prepared KEY,KEY...]\n");
        return 1;
    }
    LabScenario scenario;
    std::string error;
    if (!scenario.Load(arguments.scenario, arguments.prepared, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string out = WithSeparator(FullPath(arguments.out));
    CreateDirectoryA(out.c_str(), nullptr);

    LabOutcome outcome;
    outcome.scenario = BaseName(arguments.scenario);
    outcome.title = scenario.Get("title");
    outcome.setupPath = FullPath(arguments.setup);
    const std::string tempKind = scenario.Get("temp", "plain");
    outcome.tempFolder = PrepareTempFolder(tempKind, OwnTempFolder());
    if (outcome.tempFolder.empty()) {
        std::fprintf(stderr, "cannot make the temporary folder \"%s\" (a kind the lab knows, or C:\\...)\n",
                     tempKind.c_str());
        return 1;
    }
    const std::wstring tempVariable = TempVariableFor(tempKind, outcome.tempFolder);
    outcome.tempGiven = Utf8(tempVariable);
    // A folder in the place of the setup's log: the log cannot be opened.
    if (scenario.Get("temp.log") == "blocked" &&
        !CreateDirectoryA((outcome.tempFolder + "VsEnclosaSetupBoot.log").c_str(), nullptr)) {
        std::fprintf(stderr, "cannot block the log in %s\n", outcome.tempFolder.c_str());
        return 1;
    }
    if (scenario.Get("temp.plant") == "yes") {
        outcome.plantedPath = PlantPathFor(outcome.tempFolder);
        if (outcome.plantedPath.empty() || !Plant(outcome.plantedPath)) {
            std::fprintf(stderr, "cannot plant a program for the folder %s\n", outcome.tempFolder.c_str());
            return 1;
        }
    }
    // A program of the same user has put its own file at a payload's name and holds it open.
    std::unique_ptr<Bystander> bystander;
    const std::string squat = scenario.Get("temp.squat");
    if (!squat.empty()) {
        outcome.plantedPath = outcome.tempFolder + squat;
        if (Plant(outcome.plantedPath))
            bystander = std::make_unique<Bystander>("hold", Quoted(outcome.plantedPath));
        if (!bystander || !bystander->Started() || !bystander->WaitUntilHolding()) {
            std::fprintf(stderr, "cannot hold a program at %s (the holder ended with %lu)\n",
                         outcome.plantedPath.c_str(), bystander ? bystander->Stop() : 0ul);
            return 1;
        }
    }
    std::unique_ptr<BlockedWindowsTemp> blockedWork;
    if (scenario.Get("work.blocked") == "yes") {
        blockedWork = std::make_unique<BlockedWindowsTemp>();
        if (!blockedWork->IsBlocked()) {
            std::fprintf(stderr, "cannot put a file in the place of %s\n", WindowsTempFolder().c_str());
            return 1;
        }
    }
    const bool plantLink = scenario.Get("welcome.link") == "yes";
    // A link that another program planted before the runs, to its own folder.
    const std::string link = scenario.Get("link.at");
    if ((plantLink || !link.empty()) && !PrepareElsewhere()) {
        std::fprintf(stderr, "cannot prepare %s\n", kElsewhere);
        return 1;
    }
    if (!link.empty() && !MakeDirectoryLink(link, kElsewhere)) {
        std::fprintf(stderr, "cannot plant a link at %s\n", link.c_str());
        return 1;
    }
    const std::string setupFolder = FolderOf(outcome.setupPath);
    const std::string tempParent = ParentOf(outcome.tempFolder);

    const GdiplusSession gdiplus;
    const int runs = scenario.GetInt("runs", 1);
    bool allEnded = true;
    for (int number = 1; number <= runs; ++number) {
        if (number > 1 && scenario.Get("between-runs") == "spoil")
            SpoilFiles(outcome.tempFolder);
        LabRun run;
        run.plan.number = number;
        run.plan.setupPath = outcome.setupPath;
        run.plan.tempFolder = outcome.tempFolder;
        run.plan.tempVariable = tempVariable;
        run.plan.outFolder = out;
        run.plan.logPath = scenario.Get("runtime.log", StandInLog());
        const std::string perRun = "answers.run" + std::to_string(number);
        run.plan.answers = scenario.GetList(scenario.Get(perRun).empty() ? "answers" : perRun);
        const std::string perRunArguments = "arguments.run" + std::to_string(number);
        run.plan.arguments = scenario.Get(perRunArguments, scenario.Get("arguments"));
        run.plan.setupLogPath = scenario.Get("setup.log.at.run" + std::to_string(number),
                                             outcome.tempFolder + "VsEnclosaSetupBoot.log");
        const std::string logFolder = FolderOf(run.plan.setupLogPath);
        const std::set<std::string> besideLog = NamesIn(logFolder);
        run.plan.timeoutMs = static_cast<DWORD>(scenario.GetInt("timeout", 120)) * 1000;
        if (plantLink)
            run.plan.linkTarget = kElsewhere;
        const std::set<std::string> besideTemp = NamesIn(tempParent);
        const std::set<std::string> besideSetup = NamesIn(setupFolder);
        run.record = RunSetup(run.plan);
        run.besideTemp = Appeared(besideTemp, NamesIn(tempParent));
        run.besideSetup = Appeared(besideSetup, NamesIn(setupFolder));
        if (logFolder != outcome.tempFolder)
            run.besideLog = Appeared(besideLog, NamesIn(logFolder));
        if (!outcome.plantedPath.empty()) {
            const std::string note = PlantedRunNote(outcome.plantedPath);
            run.planted = GetFileAttributesA(note.c_str()) != INVALID_FILE_ATTRIBUTES ? "ran" : "not run";
            DeleteFileA(note.c_str());
        }
        if (plantLink)
            run.linkTarget = ElsewhereAfterRun(run.record);
        allEnded = allEnded && run.record.exitCode.has_value() && run.record.startError == 0;
        outcome.runs.push_back(std::move(run));
    }
    blockedWork.reset();
    if (bystander)
        bystander->Stop();
    if (!outcome.plantedPath.empty())
        DeleteFileA(outcome.plantedPath.c_str());

    if (!WriteFacts(out + "facts.txt", outcome) || !WriteTranscript(out + "transcript.txt", outcome)) {
        std::fprintf(stderr, "cannot write the results into %s\n", out.c_str());
        return 1;
    }
    return allEnded ? 0 : 2;
}
