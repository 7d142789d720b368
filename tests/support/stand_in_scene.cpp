#include "support/stand_in_scene.h"

#include <iterator>

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/window_frame.h"

namespace qs {
namespace {
constexpr int kQsOuterWidth = outerTwipsOfWidth(192 * kTwipsPerPixel);
constexpr int kSamOuterWidth = outerTwipsOfWidth(320 * kTwipsPerPixel);
constexpr int kSamOuterHeight = outerTwipsOfHeight(208 * kTwipsPerPixel);

const PendingGame kGames[] = {
    {"FormQB", "QorvexBlast", 2560, 4350, Color::rgb(128, 128, 128), Color::rgb(192, 192, 192), &ScoreRecord::clearQB},
    {"FormQS", "QorvexStrike!", kQsOuterWidth, 3510, Color::rgb(0, 128, 0), Color::rgb(0, 255, 0),
     &ScoreRecord::clearQS},
    {"FormSam", "Qorvex侍", kSamOuterWidth, kSamOuterHeight, Color::rgb(128, 0, 128), colors::white, nullptr,
     TitleMusic::None},
};
}  // namespace

const PendingGame* pendingGames() { return kGames; }
int pendingGameCount() { return static_cast<int>(std::size(kGames)); }

PendingGameScene::PendingGameScene(PendingGame game, GameServices& services)
    : GameScene(game.name, Units::Pixels, services, game.titleMusic), game_(std::move(game)) {}

void PendingGameScene::design() {
  setDesignCaption(game_.caption);
  setDesignBack(game_.back);
  setDesignSize(game_.outerWidth, game_.outerHeight);
  int w = clientPixelsOfWidth(game_.outerWidth), h = clientPixelsOfHeight(game_.outerHeight);
  setClientSize(w, h);
  place(txtTitle, "txtTitle", {game_.caption, gothic(14.25, true, true), Align::Centre, game_.fore, {0, h / 2 - 30, w, 25}});
  place(txtInfo, "txtInfo", {"Quit:X", gothic(11.25, true), Align::Centre, game_.fore, {0, h / 2 + 10, w, 17}});
  addTimer(TimePushX, "TimePushX", 10, true, [this] { TimePushX_Timer(); });
  TimePushX.setPoll([this] { return std::optional<std::uint64_t>(pushX); });
}

void PendingGameScene::Form_Load() {
  pushX = false;
  loadProtocol();
  if (game_.clearFlag) starIfCleared(scoreRec.*game_.clearFlag);
}

void PendingGameScene::Form_Activate() { activateProtocol(); }

void PendingGameScene::Form_Unload() { unloadProtocol(); }

void PendingGameScene::Form_KeyDown(int keyCode) {
  if (keyCode == vbKeyX) pushX = true;
}

void PendingGameScene::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyX) pushX = false;
}

// No game to start: only X is looked at.
void PendingGameScene::TimePushX_Timer() { titleLoop.checkKeys(false, pushX, [] {}); }

}  // namespace qs
