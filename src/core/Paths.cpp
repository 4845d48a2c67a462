#include "Paths.h"

namespace tavro {

std::string ScriptFolder(std::string_view workDir) {
  return std::string(workDir) + "\\Script";
}

std::string ScriptPath(std::string_view workDir, std::string_view title) {
  return ScriptFolder(workDir) + "\\" + std::string(title) + ".htm";
}

}  // namespace tavro
