#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/color.h"

namespace qs {

class Form;
class Container;
class LabelArray;

enum class Align { Left, Right, Centre };
// Units of the positions inside a container: twips (15 to a pixel) or pixels.
enum class Units { Twips, Pixels };

inline constexpr int kTwipsPerPixel = 15;

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct Font {
  std::string face;  // as the scene names it: "MS P Gothic", "Wingdings", ...
  double size = 9;   // points
  bool bold = false;
  bool italic = false;
};

// Something placed on a form or in a box: a label, an image, a box or a shape.
class Element {
 public:
  enum class Kind { Label, Image, Box, Shape };

  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;
  virtual ~Element() = default;

  Kind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }  // -1 outside a label array
  std::string path() const;             // "FormQB.Enemy(3)"
  Form* form() const { return form_; }
  Container* parent() const { return parent_; }

  int left() const { return rect_.left; }
  int top() const { return rect_.top; }
  int width() const { return rect_.width; }
  int height() const { return rect_.height; }
  Rect rect() const { return rect_; }
  bool visible() const { return visible_; }

  void setLeft(int v);
  void setTop(int v);
  void setWidth(int v);
  void setHeight(int v);
  void setVisible(bool v);
  void move(int left, int top);
  void move(int left, int top, int width, int height);
  // Brings the element to the top of its container's stacking.
  void zOrder();

  // Where the element lies in its form's client area, in pixels (a pixel
  // wider on every side, so rounding never leaves a stale edge).
  Rect clientArea() const;

  // "P=V P=V ..." of every property, for dump lines.
  virtual std::string describe() const;
  // Shown or hidden, it leaves every pixel as it is: a label with no caption
  // and no background, a picture box with no picture.
  virtual bool drawsNothing() const { return false; }

 protected:
  explicit Element(Kind k) : kind_(k) {}
  // Records a property change: a trace line while the form is loaded, and a redraw.
  void changed(std::string_view prop, const std::string& value);
  // The place the element leaves must be redrawn too: called before it moves.
  void leaving();
  void copyBaseFrom(const Element& other);

 private:
  friend class Container;
  // One side of the element's box moved or resized, traced as prop.
  void setSide(int Rect::*side, int v, std::string_view prop);
  Kind kind_;
  std::string name_;
  int index_ = -1;
  Form* form_ = nullptr;
  Container* parent_ = nullptr;
  Rect rect_;
  bool visible_ = true;
};

struct LabelDesign {
  std::string caption;
  Font font;
  Align align = Align::Left;
  Color fore = colors::black;
  Rect rect;
  bool visible = true;
};

class Label : public Element {
 public:
  Label() : Element(Kind::Label) {}

  const std::string& caption() const { return caption_; }
  // The caption the layout gives it (the one array copies are made with).
  const std::string& designCaption() const { return designCaption_; }
  const Font& font() const { return font_; }
  Align align() const { return align_; }
  Color fore() const { return fore_; }
  Color back() const { return back_; }
  bool transparent() const { return transparent_; }

  void setCaption(std::string_view v);
  void setFontFace(std::string_view v);
  void setFontSize(double v);
  void setFontBold(bool v);
  void setFontItalic(bool v);
  void setFore(Color v);
  void setBack(Color v);
  void setTransparent(bool v);
  void setAlign(Align v);

  std::string describe() const override;
  bool drawsNothing() const override { return transparent_ && caption_.empty(); }
  void copyFrom(const Label& other);
  void applyDesign(const LabelDesign& s);

 private:
  std::string caption_;
  std::string designCaption_;
  Font font_;
  Align align_ = Align::Left;
  Color fore_ = colors::black;
  Color back_ = colors::white;
  bool transparent_ = true;
};

// A picture from the program directory, stretched to its rectangle.
class Image : public Element {
 public:
  Image() : Element(Kind::Image) {}
  const std::string& picture() const { return picture_; }
  void setPicture(std::string_view file);
  std::string describe() const override;
  bool drawsNothing() const override { return picture_.empty(); }

 private:
  friend class Container;
  std::string picture_;
};

// A rectangle outline.
class Shape : public Element {
 public:
  Shape() : Element(Kind::Shape) {}
  Color border() const { return border_; }
  void setBorder(Color c);
  std::string describe() const override;

 private:
  friend class Container;
  Color border_ = colors::black;
};

// Text printed onto a form or box (the screen saver's typewriter).
struct PrintedRun {
  std::string text;
  int x = 0, y = 0;  // pixels inside the surface
  Color fore;
  Font font;
};

class Box;

// Text width and line height in pixels at scale 1: the printing needs them.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual int textWidth(const Font& font, std::string_view text) = 0;
  virtual int lineHeight(const Font& font) = 0;
};

// A form or a box: holds elements, stacked topmost first, and can be printed on.
class Container {
 public:
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;
  virtual ~Container() = default;

  Units units() const { return units_; }
  const std::vector<Element*>& children() const { return children_; }
  Form* containerForm() const { return form_; }

  // Design-time placing: each element goes below those placed before it,
  // so a scene places its elements in the order of its layout table.
  Label& place(Label& l, std::string name, const LabelDesign& look, int index = -1);
  Image& place(Image& i, std::string name, Rect r, std::string picture, bool visible = true, int index = -1);
  Shape& place(Shape& s, std::string name, Rect r, Color border);
  Box& place(Box& b, std::string name, Rect r, Color back, Units inner);
  // Element 0 of a label array.
  Label& place(LabelArray& a, std::string name, const LabelDesign& look);

  // Printing.
  const Font& printFont() const { return printFont_; }
  Color printFore() const { return printFore_; }
  void setPrintFont(const Font& f) { printFont_ = f; }
  void setPrintFontSize(double size);
  void setPrintFore(Color c) { printFore_ = c; }
  int currentX() const { return currentX_; }
  int currentY() const { return currentY_; }
  void setCurrentX(int x) { currentX_ = x; }
  // Prints text at the print position; with a line break the position moves
  // to the start of the next line, without one it moves past the text.
  void print(std::string_view text, bool newline = true);
  void cls();
  const std::vector<PrintedRun>& printed() const { return printed_; }
  virtual std::string printPath() const = 0;
  // Where the printing lies on the form, in client pixels: its origin is
  // this area's top-left corner and it is clipped to the area.
  virtual Rect printSurface() const = 0;

 protected:
  Container(Units u, Form* f) : units_(u), form_(f) {}
  void setUnits(Units u) { units_ = u; }
  void setForm(Form* f) { form_ = f; }
  void clearChildren();
  void resetPrinting();
  void insertAbove(Element* existing, Element* added);

 private:
  friend class Element;
  friend class LabelArray;
  void adopt(Element& e, std::string name, int index);
  void toTop(Element* e);
  void damagePrinted(int x, int y, int width, int height);

  Units units_;
  Form* form_;
  std::vector<Element*> children_;
  Font printFont_{"MS P Gothic", 9};
  Color printFore_ = colors::black;
  int currentX_ = 0, currentY_ = 0;
  std::vector<PrintedRun> printed_;
};

// A panel that holds and clips its own elements.
class Box : public Element, public Container {
 public:
  Box() : Element(Kind::Box), Container(Units::Pixels, nullptr) {}
  Color back() const { return back_; }
  void setBack(Color c);
  std::string describe() const override;
  std::string printPath() const override { return path(); }
  Rect printSurface() const override;

 private:
  friend class Container;
  Color back_ = colors::white;
};

// Labels sharing one name with an index: element 0 comes from the design,
// the others are created at run time with load(i).
class LabelArray {
 public:
  Label& operator[](int i);
  const Label& operator[](int i) const;
  bool exists(int i) const { return items_.count(i) != 0; }
  // Creates element i as a hidden copy of element 0; it takes element 0's
  // place in the stacking, just above it.
  void load(int i);
  Label& first();  // element 0, for the design

 private:
  friend class Form;
  void reset();  // back to element 0 alone
  std::map<int, std::unique_ptr<Label>> items_;
};

}  // namespace qs
