#include "runtime/runtime.h"
#include "qspe/menu.h"
