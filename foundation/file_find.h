// Walks the entries of one folder by a wildcard pattern ("folder\*.*") and hands out the
// full path of each. Never throws: failures show as a false FindNext.
#pragma once

#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"

class VsFileFind {
public:
    explicit VsFileFind(const char* pattern);
    virtual ~VsFileFind() = default;
    VsFileFind(const VsFileFind&) = delete;
    VsFileFind& operator=(const VsFileFind&) = delete;

    // Moves to the next entry (the first on the first call); true while there is one.
    bool FindNext();
    bool IsDirectory() const;
    // A junction, a symbolic link or a mount point, whatever it points at.
    bool IsReparsePoint() const;
    // A folder named "." or "..".
    bool IsDots() const;
    VsFsPath GetFilePath() const;
    // The folder combined with the 8.3 name; the folder itself when the entry has none.
    VsFsPath GetShortFilePath() const;

private:
    UniqueFindHandle m_search;
    bool m_firstStep = true;
    WIN32_FIND_DATAA m_record{};
    VsFsPath m_pattern;
    VsFsPath m_folder;
};
