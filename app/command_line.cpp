#include "app/command_line.h"

const char kSetupUsage[] =
    "Usage: VsEnclosaSetupBoot.exe [/quiet | /passive] [/closeoutlook] [/norestart] [/log <file>] "
    "[/layout <folder>]\n\n"
    "/quiet or /q: no window of any kind; the exit code tells the outcome.\n"
    "/passive: Windows Installer's progress bar only; no questions.\n"
    "/closeoutlook: with /quiet or /passive, close a running Outlook (without it, such a run ends with "
    "1618 and changes nothing).\n"
    "/norestart: never restart; the exit code 3010 tells that a restart is needed.\n"
    "/log <file>: the setup's log in that file, Windows Installer's log beside it.\n"
    "/layout <folder>: write the packages and installers the setup carries into the folder; install "
    "nothing.\n"
    "/? or /help: this text.\n\n"
    "Switches start with / or -; a path with blanks goes in double quotes.";

namespace {

// The switch's name in lower case; switch names are ASCII.
CStringA SwitchName(const CStringA& argument)
{
    CStringA name;
    for (int i = 1; i < argument.GetLength(); ++i) {
        const char ch = argument.GetAt(i);
        name += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return name;
}

bool IsSwitch(const CStringA& argument)
{
    return !argument.IsEmpty() && (argument.GetAt(0) == '/' || argument.GetAt(0) == '-');
}

class Reader {
public:
    explicit Reader(const std::vector<CStringA>& arguments) : m_arguments(arguments) {}

    SetupCommandLine Read()
    {
        for (m_next = 0; m_next < m_arguments.size();)
            ReadOne(m_arguments[m_next++]);
        return m_result;
    }

private:
    // The first reason is the one reported; the rest is still read for its mode.
    void Fail(const CStringA& reason)
    {
        if (m_result.error.IsEmpty())
            m_result.error = reason;
    }

    void SetUi(SetupUi ui)
    {
        SetupOptions& options = m_result.options;
        if (options.ui != SetupUi::Full && options.ui != ui)
            Fail("Two modes at once: /quiet and /passive; give one of them.");
        else
            options.ui = ui;
    }

    void ReadValue(const CStringA& argument, const char* what, CStringA& value)
    {
        const bool given = m_next < m_arguments.size() && !m_arguments[m_next].IsEmpty() &&
                           !IsSwitch(m_arguments[m_next]);
        CStringA reason;
        if (!given) {
            reason.Format("%s needs %s after it.", argument.GetString(), what);
            Fail(reason);
            return;
        }
        if (!value.IsEmpty()) {
            reason.Format("%s is given twice.", argument.GetString());
            Fail(reason);
        }
        value = m_arguments[m_next++];
    }

    void ReadOne(const CStringA& argument)
    {
        CStringA reason;
        if (!IsSwitch(argument)) {
            reason.Format("Unknown argument: \"%s\".", argument.GetString());
            Fail(reason);
            return;
        }
        const CStringA name = SwitchName(argument);
        SetupOptions& options = m_result.options;
        if (name == "quiet" || name == "q")
            SetUi(SetupUi::Quiet);
        else if (name == "passive")
            SetUi(SetupUi::Passive);
        else if (name == "closeoutlook")
            options.closeOutlook = true;
        else if (name == "norestart")
            options.noRestart = true;
        else if (name == "?" || name == "help")
            options.help = true;
        else if (name == "log")
            ReadValue(argument, "a file", options.logPath);
        else if (name == "layout")
            ReadValue(argument, "a folder", options.layoutFolder);
        else {
            reason.Format("Unknown switch: %s.", argument.GetString());
            Fail(reason);
        }
    }

    const std::vector<CStringA>& m_arguments;
    std::size_t m_next = 0;
    SetupCommandLine m_result;
};

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t'; }

// The argument that starts at at; at is left after it.
WideArgument ReadArgument(const wchar_t*& at)
{
    WideArgument argument;
    bool quoted = false;
    while (*at != L'\0' && (quoted || !IsBlank(*at))) {
        if (*at == L'\\') {
            std::size_t backslashes = 0;
            for (; *at == L'\\'; ++at)
                ++backslashes;
            const bool beforeQuote = *at == L'"';
            argument.insert(argument.end(), beforeQuote ? backslashes / 2 : backslashes, L'\\');
            if (beforeQuote && backslashes % 2 == 1)
                argument.push_back(*at++);
        } else if (*at == L'"') {
            ++at;
            // A quote right after the one that closes quoting is a literal quote.
            if (quoted && *at == L'"')
                argument.push_back(*at++);
            quoted = !quoted;
        } else {
            argument.push_back(*at++);
        }
    }
    argument.push_back(L'\0');
    return argument;
}

} // namespace

std::vector<WideArgument> SplitArguments(const wchar_t* text)
{
    std::vector<WideArgument> arguments;
    if (text == nullptr)
        return arguments;
    for (;;) {
        while (IsBlank(*text))
            ++text;
        if (*text == L'\0')
            return arguments;
        arguments.push_back(ReadArgument(text));
    }
}

SetupCommandLine ParseSetupArguments(const std::vector<CStringA>& arguments)
{
    return Reader(arguments).Read();
}
