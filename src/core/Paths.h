// Where the program's files lie, relative to the work folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// The longest path the ANSI file functions take, without its NUL.
inline constexpr std::size_t kMaxPathLength = 259;

std::string BackupPath(std::string_view workDir);
std::string ScriptFolder(std::string_view workDir);

// The fill script of a Title. A Title that cannot name a file in the Script
// folder as it stands (a path separator, a character file names cannot
// hold, a device name, a path too long for the system) gets a safe name
// instead: the offending characters replaced, cut to fit, and a hash of the
// whole Title appended so that two such Titles do not share a file.
// A variant above 1 adds "~variant" to the name, within the same limits.
std::string ScriptPath(std::string_view workDir, std::string_view title,
                       int variant = 1);

// The fill scripts of the entries, in list order, one each: a later entry
// whose script would be an earlier one's (equal Titles, equal but for
// letter case, or the same safe name) takes the next free variant.
std::vector<std::string> ScriptPaths(std::string_view workDir,
                                     const std::vector<std::string>& titles);

// Whether the platform's file functions can write these files: the path
// within its limit, and the folder short enough for a temporary file.
bool FitsPathLimit(std::string_view path);

// The names among these, the Script folder's, that ScriptPaths gives one
// of the Titles in some variant, but that none of the scripts bears: what
// Tavro wrote once and no entry names now.
std::vector<std::string> StaleScripts(std::string_view workDir,
                                      const std::vector<std::string>& titles,
                                      const std::vector<std::string>& scripts,
                                      std::vector<std::string> names);

}  // namespace tavro
