#include <cstdio>
#include <random>

#include "RegistryBackend.h"

namespace tavro::test {

namespace {
std::string UniqueSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  char text[17];
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(generator()));
  return text;
}
}  // namespace

void ScratchKeyTest::SetUp() {
  backend_ = GetParam().make();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  root_ = std::string("\\Software\\TavroTests\\") + info->name() + "-" +
          UniqueSuffix();
  backend_->CreateKey(root_);
}

void ScratchKeyTest::TearDown() { backend_->RemoveTree(root_); }

}  // namespace tavro::test
