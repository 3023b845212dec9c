// The exceptions the setup raises for failures the user must hear about. Thrown by value,
// caught by reference to the root, shown by Report in one place only.
#pragma once

#include "foundation/narrow_string.h"

#ifdef _WIN32
#include "foundation/scoped_override.h"

#include <windows.h>
#endif

namespace Error {

#ifdef _WIN32
// The box Report shows its text in: MessageBoxA, or a test's stand-in where the platform
// cannot show what a test must see (Wine ignores MB_TOPMOST).
struct ErrorBoxFunctions {
    int(WINAPI* ShowBox)(HWND, LPCSTR, LPCSTR, UINT) = nullptr;
};
// Replaces the table and gives the previous one back.
ErrorBoxFunctions SetErrorBoxFunctions(const ErrorBoxFunctions& functions);
using ScopedErrorBoxFunctions = ScopedOverride<ErrorBoxFunctions, SetErrorBoxFunctions>;
#endif

class VsException {
public:
    VsException(const char* sourceFile, int line);
    virtual ~VsException() = default;
    VsException(const VsException&) = default;
    VsException& operator=(const VsException&) = default;

    virtual CStringA GetText() const = 0;

    const CStringA& GetSourceFile() const { return m_sourceFile; }
    int GetLine() const { return m_line; }

#ifdef _WIN32
    // Shows the text in a topmost "Error" box and gives the box's result.
    int Report() const;
#endif
    // The text Report shows: the trimmed GetText, or the unknown-error text when that is blank.
    CStringA GetReportText() const;

private:
    CStringA m_sourceFile;
    int m_line;
};

class VsExceptionText : public VsException {
public:
    VsExceptionText(const char* text, const char* sourceFile, int line);
    CStringA GetText() const override { return m_text; }

private:
    CStringA m_text;
};

// A failed platform call: its system error code and a short description of the call.
class VsExceptionCommon : public VsException {
public:
    VsExceptionCommon(unsigned long code, const char* message, const char* sourceFile, int line);
    CStringA GetText() const override;

    unsigned long GetCode() const { return m_code; }
    const CStringA& GetDescription() const { return m_message; }

    // The text for a code, its system text (may be blank) and the message.
    static CStringA ComposeText(unsigned long code, CStringA systemText, const CStringA& message);

private:
    unsigned long m_code;
    CStringA m_message;
};

// The system's message for an error code in the user's default language; empty when none
// (always empty on the host, which has no system message table).
CStringA SystemErrorText(unsigned long code);

} // namespace Error
