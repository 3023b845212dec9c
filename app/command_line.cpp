#include "app/command_line.h"

#include "foundation/code_page.h"

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

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

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

} // namespace

std::vector<CStringA> SplitArguments(const char* text)
{
    std::vector<CStringA> arguments;
    if (text == nullptr)
        return arguments;
    int pos = 0;
    for (;;) {
        while (IsBlank(text[pos]))
            ++pos;
        if (text[pos] == '\0')
            return arguments;
        CStringA argument;
        bool quoted = false;
        while (text[pos] != '\0' && (quoted || !IsBlank(text[pos]))) {
            if (text[pos] == '\\') {
                int backslashes = 0;
                while (text[pos] == '\\') {
                    ++backslashes;
                    ++pos;
                }
                // Before a quote, pairs of backslashes are one each and an odd one makes the
                // quote a character; elsewhere backslashes are themselves.
                const bool beforeQuote = text[pos] == '"';
                for (int i = 0; i < (beforeQuote ? backslashes / 2 : backslashes); ++i)
                    argument += '\\';
                if (beforeQuote && backslashes % 2 == 1) {
                    argument += '"';
                    ++pos;
                }
            } else if (text[pos] == '"') {
                // Within quotes, two quotes are one quote character.
                if (quoted && text[pos + 1] == '"') {
                    argument += '"';
                    pos += 2;
                } else {
                    quoted = !quoted;
                    ++pos;
                }
            } else {
                const int next = CodePage::NextCharPos(text, pos);
                argument.Append(text + pos, next - pos);
                pos = next;
            }
        }
        arguments.push_back(argument);
    }
}

SetupCommandLine ParseSetupArguments(const std::vector<CStringA>& arguments)
{
    return Reader(arguments).Read();
}
