#include "TypingPlan.h"

#include <iterator>

#include "CodePage.h"
#include "Registration.h"
#include "Text.h"

namespace tavro {

namespace {
bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }

constexpr std::size_t kQuotedChars = 40;

// By StopReason, from WindowGone on.
constexpr const char* kWhy[] = {
    "its window closed",
    "another window is in front",
    "the focus left the field",
    "you pressed Esc",
    "you pressed the hotkey",
    "TavroType was turned off",
    "Windows let no more keys through to that program",
    "the program stopped taking keys",
    "the field took no more characters",
};
static_assert(std::size(kWhy) ==
                  static_cast<std::size_t>(StopReason::FieldFull),
              "a stop reason without its words");

const char* Why(StopReason reason) {
  const auto i = static_cast<std::size_t>(reason);
  return i > 0 && i <= std::size(kWhy) ? kWhy[i - 1] : "";
}
}  // namespace

FieldKind KindOfField(const FieldFacts& facts) {
  if (facts.edit)
    return facts.editMultiLine ? FieldKind::MultiLineEdit
                               : FieldKind::SingleLine;
  if (facts.accessibleMultiLine)
    return *facts.accessibleMultiLine ? FieldKind::MultiLineOther
                                      : FieldKind::SingleLine;
  return facts.automationDocument ? FieldKind::MultiLineOther
                                  : FieldKind::SingleLine;
}

std::u16string TypingPlan(std::string_view content, bool multiLine,
                          Widen widen) {
  std::u16string plan;
  bool first = true;
  for (std::string_view line : Lines(content)) {
    if (!multiLine && line.empty()) continue;
    if (!first) plan += multiLine ? u'\n' : u' ';
    first = false;
    // A control byte is never the second byte of a double-byte character.
    for (char16_t unit : widen(line)) {
      if (unit == u'\t')
        plan += multiLine ? u'\t' : u' ';
      else if (unit >= 0x20 && unit != 0x7F)
        plan += unit;
    }
  }
  return plan;
}

std::vector<std::u16string_view> TypingPieces(std::u16string_view plan,
                                              std::size_t maxUnits) {
  std::vector<std::u16string_view> pieces;
  while (!plan.empty()) {
    std::size_t size =
        std::min(plan.size(), std::max<std::size_t>(maxUnits, 2));
    if (size < plan.size() && IsHighSurrogate(plan[size - 1])) --size;
    pieces.push_back(plan.substr(0, size));
    plan.remove_prefix(size);
  }
  return pieces;
}

std::size_t CharacterCount(std::u16string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    count += !(IsHighSurrogate(text[i]) && i + 1 < text.size());
  return count;
}

Growth FieldGrowth(std::u16string_view typed, FieldKind kind) {
  Growth growth{typed.size(), typed.size()};
  if (kind == FieldKind::SingleLine) return growth;
  for (char16_t unit : typed) growth.most += unit == u'\n';
  return growth;
}

std::string StopMessage(const TypingReport& report) {
  return "TavroType stopped typing \"" +
         Abbreviated(report.title, kQuotedChars) + "\" into " +
         Abbreviated(report.program, 2 * kQuotedChars) + " after " +
         std::to_string(report.typed) + " of " + std::to_string(report.total) +
         " characters: " + Why(report.reason) + ".";
}

std::string PickerLabel(int index, std::string_view title) {
  std::string name = MenuKeyName(index, title);
  std::string label;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t size = CharSize(name, i);
    if (name[i] == '&' && size == 1) label += '&';
    label.append(name, i, size);
    i += size;
  }
  // Before the last digit of "00." to "09.", which becomes the access key.
  if (index >= 0 && index <= 9) label.insert(1, 1, '&');
  return label;
}

PickedEntry Picked(const std::vector<TSection>& entries, std::size_t index) {
  PickedEntry picked{entries.at(index).Title, 0};
  for (std::size_t i = 0; i < index; ++i)
    picked.occurrence += entries[i].Title == picked.title;
  return picked;
}

std::optional<std::size_t> Find(const std::vector<TSection>& entries,
                                const PickedEntry& picked) {
  int seen = 0;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].Title == picked.title && seen++ == picked.occurrence)
      return i;
  return std::nullopt;
}

}  // namespace tavro
