#include "games/forever/story_scene.h"

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/window_frame.h"

namespace qs {
namespace {
constexpr int kClientWidth = 3330;  // twips
constexpr int kClientHeight = 3975;
}  // namespace

void StoryScene::designWindow(std::string caption) {
  setDesignCaption(std::move(caption));
  setDesignBack(colors::black);
  setDesignSize(outerTwipsOfWidth(kClientWidth), outerTwipsOfHeight(kClientHeight));
  setClientSize(kClientWidth / kTwipsPerPixel, kClientHeight / kTwipsPerPixel);
}

LabelDesign StoryScene::storyLine(std::string text, int left, int top, int width) {
  return {std::move(text), gothic(11.25), Align::Centre, colors::white, {left, top, width, 255}, false};
}

LabelDesign StoryScene::pushZPrompt(Rect r) {
  return {"Push Z key", gothic(21.75, true), Align::Centre, colors::white, r, false};
}

void StoryScene::Form_KeyDown(int keyCode) {
  if (keyCode == vbKeyZ) zHeld = true;
}

void StoryScene::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyZ) zHeld = false;
}

}  // namespace qs
