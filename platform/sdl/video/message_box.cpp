#include "platform/sdl/video/message_box.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "runtime/form.h"

namespace qs {
namespace {

// The look of a desktop's box, in pixels at scale 1: the text on white, the
// button on a grey strip below it, at the strip's right.
constexpr int kPadX = 24, kPadY = 22, kMinWidth = 200;
constexpr int kStripHeight = 42, kButtonWidth = 75, kButtonHeight = 23, kButtonRight = 12;
constexpr Color kStrip = Color::rgb(0xF0, 0xF0, 0xF0), kButton = Color::rgb(0xE1, 0xE1, 0xE1);
constexpr Color kButtonBorder = Color::rgb(0x00, 0x78, 0xD7);  // the default button's
constexpr Uint32 kQuitCheckMs = 250;

// The box as a form, so that the scenes' own drawing draws it.
class BoxForm final : public Form {
 public:
  BoxForm(TextMeasurer& m, const std::string& text) : Form("MessageBox", Units::Pixels) {
    const Font font{"MS P Gothic", 9};
    const int lineHeight = std::max(1, m.lineHeight(font));
    int textWidth = 0, lines = 0;
    for (std::size_t at = 0; at <= text.size(); ++lines) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      textWidth = std::max(textWidth, m.textWidth(font, std::string_view(text).substr(at, end - at)));
      at = end + 1;
    }
    const int width = std::max(kMinWidth, textWidth + 2 * kPadX);
    const int stripTop = lines * lineHeight + 2 * kPadY;
    setClientSize(width, stripTop + kStripHeight);
    setDesignBack(colors::white);
    button_ = Rect{width - kButtonRight - kButtonWidth, stripTop + (kStripHeight - kButtonHeight) / 2, kButtonWidth,
                   kButtonHeight};
    // Topmost first.
    const Rect okLine{button_.left, button_.top + (kButtonHeight - lineHeight) / 2, kButtonWidth, lineHeight};
    place(ok_, "OK", LabelDesign{"OK", font, Align::Centre, colors::black, okLine});
    place(border_, "Border", button_, kButtonBorder);
    place(face_, "Button", button_, kButton, Units::Pixels);
    place(strip_, "Strip", Rect{0, stripTop, width, kStripHeight}, kStrip, Units::Pixels);
    // A little wider than its longest line, so that its own wrapping keeps the lines as given.
    place(text_, "Text",
          LabelDesign{text, font, Align::Left, colors::black, Rect{kPadX, kPadY, textWidth + 2, lines * lineHeight}});
  }
  void design() override {}
  bool onButton(int x, int y) const {
    return x >= button_.left && x < button_.left + button_.width && y >= button_.top &&
           y < button_.top + button_.height;
  }

 private:
  Rect button_;
  Label ok_, text_;
  Shape border_;
  Box face_, strip_;
};

bool isAnswerKey(SDL_Keycode k) {
  return k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_SPACE || k == SDLK_ESCAPE;
}

}  // namespace

bool showMessageBox(SdlPainter& painter, int scale, SDL_Window* parent, const std::string& title,
                    const std::string& text, const std::function<bool()>& quitAsked) {
  scale = std::max(1, scale);
  BoxForm box(painter.measurer(), text);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        box.clientWidth() * scale, box.clientHeight() * scale, SDL_WINDOW_HIDDEN);
  if (!window) {
    SDL_Log("cannot open a message box: %s", SDL_GetError());
    return false;
  }
  // Drawn as the scenes' windows are (see SdlPlatform::formShown).
  const Uint32 how = SDL_GetHint(SDL_HINT_RENDER_DRIVER) ? 0 : SDL_RENDERER_SOFTWARE;
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, how);
  if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  if (parent) SDL_SetWindowModalFor(window, parent);
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  const Uint32 id = SDL_GetWindowID(window);
  std::set<SDL_Keycode> pressed;  // answer keys pressed in the box, answering when released
  bool answered = false, quit = false, due = true, onOk = false;
  while (!answered && !quit) {
    if (due && renderer) {
      painter.paint(renderer, box, scale);
      SDL_RenderPresent(renderer);
    }
    due = false;
    SDL_Event ev;
    const bool got = SDL_WaitEventTimeout(&ev, kQuitCheckMs);
    quit = quitAsked();
    if (!got) continue;
    switch (ev.type) {
      case SDL_QUIT: quit = true; break;
      case SDL_KEYDOWN:
        if (ev.key.windowID == id && isAnswerKey(ev.key.keysym.sym)) pressed.insert(ev.key.keysym.sym);
        break;
      case SDL_KEYUP: answered = pressed.count(ev.key.keysym.sym) != 0; break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const bool hit = ev.button.windowID == id && ev.button.button == SDL_BUTTON_LEFT &&
                         box.onButton(ev.button.x / scale, ev.button.y / scale);
        if (ev.type == SDL_MOUSEBUTTONDOWN) onOk = hit;
        else answered = onOk && hit;
        break;
      }
      case SDL_WINDOWEVENT:
        if (ev.window.windowID != id) break;
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) answered = true;
        else due = ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
        break;
      default: break;
    }
  }
  if (renderer) SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  painter.release();
  return quit;
}

}  // namespace qs
