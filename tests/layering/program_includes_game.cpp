#include "games/strike/form_qs.h"
#include "qspe/menu.h"
