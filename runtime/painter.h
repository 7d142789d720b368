#pragma once
#include <string>

#include "runtime/element.h"

namespace qs {

class Form;

// Draws forms: the live windows and the PNG shots use the same code.
class FormPainter {
 public:
  virtual ~FormPainter() = default;
  // Writes the form's client area, drawn at the given scale, as a PNG file.
  virtual bool writePng(const Form& f, const std::string& file, int scale, std::string& error) = 0;
  virtual TextMeasurer& measurer() = 0;
};

}  // namespace qs
