#include "platform/sdl/text/glyph_map.h"

#include <array>
#include <cmath>
#include <utility>

namespace qs {
namespace {

// Character code -> pictograph, after the classic symbol layout.
constexpr std::array<std::pair<char, char32_t>, 61> kSymbols{{
    {'!', 0x270F},    // pencil
    {'\'', 0x1F56F},  // candle
    {'<', 0x1F5AB},   // floppy disk
    {'>', 0x2707},    // tape drive
    {'@', 0x270D},    // writing hand
    {'A', 0x270C},    // victory hand
    {'B', 0x1F44C},   // OK hand
    {'C', 0x1F44D},   // thumbs up
    {'D', 0x1F44E},   // thumbs down
    {'E', 0x261C},    // pointing left
    {'F', 0x261E},    // pointing right
    {'G', 0x261D},    // pointing up
    {'H', 0x1F447},   // pointing down
    {'I', 0x270B},    // raised hand
    {'J', 0x263A},    // smiling face
    {'K', 0x1F610},   // neutral face
    {'L', 0x2639},    // frowning face
    {'M', 0x1F4A3},   // bomb
    {'N', 0x2620},    // skull and crossbones
    {'O', 0x2690},    // white flag
    {'P', 0x1F3F1},   // pennant
    {'Q', 0x2708},    // aeroplane
    {'R', 0x263C},    // sun with rays
    {'S', 0x1F4A7},   // droplet
    {'T', 0x2744},    // snowflake
    {'U', 0x271D},    // latin cross
    {'V', 0x271E},    // shadowed cross
    {'W', 0x1F548},   // celtic cross
    {'X', 0x2720},    // maltese cross
    {'Y', 0x2721},    // star of David
    {'Z', 0x262A},    // star and crescent
    {'a', 0x264B},    // cancer
    {'b', 0x264C},    // leo
    {'c', 0x264D},    // virgo
    {'d', 0x264E},    // libra
    {'e', 0x264F},    // scorpius
    {'f', 0x2650},    // sagittarius
    {'g', 0x2651},    // capricorn
    {'h', 0x2652},    // aquarius
    {'i', 0x2653},    // pisces
    {'j', 0x1F670},   // script ligature et
    {'k', 0x1F675},   // swash ampersand
    {'l', 0x25CF},    // black circle
    {'m', 0x1F53E},   // lower right shadowed white circle
    {'n', 0x25A0},    // black square
    {'o', 0x25A1},    // white square
    {'p', 0x1F790},   // bold white square
    {'q', 0x2751},    // lower right shadowed white square
    {'r', 0x2752},    // upper right shadowed white square
    {'s', 0x2B27},    // black medium lozenge
    {'t', 0x29EB},    // black lozenge
    {'u', 0x25C6},    // black diamond
    {'v', 0x2756},    // black diamond minus white X
    {'w', 0x2B25},    // black medium diamond
    {'x', 0x2327},    // x in a rectangle box
    {'y', 0x2BB9},    // up arrowhead in a rectangle box
    {'z', 0x2318},    // place of interest sign
    {'{', 0x2740},    // white florette
    {'[', 0x262F},    // yin yang
    {'^', 0x2648},    // aries
    {'_', 0x2649},    // taurus
}};

}  // namespace

char32_t symbolFor(char c) {
  for (const auto& [code, cp] : kSymbols)
    if (code == c) return cp;
  return static_cast<unsigned char>(c);
}

void appendUtf8(std::string& out, char32_t cp) {
  auto put = [&](unsigned v) { out.push_back(static_cast<char>(v)); };
  if (cp < 0x80) {
    put(cp);
  } else if (cp < 0x800) {
    put(0xC0 | (cp >> 6));
    put(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    put(0xE0 | (cp >> 12));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  } else {
    put(0xF0 | (cp >> 18));
    put(0x80 | ((cp >> 12) & 0x3F));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  }
}

char32_t decodeUtf8(std::string_view s, std::size_t i, std::size_t& len) {
  auto b = static_cast<unsigned char>(s[i]);
  len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  if (i + len > s.size()) len = 1;
  if (len == 1) return b;
  char32_t cp = b & (0x7F >> len);
  for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  return cp;
}

std::string symbolText(std::string_view caption) {
  std::string out;
  for (char c : caption) {
    char32_t cp = symbolFor(c);
    // A byte past ASCII is not a symbol code: keep the caption's own bytes.
    if (static_cast<unsigned char>(c) >= 0x80) out.push_back(c);
    else appendUtf8(out, cp);
  }
  return out;
}

// Worked out at scale 1 and multiplied, so a picture fits a label of that
// size at every scale.
int symbolBox(int pixels, int scale) { return static_cast<int>(std::lround(0.9 * pixels)) * scale; }

std::vector<char> mappedSymbolCodes() {
  std::vector<char> codes;
  for (const auto& [code, cp] : kSymbols) codes.push_back(code);
  return codes;
}

}  // namespace qs
