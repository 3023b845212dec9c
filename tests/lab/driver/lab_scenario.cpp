#include "tests/lab/driver/lab_scenario.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace {

// Every key the driver reads; "N" stands for a run's number (answers.run2).
const char* const kDriverKeys[] = {
    "title", "runs", "timeout", "answers", "answers.runN", "arguments", "arguments.runN", "setup.log.at.runN",
    "temp", "temp.log", "temp.plant", "temp.squat", "between-runs", "runtime.log", "work.blocked", "welcome.link",
    "link.at",
};

// The key with a trailing run number written as "N".
std::string Generic(const std::string& key)
{
    size_t digits = key.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(key[digits - 1])))
        --digits;
    const bool numbered = digits < key.size() && digits >= 4 && key.compare(digits - 4, 4, ".run") == 0;
    return numbered ? key.substr(0, digits) + "N" : key;
}

bool Known(const std::string& key, const std::vector<std::string>& prepared)
{
    if (key.compare(0, 6, "expect") == 0 || std::find(prepared.begin(), prepared.end(), key) != prepared.end())
        return true;
    const std::string generic = Generic(key);
    for (const char* known : kDriverKeys) {
        if (generic == known)
            return true;
    }
    return false;
}

} // namespace

std::string TrimBlanks(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool LabScenario::Load(const std::string& path, const std::vector<std::string>& prepared, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the scenario " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        line = TrimBlanks(line);
        if (line.empty() || line[0] == '#')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            error = path + ":" + std::to_string(number) + ": no '=' in \"" + line + "\"";
            return false;
        }
        const std::string key = TrimBlanks(line.substr(0, equals));
        const std::string where = path + ":" + std::to_string(number) + ": ";
        if (!Known(key, prepared)) {
            error = where + "unknown key \"" + key + "\"";
            return false;
        }
        if (!m_values.emplace(key, TrimBlanks(line.substr(equals + 1))).second) {
            error = where + "\"" + key + "\" a second time";
            return false;
        }
    }
    return true;
}

std::string LabScenario::Get(const std::string& key, const std::string& fallback) const
{
    const auto found = m_values.find(key);
    return found != m_values.end() ? found->second : fallback;
}

int LabScenario::GetInt(const std::string& key, int fallback) const
{
    const std::string value = Get(key);
    return value.empty() ? fallback : std::atoi(value.c_str());
}

std::vector<std::string> LabScenario::GetList(const std::string& key) const
{
    return ListItems(Get(key));
}

std::vector<std::string> ListItems(const std::string& value)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string::npos)
            comma = value.size();
        const std::string item = TrimBlanks(value.substr(start, comma - start));
        if (!item.empty())
            items.push_back(item);
        start = comma + 1;
    }
    return items;
}
