#include "app/program_run.h"

#include "foundation/narrow_string.h"
#include "foundation/unique_handle.h"
#include "framework/system_library.h"

#include <userenv.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

// "NAME=value" with its terminating zero.
using Variable = WideText;

// The system's variables, without the person's and without this process's own.
std::vector<Variable> SystemVariables()
{
    std::vector<Variable> variables;
    // The module stays loaded for the rest of the process.
    const HMODULE userenv = LoadSystemLibrary("userenv.dll");
    if (userenv == nullptr)
        return variables;
    const auto create = reinterpret_cast<decltype(&CreateEnvironmentBlock)>(
        reinterpret_cast<void*>(GetProcAddress(userenv, "CreateEnvironmentBlock")));
    const auto destroy = reinterpret_cast<decltype(&DestroyEnvironmentBlock)>(
        reinterpret_cast<void*>(GetProcAddress(userenv, "DestroyEnvironmentBlock")));
    void* block = nullptr;
    // No token: the system's variables only.
    if (create == nullptr || destroy == nullptr || !create(&block, nullptr, FALSE))
        return variables;
    for (const WCHAR* entry = static_cast<const WCHAR*>(block); *entry != L'\0'; entry += wcslen(entry) + 1)
        variables.emplace_back(entry, entry + wcslen(entry) + 1);
    destroy(block);
    return variables;
}

// The length of the name; a name may begin with "=".
int NameLength(const Variable& variable)
{
    const WCHAR* equals = wcschr(variable.data() + 1, L'=');
    return static_cast<int>(equals != nullptr ? equals - variable.data() : wcslen(variable.data()));
}

// Names compare as the platform compares them: ordinal, ignoring case.
int CompareNames(const Variable& a, const Variable& b)
{
    return CompareStringOrdinal(a.data(), NameLength(a), b.data(), NameLength(b), TRUE) - CSTR_EQUAL;
}

Variable Named(const WCHAR* name, const WideText& value)
{
    Variable variable(name, name + wcslen(name));
    variable.push_back(L'=');
    variable.insert(variable.end(), value.begin(), value.end());
    return variable;
}

} // namespace

WideText ProgramEnvironment(const char* folder)
{
    std::vector<Variable> variables = SystemVariables();
    const WideText path = ToUtf16(folder, CP_ACP);
    if (variables.empty() || path.size() <= 1)
        return WideText();
    std::vector<Variable> temporary{Named(L"TEMP", path), Named(L"TMP", path)};
    const auto isTemporary = [&](const Variable& variable) {
        return CompareNames(variable, temporary[0]) == 0 || CompareNames(variable, temporary[1]) == 0;
    };
    variables.erase(std::remove_if(variables.begin(), variables.end(), isTemporary), variables.end());
    variables.insert(variables.end(), temporary.begin(), temporary.end());
    std::sort(variables.begin(), variables.end(),
              [](const Variable& a, const Variable& b) { return CompareNames(a, b) < 0; });
    WideText block;
    for (const Variable& variable : variables)
        block.insert(block.end(), variable.begin(), variable.end());
    block.push_back(L'\0');
    return block;
}

ProgramRun RunAndWait(const char* commandLine, const char* folder)
{
    ProgramRun run;
    WideText environment = ProgramEnvironment(folder);
    // Never the setup's own environment in its place.
    if (environment.empty()) {
        run.startError = ERROR_ENVVAR_NOT_FOUND;
        return run;
    }
    // Nothing of the setup's own start: a copy would hand on what the platform gave it.
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    CStringA writable(commandLine);
    char* line = writable.GetBuffer(writable.GetLength());
    // The program runs in the folder, so that its own search for DLLs starts there and not in a
    // folder of the person's.
    const BOOL started = CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                                        environment.data(), folder, &startup, &info);
    run.startError = started ? ERROR_SUCCESS : GetLastError();
    writable.ReleaseBuffer();
    if (!started)
        return run;
    const UniqueProcessHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    run.started = true;
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}
