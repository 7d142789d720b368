#include "app/qspe_program.h"

#include <stdexcept>
#include <string>
#include <type_traits>

#include "games/forever/form_end.h"
#include "games/forever/form_first.h"
#include "games/forever/form_qf.h"
#include "games/samurai/form_sam.h"
#include "games/shooter/form_qb.h"
#include "games/shooter/form_qbf.h"
#include "games/shooter/form_qbl.h"
#include "games/shooter/form_qrb.h"
#include "games/strike/form_qs.h"
#include "qspe/menu.h"
#include "qspe/menu_entries.h"
#include "qspe/splash.h"
#include "runtime/runtime.h"

namespace qs {

namespace {

template <class Scene>
std::unique_ptr<Form> make(GameServices& services) {
  if constexpr (std::is_constructible_v<Scene, GameServices&>) return std::make_unique<Scene>(services);
  else return std::make_unique<Scene>();
}

// Every scene a menu entry opens, by the name its entry gives, and the scenes
// those lead to: the story "Emergency!!!" opens Forever, whose clear opens the epilogue.
struct SceneMaker {
  std::string_view name;
  std::unique_ptr<Form> (*make)(GameServices&);
};
constexpr SceneMaker kScenes[] = {
    {"FormQB", make<FormQB>},   {"FormQBL", make<FormQBL>}, {"FormQBF", make<FormQBF>},
    {"FormQRB", make<FormQRB>}, {"FormQS", make<FormQS>},   {"FormFirst", make<FormFirst>},
    {"FormSam", make<FormSam>}, {"FormQF", make<FormQF>},   {"FormEnd", make<FormEnd>},
};

}  // namespace

QspeProgram::QspeProgram(Runtime& rt, AudioDevice& audio)
    : sound_(rt, audio, rt.programName()), scores_(rt, rt.programName()), services_{sound_, scores_} {
  rt.addForm(std::make_unique<FormStartUp>());
  rt.addForm(std::make_unique<FormMain>(services_));
  for (const SceneMaker& scene : kScenes) rt.addForm(scene.make(services_));
  // A menu entry without its scene would fail only when chosen.
  for (const MenuEntry& entry : kMenuEntries)
    if (!rt.hasForm(entry.scene)) throw std::logic_error("no scene " + std::string(entry.scene));
}

std::optional<std::string> QspeProgram::entry(const std::vector<std::string>&) { return "FormStartUp"; }

std::unique_ptr<Program> makeQspe(Runtime& rt, AudioDevice& audio) { return std::make_unique<QspeProgram>(rt, audio); }

}  // namespace qs
