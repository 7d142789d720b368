#include "runtime/runtime.h"
#include "sound/sound_system.h"
