#include "app/qspe_program.h"

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
  rt.addForm(std::make_unique<FormFirst>());
  rt.addForm(std::make_unique<FormEnd>());
}

std::optional<std::string> QspeProgram::entry(const std::vector<std::string>&) { return "FormStartUp"; }

std::unique_ptr<Program> makeQspe(Runtime& rt, AudioDevice& audio) { return std::make_unique<QspeProgram>(rt, audio); }

}  // namespace qs
