#include "foundation/file_find.h"

VsFileFind::VsFileFind(const char* pattern) : m_pattern(pattern), m_folder(m_pattern.GetFolder()) {}

bool VsFileFind::FindNext()
{
    m_record = WIN32_FIND_DATAA{};
    if (m_firstStep) {
        m_firstStep = false;
        m_search.Reset(FindFirstFileA(m_pattern, &m_record));
        return m_search.IsValid();
    }
    return FindNextFileA(m_search.Get(), &m_record) != FALSE;
}

bool VsFileFind::IsDirectory() const { return (m_record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool VsFileFind::IsReparsePoint() const
{
    return (m_record.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool VsFileFind::IsDots() const
{
    if (!IsDirectory() || m_record.cFileName[0] != '.')
        return false;
    return m_record.cFileName[1] == '\0' || (m_record.cFileName[1] == '.' && m_record.cFileName[2] == '\0');
}

VsFsPath VsFileFind::GetFilePath() const { return m_folder.Combine(m_record.cFileName); }

// The folder already ends in its separator, so an entry without a short name gives the folder.
VsFsPath VsFileFind::GetShortFilePath() const { return m_folder.Combine(m_record.cAlternateFileName); }
