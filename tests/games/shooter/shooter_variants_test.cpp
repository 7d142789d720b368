// What the turned shooters have of their own: their layouts, and the few
// steps that no row of the shared table covers.
#include "shooter_rows.h"

namespace qs::test {
namespace {

// A scene's design as its first dump shows it, just after load: the window,
// then every element inside the field, topmost first.
struct Layout {
  const char* form;
  ShooterCore& (*add)(HeadlessRun&);
  const char* window;
  std::vector<std::string> elements;  // "Name caption=... align=..."
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.form; }

const std::string kUi = "font=\"MS P Gothic\"", kSym = "font=\"Wingdings\"";

const Layout kLayouts[] = {
    {"FormQBL",
     addScene<FormQBL>,
     "caption=\"QorvexBlast LEVEL\" visible=1 width=4050 height=2850",
     {"Window visible=1 left=0 top=0 width=264 height=165 back=#0000C0",
      "Enemy(4)", "Enemy(3)", "Enemy(2)", "Enemy(1)",
      "Enemy(0) caption=\"B\" visible=1 left=264 top=0 width=33 height=33 fore=#00FFFF " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "Beam caption=\"*>\" visible=1 left=0 top=168 width=33 height=33 fore=#00FFFF " + kUi +
          " size=24 bold=1 italic=0 align=centre",
      "Myship caption=\">\" visible=0 left=8 top=64 width=33 height=33 fore=#00FFFF " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "txtEvent caption=\"Push Z or X\" visible=1 left=48 top=120 width=161 height=33 fore=#8080FF " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtTitle caption=\"QorvexBlast LEVEL\" visible=1 left=0 top=32 width=265 height=33 fore=#8080FF " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtInfo caption=\"Start:Z     Quit:X\" visible=1 left=48 top=144 width=161 height=25 fore=#8080FF " + kUi +
          " size=14.25 bold=1 italic=0 align=centre",
      "txtScore caption=\"\" visible=1 left=0 top=0 width=153 height=33 fore=#8080FF " + kUi +
          " size=21.75 bold=0 italic=0 align=left",
      "txtHighScore caption=\"HighScore:\" visible=1 left=144 top=0 width=73 height=17 fore=#8080FF " + kUi +
          " size=11.25 bold=0 italic=0 align=left",
      "txtHisc caption=\"10000\" visible=1 left=208 top=0 width=49 height=17 fore=#8080FF " + kUi +
          " size=11.25 bold=0 italic=0 align=right",
      "Bgtxt caption=\"J\" visible=1 left=48 top=32 width=161 height=97 fore=#000080 " + kSym +
          " size=72 bold=1 italic=0 align=centre",
      "txtRest caption=\"\" visible=1 left=0 top=136 width=33 height=33 fore=#8080FF " + kUi +
          " size=21.75 bold=0 italic=0 align=left"}},
    {"FormQBF",
     addScene<FormQBF>,
     "caption=\"QorvexBlast FINAL\" visible=1 width=4100 height=2850",
     {"Window visible=1 left=0 top=0 width=268 height=165 back=#C0C000",
      "Enemy(4)", "Enemy(3)", "Enemy(2)", "Enemy(1)",
      "Enemy(0) caption=\"@\" visible=1 left=-32 top=0 width=33 height=33 fore=#404000 " + kSym +
          " size=27.75 bold=1 italic=0 align=right",
      "Beam caption=\"Z\" visible=1 left=0 top=168 width=33 height=33 fore=#404000 " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "Myship caption=\">\" visible=0 left=224 top=64 width=33 height=33 fore=#404000 " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "txtEvent caption=\"Push Z or X\" visible=1 left=48 top=120 width=161 height=33 fore=#FFFF80 " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtTitle caption=\"QorvexBlast FINAL\" visible=1 left=0 top=32 width=265 height=33 fore=#FFFF80 " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtInfo caption=\"Start:Z     Quit:X\" visible=1 left=48 top=144 width=161 height=25 fore=#FFFF80 " + kUi +
          " size=14.25 bold=1 italic=0 align=centre",
      "txtScore caption=\"\" visible=1 left=112 top=0 width=153 height=33 fore=#FFFF80 " + kUi +
          " size=21.75 bold=0 italic=0 align=right",
      "txtHighScore caption=\"HighScore:\" visible=1 left=0 top=0 width=73 height=17 fore=#FFFF80 " + kUi +
          " size=11.25 bold=0 italic=0 align=left",
      "txtHisc caption=\"10000\" visible=1 left=64 top=0 width=49 height=17 fore=#FFFF80 " + kUi +
          " size=11.25 bold=0 italic=0 align=right",
      "Bgtxt caption=\"J\" visible=1 left=48 top=32 width=161 height=97 fore=#808000 " + kSym +
          " size=72 bold=1 italic=0 align=centre",
      "txtRest caption=\"\" visible=1 left=232 top=136 width=33 height=33 fore=#FFFF80 " + kUi +
          " size=21.75 bold=0 italic=0 align=right"}},
    {"FormQRB",
     addScene<FormQRB>,
     "caption=\"QorvexReBirth\" visible=1 width=2560 height=4350",
     {"Window visible=1 left=0 top=0 width=165 height=265 back=#C00000",
      "Enemy(4)", "Enemy(3)", "Enemy(2)", "Enemy(1)",
      "txtTitle caption=\"Qorvex\" visible=1 left=0 top=40 width=161 height=33 fore=#FF8080 " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtReBirth caption=\"ReBirth\" visible=1 left=0 top=48 width=161 height=57 fore=#400000 " + kUi +
          " size=36 bold=1 italic=0 align=centre",
      "Enemy(0) caption=\"G\" visible=1 left=0 top=264 width=33 height=33 fore=#FFC0C0 " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "Beam caption=\"''\" visible=1 left=168 top=232 width=33 height=33 fore=#FFC0C0 " + kSym +
          " size=24 bold=1 italic=0 align=centre",
      "Myship caption=\">\" visible=0 left=64 top=8 width=33 height=33 fore=#FFC0C0 " + kSym +
          " size=27.75 bold=1 italic=0 align=centre",
      "txtHisc caption=\"10000\" visible=1 left=112 top=248 width=49 height=17 fore=#FF8080 " + kUi +
          " size=11.25 bold=0 italic=0 align=right",
      "txtHighScore caption=\"HighScore:\" visible=1 left=48 top=248 width=73 height=17 fore=#FF8080 " + kUi +
          " size=11.25 bold=0 italic=0 align=left",
      "txtEvent caption=\"Push Z or X\" visible=1 left=0 top=184 width=161 height=33 fore=#FF8080 " + kUi +
          " size=21.75 bold=1 italic=0 align=centre",
      "txtInfo caption=\"Start:Z     Quit:X\" visible=1 left=0 top=208 width=161 height=25 fore=#FF8080 " + kUi +
          " size=14.25 bold=1 italic=0 align=centre",
      "txtScore caption=\"\" visible=1 left=0 top=120 width=153 height=33 fore=#FF8080 " + kUi +
          " size=21.75 bold=0 italic=0 align=left",
      "Bgtxt caption=\"J\" visible=1 left=0 top=80 width=161 height=97 fore=#800000 " + kSym +
          " size=72 bold=1 italic=0 align=centre",
      "txtRest caption=\"\" visible=1 left=128 top=8 width=33 height=33 fore=#FF8080 " + kUi +
          " size=21.75 bold=0 italic=0 align=right"}},
};

class SceneLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(SceneLayout, LoadsWithItsLayout) {
  const Layout& l = GetParam();
  HeadlessRun run;
  l.add(run);
  auto t = run.run(l.form, "0 dump\n");
  const std::string form = l.form;
  EXPECT_EQ(t.dumpOf(form).find(form + " " + l.window), 0u) << t.dumpOf(form);
  std::vector<std::string> order;
  for (const std::string& e : l.elements) order.push_back(e.substr(0, e.find(' ')));
  EXPECT_EQ(t.dumpOrder(form), order);
  for (const std::string& e : l.elements) {
    if (e.find(' ') == std::string::npos) continue;
    const std::string path = form + "." + e.substr(0, e.find(' '));
    EXPECT_EQ(t.dumpOf(path), form + "." + e);
  }
  EXPECT_NE(t.dumpOf(form + ".TimeEnemy").find("interval=1000 enabled=0"), std::string::npos);
}

// "ReBirth" goes with the rest of the title when a game starts, and is not
// shown again until the scene is loaded again.
TEST(FormQRB, AGameStartEmptiesBothLinesOfTheTitle) {
  HeadlessRun run({.until = 9000});
  run.add<FormQRB>();
  run.add<FormMain>();
  auto t = run.run("FormQRB", "0 down Z\n30 up Z\n");
  EXPECT_TRUE(t.inOrder({"10 set FormQRB.txtEvent caption \"\"", "10 set FormQRB.txtTitle caption \"\"",
                         "10 set FormQRB.txtReBirth caption \"\"", "10 set FormQRB.TimeEnemy enabled 1"}));
  EXPECT_EQ(t.first("set FormQRB.txtTitle caption \"Game Over\""), 8010);
  EXPECT_EQ(t.count("txtReBirth"), 1);
}

INSTANTIATE_TEST_SUITE_P(Shooters, SceneLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.form); });

}  // namespace
}  // namespace qs::test
