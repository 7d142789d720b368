#include "platform/sdl/text/label_layout.h"

#include <algorithm>

#include "platform/sdl/text/glyph_map.h"

namespace qs {
namespace {

// Wide characters: a line may break before and after each of them.
bool wide(char32_t cp) { return cp >= 0x2E80 && !(cp >= 0xFF61 && cp <= 0xFF9F); }

bool blank(char c) { return c == ' ' || c == '\t'; }

// A place where a line may end (`end`) and the next begin (`next`).
struct Break {
  std::size_t end, next;
};

std::vector<Break> breaksOf(std::string_view s) {
  std::vector<Break> out;
  std::size_t i = 0;
  bool prevWide = false;
  while (i < s.size()) {
    if (blank(s[i])) {
      std::size_t j = i;
      while (j < s.size() && blank(s[j])) ++j;
      if (i > 0) out.push_back({i, j});
      i = j;
      prevWide = false;
      continue;
    }
    std::size_t len = 1;
    bool w = wide(decodeUtf8(s, i, len));
    if (i > 0 && (w || prevWide) && !blank(s[i - 1])) out.push_back({i, i});
    prevWide = w;
    i += len;
  }
  out.push_back({s.size(), s.size()});
  return out;
}

void wrapParagraph(std::string_view para, int maxWidth, const WidthOf& widthOf, int keepWhole,
                   std::vector<std::string>& lines) {
  if (maxWidth <= 0 || widthOf(para) <= std::max(maxWidth, keepWhole)) {
    lines.emplace_back(para);
    return;
  }
  while (!para.empty()) {
    std::vector<Break> breaks = breaksOf(para);
    // The last break whose line fits; the first one when none does.
    const Break* chosen = &breaks.front();
    for (const Break& b : breaks) {
      if (b.end == 0) continue;
      if (widthOf(para.substr(0, b.end)) > maxWidth) break;
      chosen = &b;
    }
    lines.emplace_back(para.substr(0, chosen->end));
    para.remove_prefix(chosen->next);
  }
}

// One side of placeInk: the ink's start and length along it.
void fitSpan(int edge, int size, bool narrow, int& start, int& length) {
  if (length <= size) {
    start = std::clamp(start, edge, edge + size - length);
  } else if (narrow && length <= narrowingLimit(size)) {
    start = edge;
    length = size;
  }
}

}  // namespace

std::vector<std::string> wrapLines(std::string_view text, int maxWidth, const WidthOf& widthOf, int keepWhole) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  while (true) {
    std::size_t nl = text.find_first_of("\r\n", start);
    wrapParagraph(text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start), maxWidth,
                  widthOf, keepWhole, lines);
    if (nl == std::string_view::npos) break;
    start = nl + (text.compare(nl, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

int alignedLeft(Align a, int left, int width, int lineWidth) {
  switch (a) {
    case Align::Right: return left + width - lineWidth;
    case Align::Centre: return left + (width - lineWidth) / 2;
    default: return left;
  }
}

Rect placeInk(const Rect& label, int lineTop, Align a, int lineWidth, const Rect& ink, bool onlyLine, bool narrow) {
  Rect r{alignedLeft(a, label.left, label.width, lineWidth) + ink.left, lineTop + ink.top, ink.width, ink.height};
  fitSpan(label.left, label.width, narrow, r.left, r.width);
  if (onlyLine) fitSpan(label.top, label.height, narrow, r.top, r.height);
  return r;
}

}  // namespace qs
