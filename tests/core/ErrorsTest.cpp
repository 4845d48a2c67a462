#include "Errors.h"

#include <gtest/gtest.h>

#include "Registry.h"

namespace tavro {
namespace {

TEST(Errors, FormatErrorFillsThePlaceholder) {
  EXPECT_EQ(FormatError(kFailedToSetData, ""), "Failed to set data for ''");
  EXPECT_EQ(FormatError(kInvalidDataType, "Tavro"),
            "Invalid data type for 'Tavro'");
  EXPECT_EQ(FormatError("Cannot create file %s", "C:\\a%s.htm"),
            "Cannot create file C:\\a%s.htm");
}

TEST(Errors, FullStopOnlyAfterCharactersSortingAfterPoint) {
  EXPECT_EQ(ErrorDisplayText(""), "");
  for (const char* kept : {"Done.", "Stop!", "a,", "a-", "(a)", "trailing ",
                           "Failed to set data for ''"})
    EXPECT_EQ(ErrorDisplayText(kept), kept) << kept;
  for (const char* text :
       {"Cannot create file C:\\x.htm", "Error 5", "Why?", "Path:", "a/"})
    EXPECT_EQ(ErrorDisplayText(text), std::string(text) + ".") << text;
  // Bytes above 127 compare unsigned.
  EXPECT_EQ(ErrorDisplayText("caf\xE9"), "caf\xE9.");
}

TEST(Errors, DoubleByteCharacterIsJudgedByItsLeadByte) {
  const auto isLead = [](unsigned char c) { return c >= 0x81 && c <= 0x9F; };
  // The trail byte would not earn a full stop; the lead byte does.
  EXPECT_EQ(ErrorDisplayText("x\x82!", isLead), "x\x82!.");
  EXPECT_EQ(ErrorDisplayText("x\x82!"), "x\x82!");
  // Pairs are found from the start: here the point stands alone.
  EXPECT_EQ(ErrorDisplayText("\x82\x82.", isLead), "\x82\x82.");
  // A lead byte with nothing after it is a character of its own.
  EXPECT_EQ(ErrorDisplayText("a.\x82", isLead), "a.\x82.");
  EXPECT_EQ(ErrorDisplayText("ab", isLead), "ab.");
}

}  // namespace
}  // namespace tavro
