#include "tests/lab/driver/lab_scenario.h"

#include <cstdlib>
#include <fstream>

std::string TrimBlanks(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool LabScenario::Load(const std::string& path, std::string& error)
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
        m_values[TrimBlanks(line.substr(0, equals))] = TrimBlanks(line.substr(equals + 1));
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
    std::vector<std::string> items;
    const std::string value = Get(key);
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
