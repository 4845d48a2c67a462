#include "FileBackend.h"
#include "MemoryFileSystem.h"
#include "MemoryProfileFile.h"

namespace tavro::test {

namespace {
class MemoryFileBackend : public FileBackend {
 public:
  FileSystem& files() override { return files_; }
  ProfileFile& profile() override { return profile_; }
  std::string MakeScratchFolder(const std::string& name) override {
    const std::string path = "C:\\Scratch\\" + name;
    files_.AddFolder(path);
    return path;
  }
  void RemoveTree(const std::string&) override {}  // dies with the backend
  void Seed(const std::string& path, std::string_view bytes) override {
    files_.AddFile(path, bytes);
  }
  std::optional<std::string> Bytes(const std::string& path) override {
    return files_.ReadFile(path);
  }
  void MakeReadOnly(const std::string& path) override {
    files_.SetReadOnly(path);
  }
  // The fake tells a held file from a read-only one by nothing it does.
  void HoldOpen(const std::string& path) override { files_.SetReadOnly(path); }
  bool ReadOnlyStopsWrites() override { return true; }

 private:
  MemoryFileSystem files_;
  MemoryProfileFile profile_{files_};
};

std::unique_ptr<FileBackend> Make() {
  return std::make_unique<MemoryFileBackend>();
}
}  // namespace

const FileBackendMaker kMemoryFileBackend{"Memory", &Make};

INSTANTIATE_TEST_SUITE_P(Memory, FileSystemContractTest,
                         ::testing::Values(kMemoryFileBackend));
INSTANTIATE_TEST_SUITE_P(Memory, ProfileContractTest,
                         ::testing::Values(kMemoryFileBackend));

}  // namespace tavro::test
