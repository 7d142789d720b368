#include "app/qspe_program.h"

#include "games/forever/form_qf.h"
#include "games/samurai/form_sam.h"
#include "games/shooter/form_qb.h"
#include "games/shooter/form_qbf.h"
#include "games/shooter/form_qbl.h"
#include "games/shooter/form_qrb.h"
#include "games/strike/form_qs.h"
#include "qspe/menu.h"
#include "qspe/pending_game_scene.h"
#include "qspe/pending_intro_scene.h"
#include "qspe/splash.h"
#include "runtime/runtime.h"

namespace qs {

QspeProgram::QspeProgram(Runtime& rt, AudioDevice& audio)
    : sound_(rt, audio, rt.programName()), scores_(rt, rt.programName()), services_{sound_, scores_} {
  rt.addForm(std::make_unique<FormStartUp>());
  rt.addForm(std::make_unique<FormMain>(services_));
  rt.addForm(std::make_unique<FormQB>(services_));
  rt.addForm(std::make_unique<FormQBL>(services_));
  rt.addForm(std::make_unique<FormQBF>(services_));
  rt.addForm(std::make_unique<FormQRB>(services_));
  rt.addForm(std::make_unique<FormQS>(services_));
  rt.addForm(std::make_unique<FormQF>(services_));
  rt.addForm(std::make_unique<FormSam>(services_));

  // Every menu entry whose scene is not above opens a stand-in that keeps the
  // game-scene protocol.
  for (int i = 0; i < pendingGameCount(); ++i) {
    const PendingGame& game = pendingGames()[i];
    if (!rt.hasForm(game.name)) rt.addForm(std::make_unique<PendingGameScene>(game, services_));
  }
  if (!rt.hasForm("FormFirst")) rt.addForm(std::make_unique<PendingIntroScene>());
}

std::optional<std::string> QspeProgram::entry(const std::vector<std::string>&) { return "FormStartUp"; }

std::unique_ptr<Program> makeQspe(Runtime& rt, AudioDevice& audio) { return std::make_unique<QspeProgram>(rt, audio); }

}  // namespace qs
