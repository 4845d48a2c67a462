#include "WinFileSystem.h"

#include <algorithm>

#include "CodePage.h"
#include "Errors.h"
#include "Handles.h"

namespace tavro::win {

namespace {
using UniqueFile = Unique<HANDLE, FileTraits>;

[[noreturn]] void ThrowLastError() {
  throw TavroError(SystemMessage(GetLastError()));
}
}  // namespace

std::string SystemMessage(unsigned long code) {
  char text[512] = "";
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n'))
    --length;
  if (length == 0) return "System error " + std::to_string(code);
  return std::string(text, length);
}

bool WinFileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::CreateDirectory(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool WinFileSystem::DeleteFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

namespace {
// Writes, flushes and closes a new file.
void WriteNewFile(const std::string& path, std::string_view bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) ThrowLastError();
  while (!bytes.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr))
      ThrowLastError();  // the handle still closes on the way out
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get())) ThrowLastError();
  if (!CloseHandle(file.release())) ThrowLastError();
}
}  // namespace

void WinFileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  // The new file lies in the same folder, so that the move is a rename.
  const std::size_t name = FileNameStart(path);
  const std::string folder = name == 0 ? "." : path.substr(0, name);
  char temporary[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "tav", 0, temporary)) ThrowLastError();
  try {
    WriteNewFile(temporary, bytes);
    if (!MoveFileExA(temporary, path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      throw ReplaceFailed(SystemMessage(GetLastError()));
  } catch (...) {
    DeleteFileA(temporary);
    throw;
  }
}

std::vector<std::string> WinFileSystem::FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  Unique<HANDLE, FindTraits> search(FindFirstFileA(pattern.c_str(), &found));
  if (search.get() == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search.get(), &found));
  return names;
}

}  // namespace tavro::win
