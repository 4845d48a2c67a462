#include "LineBreaks.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(LineBreaks, EmptyTextStaysEmpty) {
  EXPECT_EQ(EncodeLineBreaks(""), "");
  EXPECT_EQ(DecodeLineBreaks(""), "");
}

TEST(LineBreaks, PairBecomesFourCharactersAndBack) {
  EXPECT_EQ(EncodeLineBreaks("a\r\nb"), "a\\r\\nb");
  EXPECT_EQ(DecodeLineBreaks("a\\r\\nb"), "a\r\nb");
  EXPECT_EQ(EncodeLineBreaks("\r\n\r\n"), "\\r\\n\\r\\n");
}

TEST(LineBreaks, OnlyExactPairsAreEncoded) {
  EXPECT_EQ(EncodeLineBreaks("a\rb\nc\n\r"), "a\rb\nc\n\r");
  EXPECT_EQ(EncodeLineBreaks("\r\r\n"), "\r\\r\\n");
  EXPECT_EQ(EncodeLineBreaks("\r\n\n"), "\\r\\n\n");
}

TEST(LineBreaks, DecodingIsExactAndCaseSensitive) {
  EXPECT_EQ(DecodeLineBreaks("\\R\\n\\r\\N\\r \\n"), "\\R\\n\\r\\N\\r \\n");
  EXPECT_EQ(DecodeLineBreaks("\\r"), "\\r");
  // A backslash does not protect the sequence after it.
  EXPECT_EQ(DecodeLineBreaks("\\\\r\\n"), "\\\r\n");
  EXPECT_EQ(DecodeLineBreaks("\\r\\r\\n\\n"), "\\r\r\n\\n");
}

TEST(LineBreaks, RoundTripsTextWithoutTheSequence) {
  const std::string text = "C:\\temp\r\nline \"two\"\r\n\r\rend\n";
  EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks(text)), text);
  // A typed \r\n does not survive: it decodes to a real break.
  EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks("x\\r\\ny")), "x\r\ny");
}

TEST(LineBreaks, LongTextIsHandledInOnePass) {
  std::string text;
  for (int i = 0; i < 200000; ++i) text += "ab\r\n";
  const std::string encoded = EncodeLineBreaks(text);
  EXPECT_EQ(encoded.size(), 200000u * 6);
  EXPECT_EQ(DecodeLineBreaks(encoded), text);
}

}  // namespace
}  // namespace tavro
