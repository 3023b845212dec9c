// What the lab writes after the runs: a transcript for a person, and facts ("key = value"
// lines, the scenario's own format) that the checks compare with the scenario's expectations.
#pragma once

#include "tests/lab/driver/setup_run.h"

#include <string>
#include <vector>

struct LabRun {
    RunPlan plan;
    RunRecord record;
    std::string planted;  // "ran", "not run", or empty when nothing was planted
    // What a link planted in the welcome folder pointed at, after the run: "kept", "emptied",
    // "no link planted"; empty when the scenario plants none.
    std::string linkTarget;
    std::vector<std::string> besideTemp;   // new entries in the folder that holds the temporary folder
    std::vector<std::string> besideSetup;  // new entries in the setup's own folder
    std::vector<std::string> besideLog;    // new entries beside a log the command line names
};

struct LabOutcome {
    std::string scenario;
    std::string title;
    std::string setupPath;
    std::string tempFolder;
    std::string tempGiven;  // what TEMP and TMP say to the setup, in UTF-8
    std::string plantedPath;
    std::vector<LabRun> runs;
};

// Backslash, line feed, carriage return and tab written as \\, \n, \r and \t: one fact, one line.
std::string EscapeFact(const std::string& text);

bool WriteFacts(const std::string& path, const LabOutcome& outcome);
bool WriteTranscript(const std::string& path, const LabOutcome& outcome);
