#include <cstdio>
#include <random>

#include "FileBackend.h"

namespace tavro::test {

void ScratchFolderTest::SetUp() {
  backend_ = GetParam().make();
  static std::mt19937_64 generator{std::random_device{}()};
  char suffix[17];
  std::snprintf(suffix, sizeof suffix, "%016llx",
                static_cast<unsigned long long>(generator()));
  // Parameterized names carry a '/', which would split the path.
  std::string name =
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
  for (char& c : name)
    if (c == '/') c = '-';
  root_ = backend_->MakeScratchFolder(name + "-" + suffix);
}

void ScratchFolderTest::TearDown() { backend_->RemoveTree(root_); }

}  // namespace tavro::test
