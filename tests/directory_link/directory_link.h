// A directory link as another program of the person's would plant one: a junction on Windows,
// a Unix symbolic link under Wine, whose own calls make none (CreateSymbolicLink claims success
// and makes nothing) and cannot remove one. Shared by the tests and the lab.
#pragma once

#include <string>

// A link at link pointing at target; false when none could be made.
bool MakeDirectoryLink(const std::string& link, const std::string& target);
// Removes such a link itself, never what it points at.
void RemoveDirectoryLink(const std::string& link);
