// Small text helpers shared by the entry model and the stores.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// The editor buffers hold at most this many bytes.
inline constexpr std::size_t kBufferSize = 255;

// The longest whole-character prefix of at most kBufferSize bytes; may
// split a CR LF pair.
std::string CutToBuffer(std::string_view text);

// The lines between CR LF, lone CR and lone LF: one more than the breaks.
std::vector<std::string_view> Lines(std::string_view text);
// The same as rows show them: a trailing break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Equality without regard to the case of ASCII letters, as the registry
// compares names; double-byte characters must match exactly.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavro
