// A lab scenario as the driver reads it: "key = value" lines, each key once, '#' starts a
// comment line. The driver reads only the keys about the person and the run (answers, temporary
// folder, runs); the machine keys are for the preparation around it, and the checks ("expect"
// and its kinds) for whoever compares the facts afterwards.
#pragma once

#include <map>
#include <string>
#include <vector>

class LabScenario {
public:
    // False with a message when the file cannot be read, a line has no '=', a key comes twice,
    // or a key is neither the driver's, nor a check, nor one of prepared (the keys the machine
    // was prepared from before the driver runs): a key nobody reads would run another machine
    // or another person than the scenario says.
    bool Load(const std::string& path, const std::vector<std::string>& prepared, std::string& error);

    std::string Get(const std::string& key, const std::string& fallback = "") const;
    int GetInt(const std::string& key, int fallback) const;
    // A comma-separated value, each item trimmed; empty items are dropped.
    std::vector<std::string> GetList(const std::string& key) const;

private:
    std::map<std::string, std::string> m_values;
};

std::string TrimBlanks(const std::string& text);
// The items of a comma-separated value, each trimmed; empty items are dropped.
std::vector<std::string> ListItems(const std::string& value);
