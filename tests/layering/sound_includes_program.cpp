#include "qspe/score_file.h"
#include "sound/cls_midi.h"
