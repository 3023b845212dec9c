#include "machine_state.h"

#include "unique_handle.h"

#include <msi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <utility>

namespace {

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

std::map<std::string, FileInfo> FilesIn(const std::string& folder, bool withDigests)
{
    std::map<std::string, FileInfo> files;
    WIN32_FIND_DATAA found = {};
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find)
        return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        FileInfo info;
        info.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        info.written = found.ftLastWriteTime;
        if (withDigests)
            info.digest = Digest(ReadWholeFile(folder + found.cFileName));
        files[found.cFileName] = info;
    } while (FindNextFileA(find.Get(), &found));
    return files;
}

std::string InitializedValue()
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "no key";
    const UniqueRegKey key(opened);
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

} // namespace

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

MachineObserver::MachineObserver(std::string tempFolder, std::string logPath)
    : m_tempFolder(std::move(tempFolder)), m_logPath(std::move(logPath))
{
}

MachineState MachineObserver::Take(bool withProducts, bool withDigests) const
{
    MachineState state;
    state.hasProducts = withProducts;
    if (withProducts)
        state.products = InstalledProducts();
    state.processes = RunningProcesses();
    state.tempFiles = FilesIn(m_tempFolder, withDigests);
    state.initialized = InitializedValue();
    state.logLines = LinesOf(ReadWholeFile(m_logPath));
    return state;
}

std::vector<std::string> DescribeChanges(const MachineState& before, const MachineState& after)
{
    std::vector<std::string> changes;
    for (const auto& [name, info] : after.tempFiles) {
        const auto old = before.tempFiles.find(name);
        if (old == before.tempFiles.end())
            changes.push_back("file+ " + name + " " + std::to_string(info.size));
        else if (old->second.size != info.size || CompareFileTime(&old->second.written, &info.written) != 0)
            changes.push_back("file~ " + name + " " + std::to_string(info.size));
    }
    for (const auto& [name, info] : before.tempFiles) {
        if (after.tempFiles.count(name) == 0)
            changes.push_back("file- " + name);
    }
    for (const auto& [id, info] : after.processes) {
        const auto old = before.processes.find(id);
        if (old == before.processes.end() || old->second.name != info.name)
            changes.push_back("process+ " + info.name + " " + std::to_string(id));
    }
    for (const auto& [id, info] : before.processes) {
        const auto now = after.processes.find(id);
        if (now == after.processes.end() || now->second.name != info.name)
            changes.push_back("process- " + info.name + " " + std::to_string(id));
    }
    if (before.initialized != after.initialized)
        changes.push_back("registry Initialized " + after.initialized);
    if (before.hasProducts && after.hasProducts) {
        for (const std::string& code : after.products) {
            if (before.products.count(code) == 0)
                changes.push_back("product+ " + code);
        }
        for (const std::string& code : before.products) {
            if (after.products.count(code) == 0)
                changes.push_back("product- " + code);
        }
    }
    for (size_t line = before.logLines.size(); line < after.logLines.size(); ++line)
        changes.push_back("log " + after.logLines[line]);
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
