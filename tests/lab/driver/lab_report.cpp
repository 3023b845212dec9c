#include "tests/lab/driver/lab_report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace {

std::string Join(const std::vector<std::string>& items, const char* separator = ", ")
{
    std::string joined;
    for (const std::string& item : items)
        joined += (joined.empty() ? "" : separator) + item;
    return joined;
}

std::vector<std::string> Sorted(std::vector<std::string> items)
{
    std::sort(items.begin(), items.end());
    return items;
}

std::string Hex(DWORD value)
{
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::vector<std::string> FileNames(const MachineState& state)
{
    std::vector<std::string> names;
    for (const auto& entry : state.tempFiles)
        names.push_back(entry.first);
    return names;
}

// The names of the files, or of the sub-folders, in the work folders this run made and left.
std::vector<std::string> InNewWorkFolders(const RunRecord& record, bool folders)
{
    std::vector<std::string> names;
    const auto collect = [&](const auto& entries) {
        for (const auto& entry : entries) {
            const std::string folder = entry.first.substr(0, entry.first.find('\\'));
            if (record.before.workFolders.count(folder) == 0)
                names.push_back(entry.first.substr(folder.size() + 1));
        }
    };
    if (folders)
        collect(record.after.workSubfolders);
    else
        collect(record.after.workFiles);
    return Sorted(names);
}

size_t NewWorkFoldersLeft(const RunRecord& record)
{
    return static_cast<size_t>(std::count_if(record.after.workFolders.begin(), record.after.workFolders.end(),
                                             [&](const auto& entry) { return record.before.workFolders.count(entry.first) == 0; }));
}

std::vector<std::string> ProductChanges(const MachineState& before, const MachineState& after, bool added)
{
    const MachineState& from = added ? before : after;
    const MachineState& to = added ? after : before;
    std::vector<std::string> codes;
    for (const std::string& code : to.products) {
        if (from.products.count(code) == 0)
            codes.push_back(code);
    }
    return codes;
}

std::vector<std::string> ProcessChanges(bool started, const std::vector<RunEvent>& events)
{
    // From the timeline, so that a process that came and went during the run is counted too.
    const std::string prefix = started ? "process+ " : "process- ";
    std::vector<std::string> names;
    for (const auto& event : events) {
        if (event.text.compare(0, prefix.size(), prefix) == 0) {
            const std::string rest = event.text.substr(prefix.size());
            names.push_back(rest.substr(0, rest.rfind(' ')));
        }
    }
    return Sorted(names);
}

size_t LinesWith(const std::vector<RunEvent>& events, const std::string& prefix)
{
    return static_cast<size_t>(std::count_if(events.begin(), events.end(), [&](const RunEvent& event) {
        return event.text.compare(0, prefix.size(), prefix) == 0;
    }));
}

// A line of the setup's log without its time of day ("15:30:12.345 "), which no check can know.
std::string WithoutTime(const std::string& line)
{
    const bool stamped = line.size() > 13 && line[2] == ':' && line[5] == ':' && line[8] == '.' && line[12] == ' ';
    return stamped ? line.substr(13) : line;
}

// Whether Windows Installer's log of the run carries the run's name from the log's header
// ("==== Run 20261209-153012-4711, ..."), so that a person can tell which run it belongs to.
std::string InstallerLogFact(const RunRecord& record)
{
    if (record.installerLogs.empty())
        return "none";
    const std::string header = "==== Run ";
    std::string run;
    for (const std::string& line : record.setupLog) {
        if (line.compare(0, header.size(), header) == 0)
            run = line.substr(header.size(), line.find(',') - header.size());
    }
    if (record.installerLogs.size() == 1 && !run.empty() && record.installerLogs[0].find(run) != std::string::npos)
        return "named after the run";
    return Join(record.installerLogs) + " (not named after the run " + run + ")";
}

// The run's exit code; a run the lab had to end has none.
std::string ExitText(const RunRecord& record)
{
    if (record.exitCode)
        return std::to_string(*record.exitCode);
    return record.timedOut ? "none (ended by the lab after its time limit)" : "none";
}

class Facts {
public:
    void Add(const std::string& key, const std::string& value) { m_text << key << " = " << EscapeFact(value) << "\n"; }
    std::string Text() const { return m_text.str(); }

private:
    std::ostringstream m_text;
};

void AddRunFacts(Facts& facts, const LabRun& run)
{
    const std::string prefix = "run" + std::to_string(run.plan.number) + ".";
    const RunRecord& record = run.record;
    facts.Add(prefix + "arguments", run.plan.arguments);
    facts.Add(prefix + "started", record.startError == 0 ? "yes" : "no, error " + std::to_string(record.startError));
    facts.Add(prefix + "exit", ExitText(record));
    facts.Add(prefix + "timeout", record.timedOut ? "yes" : "no");
    facts.Add(prefix + "windows", std::to_string(record.windows.size()));
    for (size_t i = 0; i < record.windows.size(); ++i) {
        const WindowRecord& window = record.windows[i];
        const std::string key = prefix + "window" + std::to_string(i + 1) + ".";
        facts.Add(key + "process", window.processName);
        facts.Add(key + "class", window.seen.className);
        facts.Add(key + "caption", window.seen.caption);
        facts.Add(key + "text", window.seen.text);
        facts.Add(key + "buttons", Join(window.seen.buttons));
        facts.Add(key + "default", window.seen.defaultButton);
        facts.Add(key + "icon", window.seen.hasIcon ? (window.icon.empty() ? "unknown" : window.icon) : "none");
        facts.Add(key + "style", Hex(window.seen.style));
        facts.Add(key + "exstyle", Hex(window.seen.exStyle));
        facts.Add(key + "children", window.seen.children);
        facts.Add(key + "answer", window.answer);
        facts.Add(key + "planned", window.planned ? "yes" : "no");
        facts.Add(key + "screenshot", window.screenshot);
    }
    facts.Add(prefix + "products.added", Join(ProductChanges(record.before, record.after, true)));
    facts.Add(prefix + "products.removed", Join(ProductChanges(record.before, record.after, false)));
    facts.Add(prefix + "products.after", Join(std::vector<std::string>(record.after.products.begin(), record.after.products.end())));
    facts.Add(prefix + "temp.files", Join(FileNames(record.after)));
    std::vector<std::string> sizes;
    for (const auto& [name, info] : record.after.tempFiles)
        sizes.push_back(name + " " + std::to_string(info.size) + " " + info.digest);
    facts.Add(prefix + "temp.contents", Join(sizes));
    std::vector<std::string> folders;
    for (const auto& entry : record.after.tempFolders)
        folders.push_back(entry.first);
    facts.Add(prefix + "temp.folders", Join(folders));
    facts.Add(prefix + "work.made", std::to_string(LinesWith(record.events, "work+ ")));
    facts.Add(prefix + "work.left", std::to_string(NewWorkFoldersLeft(record)));
    facts.Add(prefix + "work.files", Join(InNewWorkFolders(record, false)));
    facts.Add(prefix + "work.folders", Join(InNewWorkFolders(record, true)));
    if (!run.linkTarget.empty())
        facts.Add(prefix + "link.target", run.linkTarget);
    facts.Add(prefix + "registry.before", record.before.initialized);
    facts.Add(prefix + "registry.after", record.after.initialized);
    facts.Add(prefix + "processes.started", Join(ProcessChanges(true, record.events)));
    facts.Add(prefix + "processes.ended", Join(ProcessChanges(false, record.events)));
    facts.Add(prefix + "processes.left", Join(Sorted(record.left)));
    std::vector<std::string> logLines;
    for (const auto& event : record.events) {
        if (event.text.compare(0, 4, "log ") == 0)
            logLines.push_back(event.text.substr(4));
    }
    facts.Add(prefix + "log", Join(logLines, " | "));
    facts.Add(prefix + "log.count", std::to_string(LinesWith(record.events, "log ")));
    std::vector<std::string> setupLog;
    for (const std::string& line : record.setupLog)
        setupLog.push_back(WithoutTime(line));
    facts.Add(prefix + "setup.log", Join(setupLog, " | "));
    facts.Add(prefix + "setup.log.lines", std::to_string(setupLog.size()));
    facts.Add(prefix + "msi.log", InstallerLogFact(record));
    if (!run.planted.empty())
        facts.Add(prefix + "planted", run.planted);
    facts.Add(prefix + "beside.temp", Join(run.besideTemp));
    facts.Add(prefix + "beside.setup", Join(run.besideSetup));
    facts.Add(prefix + "beside.log", Join(run.besideLog));
    facts.Add(prefix + "events", std::to_string(record.events.size()));
    for (size_t i = 0; i < record.events.size(); ++i) {
        const std::string key = prefix + "event" + std::to_string(i + 1);
        const RunEvent& event = record.events[i];
        facts.Add(key, event.text);
        facts.Add(key + ".at", std::to_string(event.at));
        if (event.since != event.at)
            facts.Add(key + ".since", std::to_string(event.since));
    }
}

std::string Seconds(DWORD milliseconds)
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "%7.2fs", milliseconds / 1000.0);
    return text;
}

void WriteRun(std::ostream& out, const LabRun& run)
{
    const RunRecord& record = run.record;
    out << "\nRun " << run.plan.number << "\n";
    if (record.startError != 0) {
        out << "  the setup did not start: error " << record.startError << "\n";
        return;
    }
    size_t window = 0;
    for (const RunEvent& entry : record.events) {
        const std::string& event = entry.text;
        out << "  " << Seconds(entry.at) << "  " << event << "\n";
        if (event.compare(0, 7, "window ") != 0 || window >= record.windows.size())
            continue;
        const WindowRecord& seen = record.windows[window++];
        out << "             class " << seen.seen.className << ", process " << seen.processName << ", style "
            << Hex(seen.seen.style) << ", icon " << (seen.seen.hasIcon ? (seen.icon.empty() ? "unknown" : seen.icon) : "none")
            << "\n";
        out << "             text: " << EscapeFact(seen.seen.text) << "\n";
        out << "             buttons: [" << Join(seen.seen.buttons, "] [") << "]"
            << (seen.seen.defaultButton.empty() ? "" : ", default " + seen.seen.defaultButton) << "\n";
        out << "             the person answers " << seen.answer << (seen.planned ? "" : " (not in the scenario)")
            << "\n";
        out << "             picture: " << (seen.screenshot.empty() ? "none could be taken" : seen.screenshot) << "\n";
    }
    out << "  Exit code " << ExitText(record) << "\n";
    out << "  What changed on the machine:\n";
    out << "    products installed: " << Join(ProductChanges(record.before, record.after, true)) << "\n";
    out << "    products removed:   " << Join(ProductChanges(record.before, record.after, false)) << "\n";
    out << "    temporary folder:   " << Join(FileNames(record.after)) << "\n";
    out << "    work folder:        " << Join(InNewWorkFolders(record, false)) << " ("
        << LinesWith(record.events, "work+ ") << " made, " << NewWorkFoldersLeft(record) << " left)\n";
    if (!run.linkTarget.empty())
        out << "    planted link's target: " << run.linkTarget << "\n";
    out << "    \"Initialized\":      " << record.before.initialized << " -> " << record.after.initialized << "\n";
    out << "    processes started:  " << Join(ProcessChanges(true, record.events)) << "\n";
    out << "    processes ended:    " << Join(ProcessChanges(false, record.events)) << "\n";
    out << "    left running:       " << Join(Sorted(record.left)) << "\n";
    if (!run.planted.empty())
        out << "    planted program:    " << run.planted << "\n";
    if (!run.besideTemp.empty())
        out << "    beside the temporary folder: " << Join(run.besideTemp) << "\n";
    if (!run.besideSetup.empty())
        out << "    beside the setup:   " << Join(run.besideSetup) << "\n";
    out << "  The setup's log (what this run appended to VsEnclosaSetupBoot.log):\n";
    for (const std::string& line : record.setupLog)
        out << "    " << line << "\n";
    if (record.setupLog.empty())
        out << "    nothing\n";
    out << "  Windows Installer's log: "
        << (record.installerLogs.empty() ? "none" : Join(record.installerLogs) + " bytes") << "\n";
}

} // namespace

std::string EscapeFact(const std::string& text)
{
    std::string escaped;
    for (char ch : text) {
        switch (ch) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += "\\r"; break;
        case '\t': escaped += "\\t"; break;
        default: escaped += ch; break;
        }
    }
    return escaped;
}

bool WriteFacts(const std::string& path, const LabOutcome& outcome)
{
    Facts facts;
    facts.Add("scenario", outcome.scenario);
    facts.Add("setup", outcome.setupPath);
    facts.Add("temp.folder", outcome.tempFolder);
    facts.Add("temp.given", outcome.tempGiven);
    facts.Add("runs", std::to_string(outcome.runs.size()));
    for (const LabRun& run : outcome.runs)
        AddRunFacts(facts, run);
    std::ofstream file(path, std::ios::binary);
    file << facts.Text();
    return static_cast<bool>(file);
}

bool WriteTranscript(const std::string& path, const LabOutcome& outcome)
{
    std::ofstream file(path, std::ios::binary);
    file << "Scenario " << outcome.scenario << (outcome.title.empty() ? "" : ": " + outcome.title) << "\n";
    file << "Setup " << outcome.setupPath << "\n";
    file << "Temporary folder " << outcome.tempFolder << " (TEMP and TMP: " << outcome.tempGiven << ")\n";
    if (!outcome.plantedPath.empty())
        file << "Planted program " << outcome.plantedPath << "\n";
    for (const LabRun& run : outcome.runs)
        WriteRun(file, run);
    return static_cast<bool>(file);
}
