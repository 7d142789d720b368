#include "runtime/runtime.h"
#include "host/options.h"
