// Where the program's files lie, relative to the work folder.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

std::string BackupPath(std::string_view workDir);
std::string ScriptFolder(std::string_view workDir);

// The fill script of a Title. A Title that cannot name a file in the Script
// folder as it stands (a path separator, a character file names cannot
// hold, a device name, a path too long for the system) gets a safe name
// instead: the offending characters replaced, cut to fit, and a hash of the
// whole Title appended so that two such Titles do not share a file.
std::string ScriptPath(std::string_view workDir, std::string_view title);

}  // namespace tavro
