#include "tests/lab/driver/setup_run.h"

#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"
#include "tests/capture/screen_capture.h"
#include "tests/directory_link/directory_link.h"

#include <algorithm>
#include <map>

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kProductPollMs = 250;
// A window is read and pictured once it has been on screen this long, as a person would.
constexpr DWORD kSettleMs = 400;
constexpr DWORD kLeftoverGraceMs = 5000;

// What the run added to the logs in the temporary folder: the lines appended to the setup's
// log since it was offset bytes long, and the other logs that appeared.
void ReadSetupLogs(const RunPlan& plan, size_t offset, RunRecord& record)
{
    const std::string log = ReadWholeFile(plan.setupLogPath);
    record.setupLog = LinesOf(log.size() >= offset ? log.substr(offset) : log);
    for (const auto& [name, info] : record.after.setupLogs) {
        if (name != "VsEnclosaSetupBoot.log" && record.before.setupLogs.count(name) == 0)
            record.installerLogs.push_back(name + " " + std::to_string(info.size));
    }
}

bool StartsWithVariable(const WCHAR* entry, const WCHAR* name)
{
    const size_t length = wcslen(name);
    return _wcsnicmp(entry, name, length) == 0 && entry[length] == L'=';
}

// The driver's environment with TEMP and TMP set to the scenario's value, in UTF-16: a folder
// whose name is outside the ANSI code page reaches the setup whole.
std::wstring EnvironmentWithTemp(const std::wstring& value)
{
    std::wstring block;
    WCHAR* strings = GetEnvironmentStringsW();
    for (const WCHAR* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        if (!StartsWithVariable(entry, L"TEMP") && !StartsWithVariable(entry, L"TMP"))
            block.append(entry).push_back(L'\0');
    }
    FreeEnvironmentStringsW(strings);
    block.append(L"TEMP=" + value).push_back(L'\0');
    block.append(L"TMP=" + value).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

// The report's name of a stock icon; empty for none.
std::string IconName(LPCSTR icon)
{
    if (icon == IDI_ERROR)
        return "error";
    if (icon == IDI_QUESTION)
        return "question";
    if (icon == IDI_EXCLAMATION)
        return "exclamation";
    return icon == IDI_INFORMATION ? "information" : "";
}

std::string NameOf(const MachineState& state, DWORD processId)
{
    const auto found = state.processes.find(processId);
    return found != state.processes.end() ? found->second.name : std::string();
}

void TerminateTree(const MachineState& state, DWORD root)
{
    for (DWORD id : ProcessTree(state.processes, root)) {
        const UniqueProcessHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
        if (process)
            TerminateProcess(process.Get(), ERROR_TIMEOUT);
    }
}

// A service the service manager started on demand (the RPC service that Windows Installer asks
// for, say) belongs to the system, not to the run: on Windows it would have been running anyway.
bool IsSystemService(const std::map<DWORD, ProcessInfo>& processes, const ProcessInfo& process)
{
    const auto parent = processes.find(process.parentId);
    return parent != processes.end() && _stricmp(parent->second.name.c_str(), "services.exe") == 0;
}

class Watch {
public:
    Watch(const RunPlan& plan, RunRecord& record)
        : m_plan(plan), m_record(record), m_observer(plan.tempFolder, plan.logPath)
    {
        m_record.before = m_observer.Take(true, true);
        m_last = m_record.before;
        m_start = Now();
    }

    DWORD Elapsed() const { return Since(Now()); }

    void Observe(DWORD setupId)
    {
        const bool productsDue = Elapsed() - m_lastProducts >= kProductPollMs;
        MachineState state = m_observer.Take(productsDue, false);
        if (productsDue)
            m_lastProducts = Elapsed();
        else
            KeepProducts(state);
        Note(state);
        LookAtWindows(ProcessTree(m_last.processes, setupId));
        m_lastLook = Since(m_last.takenAt);
    }

    void Finish()
    {
        const std::set<DWORD> known = [this] {
            std::set<DWORD> ids;
            for (const auto& entry : m_record.before.processes)
                ids.insert(entry.first);
            return ids;
        }();
        const DWORD self = GetCurrentProcessId();
        const DWORD deadline = Elapsed() + kLeftoverGraceMs;
        std::vector<std::string> left;
        do {
            Sleep(kPollMs);
            LookNow();
            left.clear();
            for (const auto& [id, info] : m_last.processes) {
                if (known.count(id) == 0 && id != self && !IsSystemService(m_last.processes, info))
                    left.push_back(info.name);
            }
        } while (!left.empty() && Elapsed() < deadline);
        m_record.left = left;
        m_record.after = m_observer.Take(true, true);
        Record(m_observer.Changes(m_last, m_record.after));
        // Changes carry the moment they happened, which may be before the poll that saw them.
        std::stable_sort(m_record.events.begin(), m_record.events.end(),
                         [](const RunEvent& a, const RunEvent& b) { return a.at < b.at; });
    }

    const MachineState& Last() const { return m_last; }

private:
    DWORD Since(Moment at) const { return at > m_start ? static_cast<DWORD>((at - m_start) / 10000) : 0; }

    void Record(std::vector<Change> changes)
    {
        for (Change& change : changes)
            m_record.events.emplace_back(Since(change.at), std::move(change.text), Since(change.since));
    }

    // A look without products; right before an answer, it makes what the answer brings about
    // surely later than the answer.
    void LookNow()
    {
        MachineState state = m_observer.Take(false, false);
        KeepProducts(state);
        Note(state);
    }

    // Products are read every kProductPollMs only: a look in between carries the last reading.
    void KeepProducts(MachineState& state) const
    {
        state.hasProducts = m_last.hasProducts;
        state.products = m_last.products;
        state.productsFrom = m_last.productsFrom;
        state.productsUntil = m_last.productsUntil;
    }

    void Note(MachineState& state)
    {
        Record(m_observer.Changes(m_last, state));
        m_last = std::move(state);
    }

    void LookAtWindows(const std::set<DWORD>& tree)
    {
        for (HWND window : VisibleTopLevelWindows(tree)) {
            if (std::find(m_handled.begin(), m_handled.end(), window) != m_handled.end())
                continue;
            // It appeared after the last look and no later than this one.
            const auto first = m_firstSeen.emplace(window, RunEvent(Elapsed(), "", m_lastLook)).first;
            if (Elapsed() - first->second.at >= kSettleMs) {
                m_handled.push_back(window);
                Handle(window, first->second);
            }
        }
    }

    // A link to the plan's folder, into a folder the run made in its work folder.
    void PlantLink()
    {
        if (m_plan.linkTarget.empty() || m_record.linkPlanted)
            return;
        for (const auto& [key, created] : m_last.workSubfolders) {
            if (m_record.before.workSubfolders.count(key) != 0)
                continue;
            const std::string link = WindowsTempFolder() + key + "\\VsLabLink";
            m_record.linkPlanted = MakeDirectoryLink(link, m_plan.linkTarget);
            if (m_record.linkPlanted)
                m_record.events.emplace_back(Elapsed(), "link+ work" + key.substr(key.find('\\')) + "\\VsLabLink");
            return;
        }
    }

    void Handle(HWND window, const RunEvent& seen)
    {
        PlantLink();
        WindowRecord record;
        record.atMs = seen.at;
        const size_t number = m_record.windows.size() + 1;
        // Above whatever else is on the screen, so that the picture shows this window.
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(200);
        record.seen = ReadWindow(window);
        record.processName = NameOf(m_last, record.seen.processId);
        const auto picture = CaptureScreen(record.seen.area);
        if (record.seen.hasIcon) {
            RECT iconArea = record.seen.iconArea;
            OffsetRect(&iconArea, -record.seen.area.left, -record.seen.area.top);
            record.icon = IconName(StockIconIn(*picture, iconArea));
        }
        const std::string name = "run" + std::to_string(m_plan.number) + "-window" + std::to_string(number) + ".png";
        if (SavePng(*picture, m_plan.outFolder + name))
            record.screenshot = m_plan.outFolder + name;
        m_record.events.emplace_back(seen.at, "window " + std::to_string(number) + " \"" + record.seen.caption + "\"",
                                     seen.since);

        record.planned = number <= m_plan.answers.size();
        record.answer = record.planned ? m_plan.answers[number - 1] : FallbackAnswer(record.seen);
        LookNow();
        const DWORD answeredAt = Elapsed();
        record.answered = IsWindow(window) && AnswerWindow(record.seen, record.answer);
        if (!record.answered && IsWindow(window)) {
            // The scenario named a button the window does not have: leave no window open.
            const std::string fallback = FallbackAnswer(record.seen);
            AnswerWindow(record.seen, fallback);
            record.answer += " (no such button; answered " + fallback + ")";
        }
        m_record.events.emplace_back(answeredAt, "answer " + std::to_string(number) + " " + record.answer);
        m_record.windows.push_back(std::move(record));
    }

    const RunPlan& m_plan;
    RunRecord& m_record;
    MachineObserver m_observer;
    Moment m_start = 0;
    DWORD m_lastProducts = 0;
    DWORD m_lastLook = 0;
    MachineState m_last;
    std::map<HWND, RunEvent> m_firstSeen;
    std::vector<HWND> m_handled;
};

} // namespace

RunRecord RunSetup(const RunPlan& plan)
{
    RunRecord record;
    const size_t logOffset = ReadWholeFile(plan.setupLogPath).size();
    Watch watch(plan, record);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + plan.setupPath + "\"";
    if (!plan.arguments.empty())
        commandLine += " " + plan.arguments;
    std::wstring environment = EnvironmentWithTemp(plan.tempVariable);
    // In its own folder, as the shell starts a program that a person opens.
    const std::string folder = VsFsPath(plan.setupPath.c_str()).GetFolder().GetString();
    // Suspended until the first look has seen it: a run that is refused at once ends within a poll.
    if (!CreateProcessA(plan.setupPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED, &environment[0], folder.c_str(), &startup,
                        &info)) {
        record.startError = GetLastError();
        watch.Finish();
        ReadSetupLogs(plan, logOffset, record);
        return record;
    }
    const UniqueProcessHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    record.events.emplace_back(watch.Elapsed(), "start " + commandLine);
    watch.Observe(info.dwProcessId);
    ResumeThread(info.hThread);

    for (;;) {
        const DWORD wait = WaitForSingleObject(process.Get(), kPollMs);
        watch.Observe(info.dwProcessId);
        if (wait == WAIT_OBJECT_0)
            break;
        if (watch.Elapsed() > plan.timeoutMs) {
            record.timedOut = true;
            record.events.emplace_back(watch.Elapsed(), "timeout");
            TerminateTree(watch.Last(), info.dwProcessId);
            WaitForSingleObject(process.Get(), 5000);
            break;
        }
    }
    DWORD exitCode = 0;
    // A run the lab ended has no exit code of its own.
    if (!record.timedOut && GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE) {
        record.exitCode = exitCode;
        record.events.emplace_back(watch.Elapsed(), "exit " + std::to_string(exitCode));
    }
    watch.Finish();
    ReadSetupLogs(plan, logOffset, record);
    return record;
}
