#include "qspe/pending_intro_scene.h"

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/window_frame.h"

namespace qs {
namespace {
constexpr int kClientWidth = 3330;  // twips
constexpr int kClientHeight = 3975;
}  // namespace

void PendingIntroScene::design() {
  setDesignCaption("Emergency!!!");
  setDesignBack(colors::black);
  setDesignSize(outerTwipsOfWidth(kClientWidth), outerTwipsOfHeight(kClientHeight));
  setClientSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
  place(txtCaution, "txtCaution",
        {"Caution!!", gothic(36, true, true), Align::Centre, Color::rgb(255, 0, 0), {0, 0, 3135, 735}});
  place(txtPushKey, "txtPushKey", {"Push Z key", gothic(21.75, true), Align::Centre, colors::white, {120, 3360, 3135, 495}});
  addTimer(TimePushZ, "TimePushZ", 10, true, [this] { TimePushZ_Timer(); });
  TimePushZ.setPoll([this] { return std::optional<std::uint64_t>(zHeld); });
}

void PendingIntroScene::Form_Load() { zHeld = false; }

void PendingIntroScene::Form_Unload() { app().show(app().form("FormQF")); }

void PendingIntroScene::Form_KeyDown(int keyCode) {
  if (keyCode == vbKeyZ) zHeld = true;
}

void PendingIntroScene::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyZ) zHeld = false;
}

void PendingIntroScene::TimePushZ_Timer() {
  if (zHeld) unload();
}

}  // namespace qs
