#include "runtime/form.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
