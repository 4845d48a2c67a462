// Finding an entry by typing: which Titles hold what was typed, best first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// Text as searches compare it: lower case and, where the platform knows
// them, accents dropped (the platform's rules; tests use their own).
using Fold = std::u16string (*)(std::u16string_view text);

// The indexes of the Titles that hold the query, both folded: first those
// where it starts a word, then those where it starts inside one, each in
// list order. An empty query keeps every Title in list order. Titles are
// UTF-16, so a match never starts or ends inside a double-byte character.
std::vector<std::size_t> SearchTitles(
    const std::vector<std::u16string>& foldedTitles,
    std::u16string_view foldedQuery);

}  // namespace tavro
