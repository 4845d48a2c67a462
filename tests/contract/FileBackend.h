// A file system and profile functions under test, with what the tests need
// beside the program's own operations: files to start from, a look at the
// bytes stored, and a scratch folder per test. Every backend runs the same
// contract tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "FileSystem.h"
#include "ProfileFile.h"
#include "SectionCache.h"

namespace tavro::test {

class FileBackend {
 public:
  virtual ~FileBackend() = default;
  virtual FileSystem& files() = 0;
  virtual ProfileFile& profile() = 0;
  // A new empty folder, from outside the classes under test.
  virtual std::string MakeScratchFolder(const std::string& name) = 0;
  // Removes the folder with everything in it.
  virtual void RemoveTree(const std::string& path) = 0;
  // Stores exactly these bytes.
  virtual void Seed(const std::string& path, std::string_view bytes) = 0;
  // The bytes as stored; nothing when there is no such file.
  virtual std::optional<std::string> Bytes(const std::string& path) = 0;
  virtual void MakeReadOnly(const std::string& path) = 0;
  // Opens the file as another program might, sharing nothing, and keeps it
  // open until the folder is removed.
  virtual void HoldOpen(const std::string& path) = 0;
  // Wine running as root opens read-only files for writing all the same.
  virtual bool ReadOnlyStopsWrites() = 0;
};

struct FileBackendMaker {
  const char* name;
  std::unique_ptr<FileBackend> (*make)();
};
inline void PrintTo(const FileBackendMaker& maker, std::ostream* os) {
  *os << maker.name;
}

extern const FileBackendMaker kMemoryFileBackend;
#ifdef _WIN32
extern const FileBackendMaker kWinFileBackend;
#endif

// Each test works in a folder of its own, removed afterwards.
class ScratchFolderTest : public ::testing::TestWithParam<FileBackendMaker> {
 protected:
  void SetUp() override;
  void TearDown() override;

  FileSystem& files() { return backend_->files(); }
  ProfileFile& profile() { return backend_->profile(); }
  FileBackend& backend() { return *backend_; }
  std::string Path(const std::string& relative) const {
    return root_ + "\\" + relative;
  }

  std::unique_ptr<FileBackend> backend_;
  std::string root_;
};

class FileSystemContractTest : public ScratchFolderTest {};
class ProfileContractTest : public ScratchFolderTest {
 protected:
  std::string file() const { return Path("BackUp.ifm"); }
  void Write(const std::string& section, const std::string& key,
             const std::string& value) {
    profile().WriteString(file(), section, key, value);
  }
  // Each read is also made through a section read, which must agree.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& defaultValue = "<default>") {
    std::string value =
        profile().ReadString(file(), section, key, defaultValue);
    SectionCache sections(profile());
    EXPECT_EQ(sections.ReadString(file(), section, key, defaultValue), value)
        << "[" << section << "] " << key;
    return value;
  }
  std::optional<std::string> Bytes() { return backend().Bytes(file()); }
};

}  // namespace tavro::test
