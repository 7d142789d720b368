#include "platform/headless/headless_platform.h"

#include "runtime/form.h"

namespace qs {

void HeadlessPlatform::present(const std::vector<Form*>& forms) {
  for (Form* f : forms) f->clearDirty();
}

bool HeadlessPlatform::shot(Form& f, const std::string& file, std::string& error) {
  if (!painter_) {
    error = "this run has no drawing code";
    return false;
  }
  return painter_->writePng(f, file, 1, error);
}

}  // namespace qs
