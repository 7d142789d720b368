#include "scenes.h"

#include <memory>

#include "games/shooter/form_qb.h"
#include "games/strike/form_qs.h"
#include "menu.h"
#include "pending_game_scene.h"
#include "pending_intro_scene.h"
#include "runtime.h"
#include "splash.h"

namespace qs {

void registerGameScenes(Runtime& rt) {
  rt.addForm(std::make_unique<FormStartUp>());
  rt.addForm(std::make_unique<FormMain>());

  // real game scenes
  rt.addForm(std::make_unique<FormQB>());
  rt.addForm(std::make_unique<FormQS>());

  // Every menu entry whose scene is not above opens a stand-in that keeps the
  // game-scene protocol.
  for (int i = 0; i < pendingGameCount(); ++i) {
    const PendingGame& game = pendingGames()[i];
    if (!rt.hasForm(game.name)) rt.addForm(std::make_unique<PendingGameScene>(game));
  }
  if (!rt.hasForm("FormFirst")) rt.addForm(std::make_unique<PendingIntroScene>());
}

}  // namespace qs
