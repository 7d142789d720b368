#include "host/options.h"
#include "runtime/runtime.h"
