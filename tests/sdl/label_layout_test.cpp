#include "platform/sdl/text/label_layout.h"

#include <gtest/gtest.h>

namespace qs {
namespace {

// Every byte is 10 pixels wide, so a Japanese character (3 bytes) is 30.
int tenPerByte(std::string_view s) { return static_cast<int>(s.size()) * 10; }

// Words wrap at blanks, which vanish at a break; a word wider than the label
// keeps a line of its own; Japanese breaks between any two characters.
TEST(LabelLayout, CaptionsWrapAtBlanksLineBreaksAndBetweenJapaneseCharacters) {
  using Lines = std::vector<std::string>;
  const std::tuple<const char*, int, Lines> cases[] = {
      // clang-format off
      {"aaa bbb", 70, {"aaa bbb"}},                 {"aaa bbb ccc", 0, {"aaa bbb ccc"}},  // no width, no wrapping
      {"", 50, {}},                                 {"aaa bbb ccc", 75, {"aaa bbb", "ccc"}},
      {"aaa   bbb ccc", 50, {"aaa", "bbb", "ccc"}}, {"  aa bb", 50, {"  aa", "bb"}},  // leading blanks are kept
      {"a verylongword b", 50, {"a", "verylongword", "b"}}, {"ab\r\ncd\nef\rgh", 500, {"ab", "cd", "ef", "gh"}},
      {"a\n\nb", 500, {"a", "", "b"}},              {"aaa bbb\nc", 50, {"aaa", "bbb", "c"}},
      {"あいうえお", 70, {"あい", "うえ", "お"}},   {"abcdeあ", 55, {"abcde", "あ"}},
      {"abcdef", 55, {"abcdef"}},  // but not inside a word
      // clang-format on
  };
  for (const auto& [caption, width, lines] : cases)
    EXPECT_EQ(wrapLines(caption, width, tenPerByte), lines) << caption << " in " << width;
}

}  // namespace
}  // namespace qs
