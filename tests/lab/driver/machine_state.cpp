#include "tests/lab/driver/machine_state.h"

#include "foundation/unique_handle.h"

#include <msi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <utility>

namespace {

Moment ToMoment(const FILETIME& time)
{
    return (static_cast<Moment>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

const char kSettingsKey[] = "Software\\Vostrel\\Outlook Enclosa";
const char kInitializedValue[] = "Initialized";

std::set<std::string> InstalledProducts()
{
    std::set<std::string> products;
    char code[39] = {};
    for (DWORD index = 0; MsiEnumProductsA(index, code) == ERROR_SUCCESS; ++index)
        products.insert(code);
    return products;
}

std::map<DWORD, ProcessInfo> RunningProcesses()
{
    std::map<DWORD, ProcessInfo> processes;
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return processes;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
        // A process that is still starting has no name yet: it is counted once it has one.
        if (entry.szExeFile[0] != '\0')
            processes[entry.th32ProcessID] = ProcessInfo{entry.szExeFile, entry.th32ParentProcessID};
    }
    return processes;
}

// FNV-1a over the content: enough to tell two versions of a file apart.
std::string Digest(const std::string& bytes)
{
    unsigned long long hash = 1469598103934665603ULL;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ULL;
    }
    char text[17] = {};
    std::snprintf(text, sizeof text, "%016llx", hash);
    return text;
}

bool IsSetupLog(const std::string& name)
{
    return name.size() >= 22 && _strnicmp(name.c_str(), "VsEnclosaSetupBoot", 18) == 0 &&
           _stricmp(name.c_str() + name.size() - 4, ".log") == 0;
}

// The files of the folder, the setup's logs apart from the others, in one look at the folder.
void FilesIn(const std::string& folder, bool withDigests, std::map<std::string, FileInfo>& files,
             std::map<std::string, FileInfo>& logs)
{
    WIN32_FIND_DATAA found = {};
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const bool log = IsSetupLog(found.cFileName);
        FileInfo info;
        info.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        info.created = ToMoment(found.ftCreationTime);
        info.written = ToMoment(found.ftLastWriteTime);
        if (withDigests && !log)
            info.digest = Digest(ReadWholeFile(folder + found.cFileName));
        (log ? logs : files)[found.cFileName] = info;
    } while (FindNextFileA(find.Get(), &found));
}

std::map<std::string, Moment> FoldersIn(const std::string& folder)
{
    std::map<std::string, Moment> folders;
    WIN32_FIND_DATAA found = {};
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find)
        return folders;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != "." && name != "..")
            folders[name] = ToMoment(found.ftCreationTime);
    } while (FindNextFileA(find.Get(), &found));
    return folders;
}

// The setup's work folders, and what is in them, in one look at each.
void WorkFoldersIn(const std::string& windowsTemp, bool withDigests, MachineState& state)
{
    static const char prefix[] = "VsEnclosaSetupBoot-";
    for (const auto& [name, created] : FoldersIn(windowsTemp)) {
        if (_strnicmp(name.c_str(), prefix, sizeof prefix - 1) != 0)
            continue;
        state.workFolders[name] = created;
        const std::string folder = windowsTemp + name + "\\";
        std::map<std::string, FileInfo> files, logs;
        FilesIn(folder, withDigests, files, logs);
        for (const auto& [file, info] : files)
            state.workFiles[name + "\\" + file] = info;
        for (const auto& [file, info] : logs)
            state.setupLogs[name + "\\" + file] = info;
        for (const auto& [sub, at] : FoldersIn(folder))
            state.workSubfolders[name + "\\" + sub] = at;
    }
}

// "work\NAME" for "FOLDER\NAME": which work folder is a GUID no check can know.
std::string InWork(const std::string& key)
{
    return "work" + key.substr(key.find('\\'));
}

Moment KeyWritten(HKEY key)
{
    FILETIME written = {};
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, &written) == ERROR_SUCCESS
               ? ToMoment(written)
               : 0;
}

// When Windows Installer published a product: the last write of its key among the installer's
// products, named by the packed product code (each group of the code's hex digits reversed).
// 0 when it cannot say.
Moment PublishedAt(const std::string& code)
{
    if (code.size() != 38)
        return 0;
    const std::string hex = code.substr(1, 8) + code.substr(10, 4) + code.substr(15, 4) + code.substr(20, 4) +
                            code.substr(25, 12);
    std::string packed;
    size_t at = 0;
    for (size_t length : {8, 4, 4, 2, 2, 2, 2, 2, 2, 2, 2}) {
        packed.append(hex.rend() - at - length, hex.rend() - at);
        at += length;
    }
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ("Software\\Classes\\Installer\\Products\\" + packed).c_str(), 0,
                      KEY_READ | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS)
        return 0;
    const UniqueRegKey key(opened);
    return KeyWritten(key.Get());
}

std::string InitializedValue(Moment& keyWritten)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "no key";
    const UniqueRegKey key(opened);
    if (const Moment written = KeyWritten(key.Get()))
        keyWritten = written;
    char data[256] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.Get(), kInitializedValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return "absent";
    if (type == REG_DWORD && size == sizeof(DWORD))
        return std::to_string(*reinterpret_cast<DWORD*>(data));
    return "\"" + std::string(data) + "\"";
}

Moment LastWritten(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? ToMoment(data.ftLastWriteTime) : 0;
}

} // namespace

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ReadWholeFile(const std::string& path)
{
    // Every sharing mode: the reader must never stop a writer or a deleter.
    const UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file)
        return bytes;
    char block[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof block, &read, nullptr) && read > 0)
        bytes.append(block, read);
    return bytes;
}

std::string WindowsTempFolder()
{
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\Temp\\";
}

MachineObserver::MachineObserver(std::string tempFolder, std::string logPath)
    : m_tempFolder(std::move(tempFolder)), m_windowsTemp(WindowsTempFolder()), m_logPath(std::move(logPath))
{
}

Moment Now()
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return ToMoment(now);
}

MachineState MachineObserver::Take(bool withProducts, bool withDigests)
{
    MachineState state;
    state.takenAt = Now();
    state.hasProducts = withProducts;
    if (withProducts) {
        state.productsFrom = state.takenAt;
        state.products = InstalledProducts();
        state.productsUntil = Now();
    }
    state.processes = RunningProcesses();
    FollowProcesses(state.processes);
    FilesIn(m_tempFolder, withDigests, state.tempFiles, state.setupLogs);
    state.tempFolders = FoldersIn(m_tempFolder);
    WorkFoldersIn(m_windowsTemp, withDigests, state);
    state.initialized = InitializedValue(state.settingsWritten);
    state.logLines = LinesOf(ReadWholeFile(m_logPath));
    state.logWritten = LastWritten(m_logPath);
    return state;
}

void MachineObserver::FollowProcesses(std::map<DWORD, ProcessInfo>& processes)
{
    for (auto& [id, info] : processes) {
        if (m_started.count(id) == 0) {
            UniqueProcessHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
            FILETIME created = {}, exited = {}, kernel = {}, user = {};
            const Moment started = process && GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)
                                       ? ToMoment(created)
                                       : 0;
            // A process cannot start after it was seen: a creation time read while the process
            // is still being set up can be garbage (seen under load, a day ahead).
            const Moment seen = Now();
            m_started[id] = started > seen ? seen : started;
            if (process)
                m_held[id] = std::move(process);
        }
        info.started = m_started[id];
    }
}

Moment MachineObserver::EndOf(DWORD processId)
{
    const auto held = m_held.find(processId);
    Moment end = 0;
    if (held != m_held.end()) {
        FILETIME created = {}, exited = {}, kernel = {}, user = {};
        if (GetProcessTimes(held->second.Get(), &created, &exited, &kernel, &user))
            end = ToMoment(exited);
        m_held.erase(held);
    }
    m_started.erase(processId);
    return end;
}

std::vector<Change> MachineObserver::Changes(const MachineState& before, const MachineState& after)
{
    std::vector<Change> changes;
    const auto add = [&](std::string text, Moment at) {
        changes.push_back(at != 0 ? Change{std::move(text), at, at}
                                  : Change{std::move(text), after.takenAt, before.takenAt});
    };
    for (const auto& [name, info] : after.tempFiles) {
        const auto old = before.tempFiles.find(name);
        if (old == before.tempFiles.end())
            add("file+ " + name + " " + std::to_string(info.size), info.created != 0 ? info.created : info.written);
        else if (old->second.size != info.size || old->second.written != info.written)
            add("file~ " + name + " " + std::to_string(info.size), info.written);
    }
    for (const auto& [name, info] : before.tempFiles) {
        if (after.tempFiles.count(name) == 0)
            add("file- " + name, 0);
    }
    for (const auto& [name, created] : after.tempFolders) {
        if (before.tempFolders.count(name) == 0)
            add("folder+ " + name, created);
    }
    for (const auto& [name, created] : before.tempFolders) {
        if (after.tempFolders.count(name) == 0)
            add("folder- " + name, 0);
    }
    for (const auto& [name, created] : after.workFolders) {
        if (before.workFolders.count(name) == 0)
            add("work+ " + name, created);
    }
    for (const auto& [key, info] : after.workFiles) {
        const auto old = before.workFiles.find(key);
        if (old == before.workFiles.end())
            add("file+ " + InWork(key) + " " + std::to_string(info.size), info.created != 0 ? info.created : info.written);
        else if (old->second.size != info.size || old->second.written != info.written)
            add("file~ " + InWork(key) + " " + std::to_string(info.size), info.written);
    }
    for (const auto& [key, created] : after.workSubfolders) {
        if (before.workSubfolders.count(key) == 0)
            add("folder+ " + InWork(key), created);
    }
    for (const auto& [key, info] : before.workFiles) {
        if (after.workFiles.count(key) == 0)
            add("file- " + InWork(key), 0);
    }
    for (const auto& [key, created] : before.workSubfolders) {
        if (after.workSubfolders.count(key) == 0)
            add("folder- " + InWork(key), 0);
    }
    for (const auto& [name, created] : before.workFolders) {
        if (after.workFolders.count(name) == 0)
            add("work- " + name, 0);
    }
    for (const auto& [id, info] : after.processes) {
        const auto old = before.processes.find(id);
        if (old == before.processes.end() || old->second.name != info.name)
            add("process+ " + info.name + " " + std::to_string(id), info.started);
    }
    for (const auto& [id, info] : before.processes) {
        const auto now = after.processes.find(id);
        if (now == after.processes.end() || now->second.name != info.name)
            add("process- " + info.name + " " + std::to_string(id), EndOf(id));
    }
    if (before.initialized != after.initialized)
        add("registry Initialized " + after.initialized, after.settingsWritten);
    if (before.hasProducts && after.hasProducts) {
        // Read every so often only: a change lies between two readings, unless the installer's
        // registry says when the product came.
        for (const std::string& code : after.products) {
            if (before.products.count(code) != 0)
                continue;
            const Moment published = PublishedAt(code);
            const bool known = published >= before.productsFrom && published <= after.productsUntil;
            changes.push_back(known ? Change{"product+ " + code, published, published}
                                    : Change{"product+ " + code, after.productsUntil, before.productsFrom});
        }
        for (const std::string& code : before.products) {
            if (after.products.count(code) == 0)
                changes.push_back(Change{"product- " + code, after.productsUntil, before.productsFrom});
        }
    }
    for (size_t line = before.logLines.size(); line < after.logLines.size(); ++line)
        add("log " + after.logLines[line], after.logWritten);
    return changes;
}

std::set<DWORD> ProcessTree(const std::map<DWORD, ProcessInfo>& processes, DWORD root)
{
    std::set<DWORD> tree{root};
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& [id, info] : processes) {
            if (tree.count(info.parentId) != 0 && tree.insert(id).second)
                grew = true;
        }
    }
    return tree;
}
