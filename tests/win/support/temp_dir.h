// A fresh folder under the prefix's temporary folder for one test, removed with all it holds.
#pragma once

#include <set>
#include <string>

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

void WriteFileBytes(const std::string& path, const std::string& bytes);
// The file's bytes; empty when it cannot be read. FileExists tells the two apart.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
void RemoveTree(const std::string& path);
// Names of a folder's entries without "." and ".."; only its sub-folders when foldersOnly.
std::set<std::string> FolderEntries(const std::string& folder, bool foldersOnly = false);
// Folder where a test keeps what a person may want to look at (screenshots).
std::string ArtifactsFolder();
