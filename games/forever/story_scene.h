#pragma once
#include <string>

#include "runtime/form.h"

namespace qs {

// What the intro and the epilogue share: the black window of one size, the
// story lines' look, the "Push Z key" prompt and the held Z.
class StoryScene : public Form {
 public:
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 protected:
  explicit StoryScene(std::string name) : Form(std::move(name)) {}
  void designWindow(std::string caption);
  // A white story line, 255 twips high.
  static LabelDesign storyLine(std::string text, int left, int top, int width);
  static LabelDesign pushZPrompt(Rect r);

  bool zHeld = false;
};

}  // namespace qs
