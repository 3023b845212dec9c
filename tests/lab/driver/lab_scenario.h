// A lab scenario as the driver reads it: "key = value" lines, '#' starts a comment line, a
// later line with the same key wins. The driver reads only the keys about the person and the
// run (answers, temporary folder, runs); the machine keys are for the preparation around it.
#pragma once

#include <map>
#include <string>
#include <vector>

class LabScenario {
public:
    // False with a message when the file cannot be read or a line has no '='.
    bool Load(const std::string& path, std::string& error);

    std::string Get(const std::string& key, const std::string& fallback = "") const;
    int GetInt(const std::string& key, int fallback) const;
    // A comma-separated value, each item trimmed; empty items are dropped.
    std::vector<std::string> GetList(const std::string& key) const;

private:
    std::map<std::string, std::string> m_values;
};

std::string TrimBlanks(const std::string& text);
