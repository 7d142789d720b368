#include "qspe/menu.h"
#include "games/strike/form_qs.h"
