#pragma once
#include <SDL.h>

#include <string>

namespace qs {

// A window's title, in UTF-8. On X11, SDL writes the title a taskbar shows
// (_NET_WM_NAME) only at the window's making unless the C library's locale
// is a UTF-8 one, which a program that never calls setlocale does not have:
// a title changed later to anything beyond ASCII kept its old name. There
// it is written here, on SDL's connection.
void setWindowTitle(SDL_Window* window, const std::string& title);

}  // namespace qs
