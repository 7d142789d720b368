#include "qspe/menu.h"

#include <string>

#include "qspe/menu_entries.h"
#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/window_frame.h"

namespace qs {
namespace {
constexpr int kClientWidth = 4230;  // twips
constexpr int kClientHeight = 3420;
constexpr Rect kPictureRect{1560, 840, 1080, 1080};
// Stacking of the pictures from the top; those of the locked entries wait
// hidden until their entries open.
constexpr int kPictureStack[] = {0, 1, 2, 4, 6, 5, 3};
}  // namespace

void FormMain::design() {
  setDesignCaption("QorvexSpecial!! - Ver. Millennium -");
  setDesignBack(Color::rgb(128, 0, 128));
  setDesignSize(outerTwipsOfWidth(kClientWidth), outerTwipsOfHeight(kClientHeight));
  setClientSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);

  const Color white = colors::white;
  place(Label3, "Label3", {"≫", gothic(27.75, true), Align::Left, white, {2880, 1080, 495, 495}});
  place(Label2, "Label2", {"≪", gothic(27.75, true), Align::Right, white, {840, 1080, 495, 495}});
  place(Label1, "Label1", {"QorvexSpecial!!", gothic(27.75, true, true), Align::Centre, white, {0, 120, 4095, 615}});
  place(txtEvent, "txtEvent", {"Select Game!!", gothic(20.25, true), Align::Centre, white, {720, 2280, 2775, 375}});
  // The first 10 ms tick puts the entry's title and colour in.
  place(txtTitle, "txtTitle", {"title", gothic(21.75, true, true), Align::Centre, white, {0, 1920, 4215, 495}});
  place(LabelStar, "LabelStar", {"", gothic(9), Align::Centre, Color::rgb(255, 255, 0), {0, 2880, 4215, 255}});
  place(Label8, "Label8",
        {"Choice:Z             Escape:X", gothic(14.25, true), Align::Centre, white, {0, 2640, 4215, 375}});
  for (int i : kPictureStack) {
    const MenuEntry& entry = kMenuEntries[static_cast<std::size_t>(i)];
    place(imgTitle[static_cast<std::size_t>(i)], "imgTitle", kPictureRect, std::string(entry.picture),
          entry.clearsNeeded == 0, i);
  }
  // Set to 180 pt at load.
  place(txtBG, "txtBG", {"J", wingdings(72), Align::Centre, Color::rgb(64, 0, 64), {0, -240, 4215, 3375}});
  place(Ques[0], "Ques1", kPictureRect, "ques1.bmp");
  place(Ques[1], "Ques2", kPictureRect, "ques2.bmp");

  addTimer(TimeTxt, "TimeTxt", 10, true, [this] { TimeTxt_Timer(); });
  // The title follows the entry shown and nothing else: counting the steps
  // (not the index) tells a step there and back apart, after which a locked
  // entry's cover must come to the front again.
  TimeTxt.setPoll([this] { return std::optional<std::uint64_t>(selectionSteps); });
  addTimer(TimeEvent, "TimeEvent", 250, true, [this] { TimeEvent_Timer(); });
}

// The window is shown by whoever shows the menu (the splash): the show comes
// right after this handler, and the activation, which starts the music, after it.
void FormMain::Form_Load() {
  readScores();
  setMusic("select.mid");
  show();
  txtBG.setFontSize(180);
  gameIndex = 0;
  clearCount = 0;
  leftHeld = false;
  rightHeld = false;
  // Stars and locks come from this one read: games cleared during the run
  // show here only from the next start of the program.
  std::string stars;
  for (std::int16_t flag : scoreRec.clearFlags()) {
    if (!isSet(flag)) continue;
    stars += "★";
    ++clearCount;
  }
  LabelStar.setCaption(stars);
}

void FormMain::Form_Activate() {
  setMusic("select.mid");
  midi().PlayLoop();
}

// Closing the menu window: the menu's copy of the record is the one read at
// program start and may be older than what the game scenes stored since, so
// nothing is written here.
void FormMain::Form_Unload() { stopAndReleaseMidi(); }

void FormMain::Form_KeyDown(int keyCode) {
  switch (keyCode) {
    case vbKeyLeft:
      if (gameIndex > 0 && !leftHeld) {
        --gameIndex;
        ++selectionSteps;
        imgTitle[static_cast<std::size_t>(gameIndex)].zOrder();
        leftHeld = true;
      }
      break;
    case vbKeyRight:
      if (gameIndex < kEntries - 1 && !rightHeld) {
        ++gameIndex;
        ++selectionSteps;
        imgTitle[static_cast<std::size_t>(gameIndex)].zOrder();
        rightHeld = true;
      }
      break;
    case vbKeyX:
      stopAndReleaseMidi();
      playSound("end.wav", SoundMode::Wait);
      app().end();
    case vbKeyZ:
      playSound("choice.wav", SoundMode::Wait);
      SelectGame();
      break;
    default: break;
  }
}

void FormMain::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyLeft) leftHeld = false;
  if (keyCode == vbKeyRight) rightHeld = false;
}

bool FormMain::entryOpen(int index) const {
  return clearCount >= kMenuEntries[static_cast<std::size_t>(index)].clearsNeeded;
}

// A locked entry leaves the menu silent until it is next activated.
void FormMain::SelectGame() {
  midi().StopM();
  if (!entryOpen(gameIndex)) return;
  Form& scene = app().form(kMenuEntries[static_cast<std::size_t>(gameIndex)].scene);
  app().show(scene);
  hide();
}

void FormMain::TimeTxt_Timer() {
  const MenuEntry& entry = kMenuEntries[static_cast<std::size_t>(gameIndex)];
  if (entryOpen(gameIndex)) {
    if (entry.clearsNeeded > 0) imgTitle[static_cast<std::size_t>(gameIndex)].setVisible(true);
    txtTitle.setCaption(entry.title);
  } else {
    Ques[static_cast<std::size_t>(entry.cover)].zOrder();
    txtTitle.setCaption(entry.lockedTitle);
  }
  txtTitle.setFore(entry.colour);
  Label2.setCaption(gameIndex == 0 ? "" : "≪");
  Label3.setCaption(gameIndex == kEntries - 1 ? "" : "≫");
}

void FormMain::TimeEvent_Timer() {
  pushXkey();
  Label2.setVisible(arrowBlink);
  Label3.setVisible(arrowBlink);
  arrowBlink = !arrowBlink;
}

void FormMain::pushXkey() {
  txtEvent.setVisible(!textBlink);
  textBlink = !textBlink;
}

}  // namespace qs
