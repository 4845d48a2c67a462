#include "WinFileSystem.h"

#include <algorithm>
#include <vector>

#include "CodePage.h"
#include "Errors.h"
#include "Handles.h"

namespace tavro::win {

namespace {

// The last error, as a failed write of the file tells it.
[[noreturn]] void ThrowWriteError(const std::string& path,
                                  bool replacing = false) {
  const std::string text = WriteError(path, SystemMessage(GetLastError()));
  if (replacing) throw ReplaceFailed(text);
  throw TavroError(text);
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

bool WinFileSystem::MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool WinFileSystem::RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != 0;
}

namespace {
void WriteAll(HANDLE file, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr))
      ThrowWriteError(path);
    bytes.remove_prefix(written);
  }
}

// Puts the open file in the target's place through its own handle, which
// spares the system opening it again by name.
bool RenameOver(HANDLE file, const std::string& target) {
  char full[MAX_PATH];
  const DWORD length =
      GetFullPathNameA(target.c_str(), MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return false;
  const std::string ntPath = std::string("\\??\\") + full;
  const int wide =
      MultiByteToWideChar(CP_ACP, 0, ntPath.c_str(), -1, nullptr, 0);
  if (wide <= 0) return false;
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + wide * sizeof(WCHAR));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  MultiByteToWideChar(CP_ACP, 0, ntPath.c_str(), -1, info->FileName, wide);
  info->FileNameLength = static_cast<DWORD>((wide - 1) * sizeof(WCHAR));
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != 0;
}
}  // namespace

void WinFileSystem::WriteFile(const std::string& path, std::string_view bytes,
                              Sync sync) {
  // The new file lies in the same folder, so that the move is a rename. One
  // name serves every write, one after the other, and whatever a killed
  // save left under it is simply written over.
  const std::string temporary =
      path.substr(0, FileNameStart(path)) + "~tavro.tmp";
  UniqueHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE | DELETE, 0,
                                nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) ThrowWriteError(path);
  try {
    WriteAll(file.get(), bytes, path);
    if (sync == Sync::ToDisk && !FlushFileBuffers(file.get()))
      ThrowWriteError(path);
    if (!RenameOver(file.get(), path)) ThrowWriteError(path, true);
  } catch (...) {
    FILE_DISPOSITION_INFO gone{TRUE};
    SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone,
                               sizeof gone);
    throw;
  }
  if (!CloseHandle(file.release())) ThrowWriteError(path);
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
