// What only the real registry shows: the bytes that reach the API.
#include <gtest/gtest.h>

#include "RegistryBackend.h"

namespace tavro::test {
namespace {

class WinRegistryTest : public ScratchKeyTest {};

TEST_P(WinRegistryTest, TextIsStoredWithItsTerminatingNul) {
  const auto key = Open(Path("k"), Registry::Mode::Create);
  key->WriteString("v", "abc");
  key->WriteString("", "");
  key->WriteString("inner", std::string("ab\0cd", 5));
  EXPECT_EQ(backend().GetRawValue(Path("k"), "v")->bytes,
            std::string("abc\0", 4));
  EXPECT_EQ(backend().GetRawValue(Path("k"), "")->bytes, std::string(1, '\0'));
  EXPECT_EQ(backend().GetRawValue(Path("k"), "inner")->bytes,
            std::string("ab\0cd\0", 6));
}

INSTANTIATE_TEST_SUITE_P(Win, WinRegistryTest, ::testing::Values(kWinBackend));

}  // namespace
}  // namespace tavro::test
