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
// Writes and closes a new file, flushed to disk when asked.
void WriteNewFile(const std::string& path, std::string_view bytes,
                  FileSystem::Sync sync) {
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
  if (sync == FileSystem::Sync::ToDisk && !FlushFileBuffers(file.get()))
    ThrowLastError();
  if (!CloseHandle(file.release())) ThrowLastError();
}
}  // namespace

void WinFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                              Sync sync) {
  // The new file lies in the same folder, so that the move is a rename. One
  // name serves every write, one after the other, and whatever a killed
  // save left under it is simply written over.
  const std::string temporary =
      path.substr(0, FileNameStart(path)) + "~tavro.tmp";
  try {
    WriteNewFile(temporary, bytes, sync);
    const DWORD flags = sync == Sync::ToDisk ? MOVEFILE_WRITE_THROUGH : 0;
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | flags))
      throw ReplaceFailed(SystemMessage(GetLastError()));
  } catch (...) {
    DeleteFileA(temporary.c_str());
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
