#include "qspe/menu.h"
#include "runtime/runtime.h"
