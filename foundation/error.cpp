// Composition of the error texts; the platform's part (system texts, the box) is error_win.cpp.
#include "foundation/error.h"

#include "foundation/fs_path.h"

namespace Error {

VsException::VsException(const char* sourceFile, int line)
    : m_sourceFile(VsFsPath(sourceFile).GetFileName()), m_line(line)
{
}

CStringA VsException::GetReportText() const
{
    CStringA text = GetText();
    text.Trim();
    if (text.IsEmpty())
        text.Format("Unknown error occured\nFile: %s, Line: %d", m_sourceFile.GetString(), m_line);
    return text;
}

VsExceptionText::VsExceptionText(const char* text, const char* sourceFile, int line)
    : VsException(sourceFile, line), m_text(text)
{
}

VsExceptionCommon::VsExceptionCommon(unsigned long code, const char* message, const char* sourceFile, int line)
    : VsException(sourceFile, line), m_code(code), m_message(message)
{
}

CStringA VsExceptionCommon::ComposeText(unsigned long code, CStringA systemText, const CStringA& message)
{
    systemText.Trim();
    CStringA text;
    if (systemText.IsEmpty())
        text.Format("(%#lx) %s", code, message.GetString());
    else
        text.Format("%s (%#lx)\n\n%s", systemText.GetString(), code, message.GetString());
    return text.Trim();
}

CStringA VsExceptionCommon::GetText() const { return ComposeText(m_code, SystemErrorText(m_code), m_message); }

} // namespace Error
