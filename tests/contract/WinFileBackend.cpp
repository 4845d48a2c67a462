// Seeds and inspects real files through the API itself, not through the
// classes under test.
#include "WinFileSystem.h"
#include "WinProfileFile.h"

#include <stdexcept>
#include <vector>

#include "FileBackend.h"
#include "Handles.h"

namespace tavro::test {

namespace {
using UniqueFile = win::Unique<HANDLE, win::FileTraits>;

std::string TestsFolder() {
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH)
    throw std::runtime_error("GetTempPathA failed");
  return std::string(temp, length) + "TavroFileTests";
}

void Check(bool ok, const char* what, const std::string& path) {
  if (!ok)
    throw std::runtime_error(std::string(what) + " failed with " +
                             std::to_string(GetLastError()) + " for " + path);
}

void Put(const std::string& path, std::string_view bytes) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  Check(file.get() != INVALID_HANDLE_VALUE, "CreateFileA", path);
  DWORD written = 0;
  Check(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                  &written, nullptr) &&
            written == bytes.size(),
        "WriteFile", path);
}

void Remove(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    win::Unique<HANDLE, win::FindTraits> owner(search);
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        Remove(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(search, &found));
  }
  RemoveDirectoryA(path.c_str());
}

class WinFileBackend : public FileBackend {
 public:
  FileSystem& files() override { return files_; }
  ProfileFile& profile() override { return profile_; }

  std::string MakeScratchFolder(const std::string& name) override {
    CreateDirectoryA(TestsFolder().c_str(), nullptr);
    const std::string path = TestsFolder() + "\\" + name;
    Check(CreateDirectoryA(path.c_str(), nullptr), "CreateDirectoryA", path);
    return path;
  }

  void RemoveTree(const std::string& path) override {
    held_.clear();
    Remove(path);
    // The common parent goes once no other test is using it.
    RemoveDirectoryA(TestsFolder().c_str());
  }

  void Seed(const std::string& path, std::string_view bytes) override {
    Put(path, bytes);
  }

  std::optional<std::string> Bytes(const std::string& path) override {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got)
      bytes.append(buffer, got);
    return bytes;
  }

  void MakeReadOnly(const std::string& path) override {
    Check(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY),
          "SetFileAttributesA", path);
  }

  void HoldOpen(const std::string& path) override {
    held_.emplace_back(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    Check(held_.back().get() != INVALID_HANDLE_VALUE, "CreateFileA", path);
  }

  bool ReadOnlyStopsWrites() override {
    static const bool stops = [] {
      CreateDirectoryA(TestsFolder().c_str(), nullptr);
      const std::string probe =
          TestsFolder() + "\\probe-" + std::to_string(GetCurrentProcessId());
      Put(probe, "x");
      SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
      UniqueFile opened(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
      const bool refused = opened.get() == INVALID_HANDLE_VALUE;
      opened.reset();
      SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(probe.c_str());
      return refused;
    }();
    return stops;
  }

 private:
  win::WinFileSystem files_;
  win::WinProfileFile profile_;
  std::vector<UniqueFile> held_;
};

std::unique_ptr<FileBackend> Make() {
  return std::make_unique<WinFileBackend>();
}
}  // namespace

const FileBackendMaker kWinFileBackend{"Win", &Make};

INSTANTIATE_TEST_SUITE_P(Win, FileSystemContractTest,
                         ::testing::Values(kWinFileBackend));
INSTANTIATE_TEST_SUITE_P(Win, ProfileContractTest,
                         ::testing::Values(kWinFileBackend));

}  // namespace tavro::test
