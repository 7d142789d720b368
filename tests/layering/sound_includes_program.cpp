#include "sound/cls_midi.h"
#include "qspe/score_file.h"
