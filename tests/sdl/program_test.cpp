#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/process.h"

namespace qs::test {
namespace {

// Runs a real program with the environment given ("NAME=value " words).
CommandResult runProgram(const std::string& binary, const std::string& args, const std::string& env = "") {
  return runCommand(env + binary + " " + args);
}

CommandResult runQspe(const std::string& args, const std::string& env = "") {
  return runProgram(QSPE_BINARY, args, env);
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(Program, SplashHandsOverToTheMenuAfterTwoTicks) {
  CommandResult r = runQspe("--headless --until 3100 --trace -");
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

// Anything that cannot run, or could run for ever, exits with 2 before
// anything runs, and says why in one short line.
TEST(Program, BadOptionsAndScriptsExitWithStatus2AndSayWhyInShort) {
  const std::string script = tempFile("bad.script");
  const std::string huge(100000, 'A');
  struct Case {
    std::string args;  // "SCRIPT" stands for the script file below
    std::string text;  // the script, when there is one
    std::string said;
  };
  const Case cases[] = {
      {"--bogus", "", "unknown option --bogus"},
      {"--headless", "", "needs --script or --until"},
      {"--headless --until soon", "", "whole number"},
      {"--headless --until 2147483648", "", "--until takes a time in ms from 0 to 2147483647"},
      {"--headless --script SCRIPT", "# nothing but a comment\n\n", "needs --until or a script with events"},
      {"--headless --script " + ::testing::TempDir(), "", "cannot read the script"},
      {"--headless --until 10 --dir SCRIPT", "0 dump\n", "is not a folder"},
      {"--headless --until 10 --dir " + tempFile("missing"), "", "is not a folder"},
      {"--headless --script SCRIPT --trace -", "# fine\n0 down Z\n\n100 jump Z\n", "line 4: unknown event \"jump\""},
      {"--headless --script SCRIPT", "100 down Z\n50 up Z\n", "line 2"},
      {"--headless --script SCRIPT", "2147483648 dump\n", "line 1: time \"2147483648\" is too late"},
      {"--headless --script SCRIPT", "0 down " + huge + "\n", "line 1: unknown key \"AAAAAAAAAAAAAAAAAAAAAAAA...\""},
      {"--headless --script SCRIPT", "0 down Z\x01\n", "unknown key \"Z\\x01\""},
  };
  for (const Case& c : cases) {
    std::string args = c.args;
    if (auto at = args.find("SCRIPT"); at != std::string::npos) args.replace(at, 6, script);
    writeFile(script, c.text);
    CommandResult r = runQspe(args);
    EXPECT_EQ(r.status, 2) << c.args << "\n" << r.out;
    EXPECT_NE(r.out.find(c.said), std::string::npos) << c.args << "\n" << r.out;
    EXPECT_EQ(r.out.find("load FormStartUp"), std::string::npos) << "nothing runs: " << c.args;
    EXPECT_LT(r.out.size(), 200u) << c.args;
  }
}

TEST(Program, HelpAndVersionRunNothing) {
  for (const char* binary : {QSPE_BINARY, QSCR_BINARY}) {
    std::string program = std::filesystem::path(binary).filename().string();
    CommandResult r = runProgram(binary, "--headless --version --trace -");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, program + " " + QSPE_VERSION + "\n");
    r = runProgram(binary, "--help /S");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("--screen WxH"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(" load "), std::string::npos) << r.out;
  }
}

TEST(Program, AHeadlessRunEndsAtTheLastScriptLine) {
  std::string script = tempFile("short.script");
  writeFile(script, "seed 7\n1600 dump\n");
  CommandResult r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1600 dump FormStartUp"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("3000 "), std::string::npos) << r.out;
}

// Each landed scene is drawn with the faces its layout names; a face the
// backend does not know stops the program.
TEST(Program, EveryLandedSceneDrawsWithTheFacesItNames) {
  std::string script = tempFile("faces.script");
  writeFile(script, "100 shot FormStartUp " + tempFile("splash.png") +  // the splash
                        "\n3100 shot FormMain " + tempFile("menu.png") +
                        "\n3200 down Z\n3210 up Z\n3500 shot FormQB " + tempFile("qb.png") +  // entry 0
                        "\n3600 down X\n3610 up X\n5000 down Right\n5010 up Right\n5100 down Right\n5110 up Right\n"
                        "5200 down Right\n5210 up Right\n5300 down Right\n5310 up Right\n"  // entry 4
                        "5400 down Z\n5410 up Z\n5700 shot FormQS " + tempFile("qs.png") + "\n");
  CommandResult r = runQspe("--headless --script " + script);
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* shot : {"splash.png", "menu.png", "qb.png", "qs.png"})
    EXPECT_TRUE(std::ifstream(tempFile(shot)).good()) << shot;
}

// The words after the options reach the saver (see its headless tests for what each does).
TEST(Program, TheSaverTakesTheWordsOfItsCommandLineAndCoversTheScreenItIsGiven) {
  std::string locks = tempFile("saver-locks"), script = tempFile("saver.script");
  std::filesystem::create_directories(locks);
  writeFile(script, "0 dump\n");
  CommandResult r = runProgram(QSCR_BINARY, "--headless --screen 800x600 --script " + script + " --trace - /S",
                               "XDG_RUNTIME_DIR=" + locks + " ");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 dump FormQScr caption=\"QorvexSaver Ver 1.00\" visible=1 width=12000 height=9000 "
                       "back=#000000\n"),
            std::string::npos)
      << r.out;
}

TEST(Program, WithoutItsFontsTheProgramSaysWhatToInstallAndExitsWith1) {
  std::string conf = tempFile("no-fonts.conf");
  writeFile(conf,
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig><dir>/nonexistent</dir><cachedir>" + tempFile("fc-cache") + "</cachedir></fontconfig>\n");
  CommandResult r =
      runQspe("--until 100", "FONTCONFIG_FILE=" + conf + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("fonts-ipafont-gothic"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("fonts-symbola"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace qs::test
