#include "tests/win/support/temp_dir.h"

#include "tests/directory_link/directory_link.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

TempDir::TempDir()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        m_path = std::string(base) + "vstest_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
    }
}

TempDir::~TempDir() { RemoveTree(m_path); }

TmpOverride::TmpOverride()
{
    const DWORD size = GetEnvironmentVariableW(L"TMP", nullptr, 0);
    m_wasSet = size > 0;
    if (m_wasSet) {
        m_saved.resize(size);
        m_saved.resize(GetEnvironmentVariableW(L"TMP", &m_saved[0], size));
    }
}

TmpOverride::TmpOverride(const std::string& path) : TmpOverride() { PointAt(path); }

TmpOverride::TmpOverride(const std::wstring& path) : TmpOverride() { PointAt(path); }

TmpOverride::~TmpOverride() { SetEnvironmentVariableW(L"TMP", m_wasSet ? m_saved.c_str() : nullptr); }

void TmpOverride::PointAt(const std::string& path) const { SetEnvironmentVariableA("TMP", path.c_str()); }

void TmpOverride::PointAt(const std::wstring& path) const { SetEnvironmentVariableW(L"TMP", path.c_str()); }

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Renamable(const std::string& path)
{
    const std::string moved = path + ".moved";
    if (!MoveFileA(path.c_str(), moved.c_str()))
        return false;
    MoveFileA(moved.c_str(), path.c_str());
    return true;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                RemoveDirectoryLink(child);
            } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::set<std::string> FolderEntries(const std::string& folder, bool foldersOnly)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = entry.cFileName;
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name != "." && name != ".." && (isFolder || !foldersOnly))
            names.insert(name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

std::string ArtifactsFolder()
{
    // The build tree's artifacts folder, a Unix path that Wine shows under drive Z:.
    const char* unixPath = std::getenv("VS_TEST_ARTIFACTS");
    std::string folder = unixPath != nullptr ? std::string("Z:") + unixPath : "artifacts";
    for (char& ch : folder)
        if (ch == '/')
            ch = '\\';
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

namespace {

std::string WindowsTemp()
{
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\Temp";
}

std::set<std::string> WorkFolderNames()
{
    std::set<std::string> names;
    for (const std::string& name : FolderEntries(WindowsTemp(), true)) {
        if (name.rfind("VsEnclosaSetupBoot-", 0) == 0)
            names.insert(name);
    }
    return names;
}

} // namespace

NewWorkFolders::NewWorkFolders() : m_before(WorkFolderNames()) {}

NewWorkFolders::~NewWorkFolders()
{
    for (const std::string& path : Paths())
        RemoveTree(path);
}

std::vector<std::string> NewWorkFolders::Paths() const
{
    std::vector<std::string> paths;
    for (const std::string& name : WorkFolderNames()) {
        if (m_before.count(name) == 0)
            paths.push_back(WindowsTemp() + "\\" + name);
    }
    return paths;
}

