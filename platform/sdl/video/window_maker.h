#pragma once
#include <SDL.h>

#include <vector>

namespace qs {

// Makes the forms' windows, each with the programs' icon, and puts them away.
//
// Kept for the next (`keepClosed`, on Wayland): SDL 2.26 leaves the
// decoration frame (libdecor) of a destroyed Wayland window alive, and the
// compositor's next word to it (another window being activated, as when the
// menu comes back after a game) reaches freed memory and ends the program.
// A closed window is hidden instead, its frame still valid, and the next
// window to open is that one, given its new title, size and flags. They are
// destroyed together at the end, each hidden first, when nothing more is read
// from the display.
class WindowMaker {
 public:
  explicit WindowMaker(bool keepClosed);
  ~WindowMaker();
  WindowMaker(const WindowMaker&) = delete;
  WindowMaker& operator=(const WindowMaker&) = delete;

  // As SDL_CreateWindow; `flags` must hold SDL_WINDOW_HIDDEN.
  SDL_Window* open(const char* title, int x, int y, int w, int h, Uint32 flags);
  // Destroys the window, or hides it and keeps it for the next open().
  void close(SDL_Window* window);

 private:
  bool keep_;
  SDL_Surface* icon_;
  std::vector<SDL_Window*> kept_;
};

}  // namespace qs
