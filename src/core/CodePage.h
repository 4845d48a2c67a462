// The ANSI code page's characters. In a double-byte code page (932, 936,
// 949, 950) a lead byte and the byte after it are one character, and that
// second byte may be any byte from 0x40 up, backslash and "|" included; so
// text is walked, cut and compared by whole characters, never by bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavro {

// Whether a byte starts a two-byte character.
using LeadByteTest = bool (*)(unsigned char byte);

// The process's code page: single-byte until the platform sets its test;
// tests set the tables of other code pages.
void SetLeadByteTest(LeadByteTest test);
LeadByteTest CurrentLeadByteTest();
bool IsLeadByte(unsigned char byte);

// The size in bytes of the character that starts at text[i]: 2 for a lead
// byte followed by another byte, else 1.
inline std::size_t CharSize(std::string_view text, std::size_t i) {
  return (i + 1 < text.size() &&
          IsLeadByte(static_cast<unsigned char>(text[i])))
             ? 2
             : 1;
}

// The longest prefix of whole characters that holds at most maxBytes.
std::string_view WholePrefix(std::string_view text, std::size_t maxBytes);

// The text as a box may quote it: when longer than maxBytes, its start and
// its end in whole characters around "...", at most maxBytes in all.
std::string Abbreviated(std::string_view text, std::size_t maxBytes);

// Where the file name of a path starts: after its last backslash or slash
// that is a character of its own; 0 when it has none.
std::size_t FileNameStart(std::string_view path);

// The text with its single-byte ASCII letters lower-cased; the bytes of
// double-byte characters stay as they are.
std::string LowerAscii(std::string_view text);

}  // namespace tavro
