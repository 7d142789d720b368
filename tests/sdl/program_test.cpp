#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "support/process.h"

namespace fs = std::filesystem;

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
      {"-h", "", "unexpected word -h"},
      {"--headless --until 10 stray", "", "unexpected word stray"},
      {"--headless", "", "needs --script or --until"},
      {"--headless --until soon", "", "whole number"},
      {"--headless --until 2147483648", "", "--until takes a time in ms from 0 to 2147483647"},
      {"--scale 13 --fullscreen", "", "--scale takes a whole number from 0 to 12"},
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

// A bad command line ends with the short usage line; the saver's takes words.
TEST(Program, ABadCommandLineEndsWithTheUsageLine) {
  struct Case {
    const char* binary;
    std::string args;
    std::string usage;
  };
  const Case cases[] = {
      {QSPE_BINARY, "--bogus", "Usage: Qspe [OPTION]... (--help lists them)\n"},
      {QSPE_BINARY, "--headless --until 10 /S", "Usage: Qspe [OPTION]... (--help lists them)\n"},
      {QSCR_BINARY, "--bogus /S", "Usage: QScr [OPTION]... [WORD]... (--help lists them)\n"},
      {QSCR_BINARY, "--scale 2 /S", "Usage: QScr [OPTION]... [WORD]... (--help lists them)\n"},  // no window scale
  };
  for (const Case& c : cases) {
    CommandResult r = runProgram(c.binary, c.args);
    EXPECT_EQ(r.status, 2) << c.args << "\n" << r.out;
    EXPECT_TRUE(r.out.ends_with(c.usage)) << c.args << "\n" << r.out;
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
    for (const char* option : {"--headless", "--script FILE", "--record FILE", "--trace FILE", "--seed N",
                               "--dir DIR", "--until MS", "--screen WxH", "--help", "--version"})
      EXPECT_NE(r.out.find("  " + std::string(option) + " "), std::string::npos) << option << "\n" << r.out;
    // The window's options are the game's, a screen-saver host's words the saver's.
    const bool game = program == "Qspe";
    EXPECT_EQ(r.out.find("  --scale N ") != std::string::npos, game) << r.out;
    EXPECT_EQ(r.out.find("  --fullscreen ") != std::string::npos, game) << r.out;
    EXPECT_EQ(r.out.find("  --window-id ID ") != std::string::npos, !game) << r.out;
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

// Where a copy of the program keeps its scores: an installed one (media under
// ../share/qspe) in the data home, made as needed and without a word; one run
// from its own folder beside itself; --dir in the folder it names.
// Where an installed program's media are, from its folder's parent: share/qspe
// as a plain install has it, share/games/qspe as Debian's.
const std::string kInstalledMedia = (fs::path("bin") / QSPE_MEDIA_FROM_BIN).lexically_normal().string();

TEST(Program, ScoresLiveInTheDataHomeWhenInstalledAndBesideTheProgramOtherwise) {
  struct Case {
    const char* name;
    std::string media;   // where the media are, under PLACE
    std::string args;    // "PLACE" stands for the case's folder
    std::string env;     // likewise
    std::string scores;  // where Qspe.dat appears, under PLACE
  };
  const Case cases[] = {
      {"installed", kInstalledMedia, "", "XDG_DATA_HOME=PLACE/data HOME=PLACE/home", "data/qspe/Qspe.dat"},
      {"installed, no XDG_DATA_HOME", kInstalledMedia, "", "XDG_DATA_HOME= HOME=PLACE/home",
       "home/.local/share/qspe/Qspe.dat"},
      {"installed, --dir", "mine", "--dir PLACE/mine", "XDG_DATA_HOME=PLACE/data HOME=PLACE/home", "mine/Qspe.dat"},
      {"portable", "bin", "", "XDG_DATA_HOME=PLACE/data HOME=PLACE/home", "bin/Qspe.dat"},
  };
  auto place = [](std::string text, const std::string& dir) {
    for (auto at = text.find("PLACE"); at != std::string::npos; at = text.find("PLACE")) text.replace(at, 5, dir);
    return text;
  };
  for (const Case& c : cases) {
    const TempDir dir;
    const fs::path root = dir.path();
    fs::create_directories(root / "bin");
    if (std::string_view(c.name).starts_with("installed")) fs::create_directories(root / kInstalledMedia);
    fs::copy_file(QSPE_BINARY, root / "bin" / "Qspe");
    const fs::path media = root / c.media;
    fs::create_directories(media);
    for (const auto& file : fs::directory_iterator(QSPE_PROGRAM_DIR)) {
      const std::string ext = file.path().extension().string();
      if (ext == ".wav" || ext == ".mid" || ext == ".bmp") fs::copy_file(file, media / file.path().filename());
    }

    CommandResult r = runProgram((root / "bin" / "Qspe").string(), place(c.args, dir.path()) + " --headless --until 3100",
                          place(c.env, dir.path()) + " ");
    EXPECT_EQ(r.status, 0) << c.name << "\n" << r.out;
    EXPECT_EQ(r.out, "") << c.name;  // the media found, and nothing said about the scores
    EXPECT_TRUE(fs::is_regular_file(root / c.scores)) << c.name;
    int found = 0;
    for (const auto& file : fs::recursive_directory_iterator(root)) found += file.path().filename() == "Qspe.dat";
    EXPECT_EQ(found, 1) << c.name;
  }
}

namespace {

// The width of a PNG file, from its header.
int pngWidth(const std::string& path) {
  Bytes b = readBytes(path);
  return b.size() < 24 ? 0 : b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19];
}

}  // namespace

// Every window of a live run opens at the scale chosen last, remembered under
// $XDG_CONFIG_HOME; 0 goes back to the largest that fits the screen.
TEST(Program, TheScaleChosenLastIsKeptForTheNextRuns) {
  const TempDir config;
  const std::string env = "XDG_CONFIG_HOME=" + config.path() + " SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ";
  const std::string script = tempFile("scale.script"), splash = tempFile("splash-scale.png"),
                    menu = tempFile("menu-scale.png");
  writeFile(script, "100 shot FormStartUp " + splash + "\n3100 shot FormMain " + menu + "\n");
  auto widths = [&](const std::string& scale) {
    CommandResult r = runQspe(scale + " --script " + script + " --until 3200", env);
    EXPECT_EQ(r.status, 0) << r.out;
    return std::array<int, 2>{pngWidth(splash), pngWidth(menu)};
  };
  auto once = widths("--scale 1");
  auto thrice = widths("--scale 3");
  EXPECT_EQ(thrice[0], 3 * once[0]);
  EXPECT_EQ(thrice[1], 3 * once[1]);  // the menu as well
  EXPECT_EQ(widths(""), thrice);
  // The largest that fits the dummy driver's 1024 x 768 screen, for every window.
  auto fit = widths("--scale 0");
  EXPECT_EQ(fit[0] / once[0], fit[1] / once[1]);
  EXPECT_GE(fit[1], once[1]);
  EXPECT_LE(fit[1], 1024);
  EXPECT_EQ(widths(""), fit);
  // A pipe at the settings' path neither holds the start nor is written into.
  const std::string settings = config.path() + "/qspe/settings";
  std::filesystem::remove(settings);
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  CommandResult r = runQspe("--scale 1 --script " + script + " --until 3200", env + "timeout -k 5 20 ");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(pngWidth(splash), once[0]);
}

}  // namespace qs::test
