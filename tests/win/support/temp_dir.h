// A fresh folder under the prefix's temporary folder for one test, removed with all it holds.
#pragma once

#include <set>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Points TMP, which GetTempPath reads first, at a path while it lives; the old value, or its
// absence, comes back at the end. A UTF-16 path names a folder outside the ANSI code page.
class TmpOverride {
public:
    explicit TmpOverride(const std::string& path);
    explicit TmpOverride(const std::wstring& path);
    ~TmpOverride();
    TmpOverride(const TmpOverride&) = delete;
    TmpOverride& operator=(const TmpOverride&) = delete;

    // Points it elsewhere (a file in the way, a path too long); the old value still comes back.
    void PointAt(const std::string& path) const;
    void PointAt(const std::wstring& path) const;

private:
    TmpOverride();

    bool m_wasSet = false;
    std::wstring m_saved;
};

// A fresh folder that is the process's temporary folder while it lives.
class TmpDir : public TempDir {
public:
    TmpDir() : m_tmp(Path()) {}

    void PointTmpAt(const std::string& path) const { m_tmp.PointAt(path); }

private:
    TmpOverride m_tmp;
};

// The setup's work folders (Windows' Temp folder, VsEnclosaSetupBoot-*) made while it lives;
// it removes them at its end, so that a test bed does not fill up with kept packages.
class NewWorkFolders {
public:
    NewWorkFolders();
    ~NewWorkFolders();
    NewWorkFolders(const NewWorkFolders&) = delete;
    NewWorkFolders& operator=(const NewWorkFolders&) = delete;

    // The full paths of the work folders that are there now and were not at the start.
    std::vector<std::string> Paths() const;

private:
    std::set<std::string> m_before;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read. FileExists tells the two apart.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Whether another program could rename the file or folder right now; a renamed one is put back.
bool Renamable(const std::string& path);
// Removes a folder with all it holds; a directory link inside is removed, never entered.
void RemoveTree(const std::string& path);
// Names of a folder's entries without "." and ".."; only its sub-folders when foldersOnly.
std::set<std::string> FolderEntries(const std::string& folder, bool foldersOnly = false);
// Folder where a test keeps what a person may want to look at (screenshots).
std::string ArtifactsFolder();
