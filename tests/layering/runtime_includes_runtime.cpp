#include "runtime/runtime.h"

#include "runtime/form.h"
#include "runtime/script.h"
