// A scene may not draw for itself: SDL belongs to the backend.
#include <SDL.h>

#include "games/shooter/shooter_core.h"
