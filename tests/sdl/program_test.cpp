#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs the real program with the environment given; standard error is folded
// into the output.
Result runQspe(const std::string& args, const std::string& env = "") {
  std::string cmd = env + QSPE_BINARY + " " + args + " 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string tempPath(const std::string& name) { return ::testing::TempDir() + name; }

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(Program, SplashHandsOverToTheMenuAfterTwoTicks) {
  Result r = runQspe("--headless --until 3100 --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 load FormStartUp\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 show FormStartUp\n"), std::string::npos) << r.out;
  auto shown = r.out.find("3000 show FormMain\n");
  auto gone = r.out.find("3000 unload FormStartUp\n");
  EXPECT_NE(shown, std::string::npos) << r.out;
  EXPECT_NE(gone, std::string::npos) << r.out;
  EXPECT_LT(shown, gone);
  EXPECT_EQ(r.out.find("1500 show FormMain"), std::string::npos);
}

TEST(Program, BadOptionsAndScriptLinesExitWithStatus2AndSayWhere) {
  EXPECT_EQ(runQspe("--bogus").status, 2);
  EXPECT_EQ(runQspe("--headless").status, 2);  // neither a script nor --until
  EXPECT_EQ(runQspe("--headless --until soon").status, 2);
  std::string script = tempPath("bad.script");
  writeFile(script, "# fine\n0 down Z\n\n100 jump Z\n");
  Result r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("line 4"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("load FormStartUp"), std::string::npos) << "nothing runs after a bad line";
  writeFile(script, "100 down Z\n50 up Z\n");
  r = runQspe("--headless --script " + script);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("line 2"), std::string::npos) << r.out;
}

TEST(Program, AHeadlessRunEndsAtTheLastScriptLine) {
  std::string script = tempPath("short.script");
  writeFile(script, "seed 7\n1600 dump\n");
  Result r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1600 dump FormStartUp"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("3000 "), std::string::npos) << r.out;
}

// Each landed scene is drawn with the faces its layout names; a face the
// backend does not know stops the program.
TEST(Program, EveryLandedSceneDrawsWithTheFacesItNames) {
  std::string script = tempPath("faces.script");
  writeFile(script, "100 shot FormStartUp " + tempPath("splash.png") +  // the splash
                        "\n3100 shot FormMain " + tempPath("menu.png") +
                        "\n3200 down Z\n3210 up Z\n3500 shot FormQB " + tempPath("qb.png") +  // entry 0
                        "\n3600 down X\n3610 up X\n5000 down Right\n5010 up Right\n5100 down Right\n5110 up Right\n"
                        "5200 down Right\n5210 up Right\n5300 down Right\n5310 up Right\n"  // entry 4
                        "5400 down Z\n5410 up Z\n5700 shot FormQS " + tempPath("qs.png") + "\n");
  Result r = runQspe("--headless --script " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* shot : {"splash.png", "menu.png", "qb.png", "qs.png"})
    EXPECT_TRUE(std::ifstream(tempPath(shot)).good()) << shot;
}

TEST(Program, WithoutItsFontsTheProgramSaysWhatToInstallAndExitsWith1) {
  std::string conf = tempPath("no-fonts.conf");
  writeFile(conf,
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig><dir>/nonexistent</dir><cachedir>" + tempPath("fc-cache") + "</cachedir></fontconfig>\n");
  Result r = runQspe("--until 100", "FONTCONFIG_FILE=" + conf + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("fonts-ipafont-gothic"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("fonts-symbola"), std::string::npos) << r.out;
}

}  // namespace
