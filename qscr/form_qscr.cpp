#include "qscr/form_qscr.h"

#include <string_view>

#include "qscr/qscr_program.h"
#include "runtime/fonts.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

// clang-format off
const std::array<SaverCharacter, 10> kSaverCharacters = {{
    {">", "最新鋭書体戦闘機 XAF-19X 「TAPE」", "公国軍航空宇宙機動艦隊が誇る最新鋭戦術戦闘機。まだ試作段階だが、その比類なき制空戦闘能力は他の航空機の追随を許さない。"},
    {"A", "デコピナス軍　２等兵", "デコピナス軍航空艦隊所属。目潰し攻撃（反則ワザ）の使用が許可されている。別に２等兵だから指が２本立っているわけではない。"},
    {"B", "デコピナス軍　３等兵", "デコピナス軍航空艦隊所属。まだ下っ端なので、敵への攻撃はデコピンしか許されていない。上昇志向が強く、貪欲。"},
    {"@", "デコピナス軍　特殊部隊「ウィズペン」", "デコピナス軍航空特殊部隊所属。握っているペンで叩いたりつついたり刺したりぐりぐりしたりする。ちなみにビームは出ない。"},
    {"H", "デコピナス軍　精鋭部隊「後ろ指さされ隊」", "デコピナス軍隠密精鋭部隊所属。密かに敵の背後に回り込み、後ろ指をさしてロックオンしてしまう。突き指を患っている者が多い。"},
    {"I", "デコピナス軍　機動要塞「ＨＡＮＤ」", "デコピナス軍航空艦隊の機動要塞。装甲が厚く強力な火器を装備している。量産型に、能力を抑えた「ＦＩＮＧＥＲ」がある。"},
    {"C", "デコピナス軍　１等兵", "デコピナス軍航空艦隊所属。照明のスイッチだろうが自爆装置のボタンだろうがそこいらのボタンを押しまくる。通称「サム」。"},
    {"J", "デコピナス星皇帝　デコピナス273世", "デコピン星人を統括する皇帝だが、デコピナス星人ではない。全宇宙征服の野望を持ったニッコリーナ星人である。"},
    {"<", "最新鋭書体戦闘機改 XAF-19S 「FLOPPY」", "公国軍航空宇宙機動艦隊が誇る最新鋭戦術戦闘機。対デコピン星人用に開発された反重力エネルギー砲を装備している。"},
    {"R", "隕石", "隕石。主成分はゲルマニッコリウム。デコピナス皇帝が持ちこんだ小惑星群ではないかと言われている。とげとげしている。"},
}};
// clang-format on

namespace {

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Length of a UTF-8 text in characters.
int characterCount(std::string_view text) {
  int n = 0;
  for (char c : text) n += !continuationByte(c);
  return n;
}

// Character `pos` (1-based) of a UTF-8 text.
std::string_view characterAt(std::string_view text, int pos) {
  std::size_t start = 0;
  for (int seen = 0; start < text.size(); ++start)
    if (!continuationByte(text[start]) && ++seen == pos) break;
  std::size_t end = start + 1;
  while (end < text.size() && continuationByte(text[end])) ++end;
  return text.substr(start, end - start);
}

}  // namespace

void FormQScr::design() {
  setDesignCaption(kSaverTitle);
  coverScreen();
  setDesignBack(colors::black);
  setPrintFore(colors::white);
  place(Display, "Display", {0, 0, 3000, 6000}, colors::black, Units::Pixels);
  Display.setPrintFont(Font{kFixedFace, 21.75});
  Display.setPrintFore(colors::white);
  place(LabelName, "LabelName",
        {"QorvexBlastシリーズ　キャラクター紹介", gothic(27.75), Align::Left, colors::white, {120, 240, 9600, 615}});
  addTimer(TimeMsg, "TimeMsg", 100, true, [this] { TimeMsg_Timer(); });
  addTimer(TimeChange, "TimeChange", 20000, true, [this] { TimeChange_Timer(); });
  addTimer(TimeSaver, "TimeSaver", 50, true, [this] { TimeSaver_Timer(); });
}

void FormQScr::Form_Load() {
  app().randomize();
  quitFlag = false;
  // The desktop's screen-saving setting is left as it is: on Linux the
  // program that started this saver owns it, and the display may still blank.
  if (!hosted_) {
    app().showCursor(false);
    setTopmost();
  }
  ScreenSize screen = app().screen();
  int width = screen.width * kTwipsPerPixel, height = screen.height * kTwipsPerPixel;
  setWidth(width);
  setHeight(height);
  setPrintFont(wingdings(450));  // the characters' giant glyphs are printed on the window
  LabelName.setWidth(width);
  Display.move(width - 4000, height - 6000, 3000, 6000);
  show();
  print(kSaverCharacters[0].glyph);  // the name line keeps its design caption until the first change
  for (std::size_t i = 0; i < charDesc.size(); ++i) charDesc[i] = kSaverCharacters[i].description;
  msgPos = 0;
}

// Every 20 s, the first 20 s after the start.
void FormQScr::TimeChange_Timer() {
  cls();
  // 0 and 9 come half as often as the others.
  charIndex = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 9));
  const SaverCharacter& c = kSaverCharacters[charIndex];
  print(c.glyph);
  LabelName.setCaption(c.name);
  msgText = charDesc[charIndex];
  msgPos = 1;
  Display.cls();
}

// The typewriter: one character every 100 ms. Each is first printed in the
// box's background colour, an invisible trial that shows where it would end;
// one that reaches the right edge goes to a new line, in the middle of a
// word if need be.
void FormQScr::TimeMsg_Timer() {
  if (msgPos < 1) return;
  if (msgPos > characterCount(msgText)) {
    msgPos = -1;
    return;
  }
  std::string_view ch = characterAt(msgText, msgPos);
  Color fore = Display.printFore();
  int x = Display.currentX();
  Display.setPrintFore(Display.back());
  Display.print(ch, false);
  int innerWidth = Display.width() / kTwipsPerPixel;  // the box is placed in twips and printed in pixels
  if (Display.currentX() >= innerWidth) Display.print("");
  else Display.setCurrentX(x);
  Display.setPrintFore(fore);
  Display.print(ch, false);
  ++msgPos;
}

void FormQScr::Form_KeyDown(int) {
  if (!hosted_) quitFlag = true;
}

void FormQScr::Form_Click() {
  if (!hosted_) quitFlag = true;
}

// No distance threshold: a move of one pixel ends the saver.
void FormQScr::Form_MouseMove(int x, int y) {
  if (hosted_) return;
  if (!moveSeen) {
    moveSeen = true;
    lastX = x;
    lastY = y;
  } else if (x != lastX || y != lastY) {
    quitFlag = true;
  }
}

void FormQScr::TimeSaver_Timer() {
  if (quitFlag) unload();
}

void FormQScr::Form_Unload() {
  quitFlag = false;
  app().showCursor(true);
  app().end();
}

}  // namespace qs
