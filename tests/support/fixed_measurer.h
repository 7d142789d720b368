#pragma once
#include <string>
#include <string_view>

#include "runtime/painter.h"

namespace qs::test {

// Text measured without fonts: every character (not byte) 10 px wide, every
// line 20 px high. Printing and its wrapping can be laid out headless; shots
// cannot be drawn.
class FixedMeasurer final : public FormPainter, public TextMeasurer {
 public:
  static constexpr int kCharWidth = 10;
  static constexpr int kLineHeight = 20;

  int textWidth(const Font&, std::string_view text) override {
    int chars = 0;
    for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
    return chars * kCharWidth;
  }
  int lineHeight(const Font&) override { return kLineHeight; }
  TextMeasurer& measurer() override { return *this; }
  bool writePng(const Form&, const std::string&, int, std::string& error) override {
    error = "text is only measured in this run";
    return false;
  }
};

}  // namespace qs::test
