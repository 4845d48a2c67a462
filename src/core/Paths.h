// Where the program's files lie, relative to the work folder.
#pragma once

#include <string>
#include <string_view>

namespace tavro {

std::string ScriptFolder(std::string_view workDir);
std::string ScriptPath(std::string_view workDir, std::string_view title);

}  // namespace tavro
