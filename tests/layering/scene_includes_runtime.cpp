#include "games/shooter/shooter_core.h"
#include "qspe/game_scene.h"
#include "runtime/runtime.h"
#include "sound/cls_midi.h"
