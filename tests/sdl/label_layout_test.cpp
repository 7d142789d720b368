#include <gtest/gtest.h>

#include "platform/sdl/label_layout.h"

namespace qs {
namespace {

using Lines = std::vector<std::string>;

// Every byte is 10 pixels wide, so a Japanese character (3 bytes) is 30.
int tenPerByte(std::string_view s) { return static_cast<int>(s.size()) * 10; }

TEST(LabelLayout, CaptionsThatFitStayOnOneLine) {
  EXPECT_EQ(wrapLines("aaa bbb", 70, tenPerByte), (Lines{"aaa bbb"}));
  EXPECT_EQ(wrapLines("aaa bbb ccc", 0, tenPerByte), (Lines{"aaa bbb ccc"})) << "no width, no wrapping";
  EXPECT_EQ(wrapLines("", 50, tenPerByte), Lines{});
}

TEST(LabelLayout, WordsWrapAtBlanksAndTheBlanksAtABreakVanish) {
  EXPECT_EQ(wrapLines("aaa bbb ccc", 75, tenPerByte), (Lines{"aaa bbb", "ccc"}));
  EXPECT_EQ(wrapLines("aaa   bbb ccc", 50, tenPerByte), (Lines{"aaa", "bbb", "ccc"}));
  EXPECT_EQ(wrapLines("  aa bb", 50, tenPerByte), (Lines{"  aa", "bb"})) << "leading blanks are kept";
}

TEST(LabelLayout, AWordWiderThanTheLabelKeepsALineOfItsOwn) {
  EXPECT_EQ(wrapLines("a verylongword b", 50, tenPerByte), (Lines{"a", "verylongword", "b"}));
  EXPECT_EQ(wrapLines("unbreakable", 30, tenPerByte), (Lines{"unbreakable"}));
}

TEST(LabelLayout, LineBreaksStartNewLines) {
  EXPECT_EQ(wrapLines("ab\r\ncd\nef\rgh", 500, tenPerByte), (Lines{"ab", "cd", "ef", "gh"}));
  EXPECT_EQ(wrapLines("a\n\nb", 500, tenPerByte), (Lines{"a", "", "b"}));
  EXPECT_EQ(wrapLines("aaa bbb\nc", 50, tenPerByte), (Lines{"aaa", "bbb", "c"}));
}

TEST(LabelLayout, JapaneseTextBreaksBetweenAnyTwoCharacters) {
  EXPECT_EQ(wrapLines("あいうえお", 70, tenPerByte), (Lines{"あい", "うえ", "お"}));
  EXPECT_EQ(wrapLines("abcdeあ", 55, tenPerByte), (Lines{"abcde", "あ"})) << "a break before a wide character";
  EXPECT_EQ(wrapLines("abcdef", 55, tenPerByte), (Lines{"abcdef"})) << "but not inside a word";
}

}  // namespace
}  // namespace qs
