#include "qspe/game_services.h"
