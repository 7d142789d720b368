#include "pixel_font.h"

#include <array>
#include <stdexcept>

namespace qs::mediagen {
namespace {

using Rows = std::array<std::string_view, kFontHeight>;

// clang-format off
constexpr Rows kA = {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
constexpr Rows kB = {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."};
constexpr Rows kC = {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."};
constexpr Rows kD = {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."};
constexpr Rows kE = {"#####", "#....", "#....", "####.", "#....", "#....", "#####"};
constexpr Rows kF = {"#####", "#....", "#....", "####.", "#....", "#....", "#...."};
constexpr Rows kG = {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"};
constexpr Rows kH = {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
constexpr Rows kI = {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"};
constexpr Rows kJ = {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."};
constexpr Rows kK = {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"};
constexpr Rows kL = {"#....", "#....", "#....", "#....", "#....", "#....", "#####"};
constexpr Rows kM = {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"};
constexpr Rows kN = {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"};
constexpr Rows kO = {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
constexpr Rows kP = {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."};
constexpr Rows kQ = {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"};
constexpr Rows kR = {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"};
constexpr Rows kS = {".####", "#....", "#....", ".###.", "....#", "....#", "####."};
constexpr Rows kT = {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."};
constexpr Rows kU = {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
constexpr Rows kV = {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."};
constexpr Rows kW = {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."};
constexpr Rows kX = {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"};
constexpr Rows kY = {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."};
constexpr Rows kZ = {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"};
constexpr Rows kLowE = {"....", "....", ".##.", "#..#", "####", "#...", ".###"};
constexpr Rows kLowH = {"#...", "#...", "#.#.", "##.#", "#..#", "#..#", "#..#"};
constexpr Rows kLowI = {"#", ".", "#", "#", "#", "#", "#"};
constexpr Rows kLowR = {"...", "...", "#.#", "##.", "#..", "#..", "#.."};
constexpr Rows kLowT = {".#.", ".#.", "###", ".#.", ".#.", ".#.", "..#"};
constexpr Rows kQuestion = {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."};
constexpr Rows kSpace = {"..", "..", "..", "..", "..", "..", ".."};

constexpr std::array<std::string_view, 14> kSamurai = {
    "...#.....#....",
    "..#......#....",
    "..#...#######.",
    ".##......#....",
    "#.#......#....",
    "..#..#########",
    "..#...........",
    "..#.......#...",
    "..#..#########",
    "..#.......#...",
    "..#...#...#...",
    "..#....#..#...",
    "..#.......#...",
    "..#.....###...",
};
// clang-format on

const std::array<Glyph, 33> kGlyphs = {{
    {U'A', {kA}},    {U'B', {kB}},        {U'C', {kC}},     {U'D', {kD}},    {U'E', {kE}},    {U'F', {kF}},
    {U'G', {kG}},    {U'H', {kH}},        {U'I', {kI}},     {U'J', {kJ}},    {U'K', {kK}},    {U'L', {kL}},
    {U'M', {kM}},    {U'N', {kN}},        {U'O', {kO}},     {U'P', {kP}},    {U'Q', {kQ}},    {U'R', {kR}},
    {U'S', {kS}},    {U'T', {kT}},        {U'U', {kU}},     {U'V', {kV}},    {U'W', {kW}},    {U'X', {kX}},
    {U'Y', {kY}},    {U'Z', {kZ}},        {U'e', {kLowE}},  {U'h', {kLowH}}, {U'i', {kLowI}}, {U'r', {kLowR}},
    {U't', {kLowT}}, {U'?', {kQuestion}}, {U' ', {kSpace}},
}};

const Bitmap kSamuraiBitmap{kSamurai};

}  // namespace

std::span<const Glyph> fontGlyphs() { return kGlyphs; }

const Glyph* findGlyph(char32_t code) {
  for (const Glyph& g : kGlyphs) {
    if (g.code == code) return &g;
  }
  return nullptr;
}

int textWidth(std::u32string_view text) {
  int width = 0;
  for (char32_t c : text) {
    const Glyph* g = findGlyph(c);
    if (g == nullptr) throw std::invalid_argument("character missing from the pixel font");
    width += g->bitmap.width() + kLetterSpacing;
  }
  return text.empty() ? 0 : width - kLetterSpacing;
}

const Bitmap& samuraiKanji() { return kSamuraiBitmap; }

}  // namespace qs::mediagen
