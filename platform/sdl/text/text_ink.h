#pragma once
// Rendered text kept cropped to its ink.
//
// A line of text is as tall as the font and as wide as its advances; a glyph
// that fills a window leaves whole bands of it transparent. Only the pixels
// that are not fully transparent are kept, with their place in the line:
// drawing the rest would leave what is under it as it was.
#include <SDL.h>

namespace qs {

// The smallest rectangle of an ARGB8888 surface holding every pixel whose
// alpha is not 0; empty (w == 0) when there is none.
SDL_Rect inkOf(const SDL_Surface* line);

// Copies the pixels of `ink` to `pixels`, ARGB8888 rows `pitch` bytes apart.
void copyInk(const SDL_Surface* line, const SDL_Rect& ink, void* pixels, int pitch);

}  // namespace qs
