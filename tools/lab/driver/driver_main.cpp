// The lab's driver: runs the setup as a person would on the machine it runs on, following a
// scenario, and writes what that person saw and what changed on the machine.
//   VsLabDriver.exe --scenario FILE --setup EXE --out FOLDER
// Exit code: 0 when every run ended by itself, 2 when the lab had to end one, 1 on bad input.
#include "gdiplus_session.h"
#include "lab_report.h"
#include "lab_scenario.h"
#include "screen_capture.h"
#include "temp_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

struct Arguments {
    std::string scenario;
    std::string setup;
    std::string out;
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

std::string WithSeparator(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string OwnTempFolder()
{
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return WithSeparator(length > 0 && length <= MAX_PATH ? folder : "C:\\");
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
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string Folder(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool Plant(const std::string& plantedPath)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    DeleteFileA(PlantedRunNote(plantedPath).c_str());
    return CopyFileA((Folder(self) + "VsLabPlanted.exe").c_str(), plantedPath.c_str(), FALSE) != FALSE;
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

} // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments)) {
        std::fprintf(stderr, "usage: VsLabDriver --scenario FILE --setup EXE --out FOLDER\n");
        return 1;
    }
    LabScenario scenario;
    std::string error;
    if (!scenario.Load(arguments.scenario, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const std::string out = WithSeparator(FullPath(arguments.out));
    CreateDirectoryA(out.c_str(), nullptr);

    LabOutcome outcome;
    outcome.scenario = BaseName(arguments.scenario);
    outcome.title = scenario.Get("title");
    outcome.setupPath = FullPath(arguments.setup);
    outcome.tempFolder = PrepareTempFolder(scenario.Get("temp", "plain"), OwnTempFolder());
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
        run.plan.outFolder = out;
        run.plan.logPath = scenario.Get("runtime.log", StandInLog());
        const std::string perRun = "answers.run" + std::to_string(number);
        run.plan.answers = scenario.GetList(scenario.Get(perRun).empty() ? "answers" : perRun);
        run.plan.timeoutMs = static_cast<DWORD>(scenario.GetInt("timeout", 120)) * 1000;
        run.record = RunSetup(run.plan);
        if (!outcome.plantedPath.empty()) {
            const std::string note = PlantedRunNote(outcome.plantedPath);
            run.planted = GetFileAttributesA(note.c_str()) != INVALID_FILE_ATTRIBUTES ? "ran" : "not run";
            DeleteFileA(note.c_str());
        }
        allEnded = allEnded && !run.record.timedOut && run.record.startError == 0;
        outcome.runs.push_back(std::move(run));
    }
    if (!outcome.plantedPath.empty())
        DeleteFileA(outcome.plantedPath.c_str());

    if (!WriteFacts(out + "facts.txt", outcome) || !WriteTranscript(out + "transcript.txt", outcome)) {
        std::fprintf(stderr, "cannot write the results into %s\n", out.c_str());
        return 1;
    }
    return allEnded ? 0 : 2;
}
