#include "foundation/error.h"
#include "foundation/setup_log.h"
#include "foundation/unique_handle.h"

#include <windows.h>

namespace Error {

CStringA SystemErrorText(unsigned long code)
{
    if (code == 0)
        return CStringA();
    char* buffer = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                   code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owner(buffer);
    return buffer != nullptr ? CStringA(buffer) : CStringA();
}

namespace {

ErrorBoxFunctions& Table()
{
    static ErrorBoxFunctions table{MessageBoxA};
    return table;
}

} // namespace

ErrorBoxFunctions SetErrorBoxFunctions(const ErrorBoxFunctions& functions)
{
    const ErrorBoxFunctions previous = Table();
    Table() = functions;
    return previous;
}

int VsException::Report() const
{
    const CStringA text = GetReportText();
    SetupLog::Write("Error box: %s", text.GetString());
    return Table().ShowBox(nullptr, text, "Error", MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

} // namespace Error
