#include "scenes.h"

#include <memory>

#include "menu.h"
#include "runtime.h"
#include "splash.h"

namespace qs {

void registerGameScenes(Runtime& rt) {
  rt.addForm(std::make_unique<FormStartUp>());
  rt.addForm(std::make_unique<FormMain>());
}

}  // namespace qs
