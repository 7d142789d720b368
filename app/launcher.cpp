#include "app/launcher.h"

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "host/options.h"
#include "host/program_dirs.h"
#include "platform/sdl/backend.h"
#include "runtime/program.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "sound/audio_device.h"

namespace qs {
namespace {

std::string executableDir() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string p(buf, static_cast<std::size_t>(n));
  auto slash = p.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : p.substr(0, slash);
}

void printUsageLine(const ProgramInfo& program, std::FILE* to) {
  std::fprintf(to, "Usage: %s [OPTION]...%s (--help lists them)\n", program.name.c_str(),
               program.words.empty() ? "" : " [WORD]...");
}

void printUsage(const ProgramInfo& program) {
  std::printf("Usage: %s [OPTION]...%s\n", program.name.c_str(), program.words.empty() ? "" : " [WORD]...");
  std::printf(
      "  --headless      no window, no audio output; time jumps to the next timer or script line\n"
      "  --script FILE   take input events from FILE\n"
      "  --record FILE   write every input event of the run to FILE, as a script\n"
      "  --trace FILE    write the trace to FILE (- for standard output)\n"
      "  --seed N        seed of the random generator\n"
      "  --dir DIR       program directory: media files and the score file (default: the\n"
      "                  program's own folder; installed, ../share/qspe and the data home)\n"
      "  --until MS      end the run at time MS\n"
      "  --screen WxH    screen size of a headless run (default 1024x768)\n");
  if (program.options.window)
    std::printf(
        "  --scale N       window scale of a live run, 1 to 12; 0 the largest that fits the screen\n"
        "                  (default: the last one chosen, remembered in $XDG_CONFIG_HOME/qspe/settings)\n"
        "  --fullscreen    start in full screen (Alt+Enter or F11 toggles it; remembered too)\n"
        "  --keys          the keys and pad buttons in force (key.Z=space, pad.X=b,back\n"
        "                  and the like in the settings file choose them)\n");
  std::printf(
      "  --help          this text\n"
      "  --version       the program's version\n"
      "The display: X11 ($DISPLAY), else Wayland ($WAYLAND_DISPLAY); SDL_VIDEODRIVER=x11 or\n"
      "SDL_VIDEODRIVER=wayland takes that one only.\n");
  if (!program.words.empty()) std::printf("Words:\n%s\n", program.words.c_str());
}

}  // namespace

int launch(int argc, char** argv, const ProgramInfo& program) {
  // Blocks of 128 kB and more are mapped apart from the heap and go back to
  // the system when freed: window-sized text and a scene's pictures, made
  // and dropped as scenes come and go, leave no high-water mark behind.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  const char* name = program.name.c_str();
  Options opt;
  Script script;
  std::optional<std::uint64_t> hostWindow;
  try {
    opt = parseOptions(std::vector<std::string>(argv + 1, argv + argc), program.options);
    if (!opt.script.empty()) {
      std::ifstream in(opt.script);
      if (!in || std::filesystem::is_directory(opt.script))
        throw std::invalid_argument("cannot read the script " + opt.script);
      std::stringstream text;
      text << in.rdbuf();
      script = parseScript(text.str());
    }
    // With nothing to end it, a headless run would go on for ever.
    if (opt.headless && !opt.until && script.events.empty() && !opt.help && !opt.version)
      throw std::invalid_argument("a headless run needs --until or a script with events");
    if (!opt.dir.empty() && !std::filesystem::is_directory(opt.dir))
      throw std::invalid_argument("--dir " + opt.dir + " is not a folder");
    if (program.words.empty() && !opt.arguments.empty() && !opt.help && !opt.version)
      throw std::invalid_argument("unexpected word " + opt.arguments.front());
  } catch (const ScriptError& e) {
    std::fprintf(stderr, "%s: script %s, %s\n", name, opt.script.c_str(), e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", name, e.what());
    printUsageLine(program, stderr);
    return 2;
  }
  if (opt.help || opt.version) {
    if (opt.help) printUsage(program);
    else std::printf("%s %s\n", name, QSPE_VERSION);
    return 0;
  }
  if (opt.keys) {
    std::printf("%s", keysInForce(program.name).c_str());
    return 0;
  }
  try {
    if (program.hostWindow) hostWindow = program.hostWindow(opt.arguments);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "%s: %s\n", name, e.what());  // a host shows its own message for the status
    return 1;
  }

  RunConfig config;
  config.programName = program.name;
  const ProgramDirs dirs = findProgramDirs(executableDir(), opt.dir, QSPE_MEDIA_FROM_BIN);
  config.programDir = dirs.media;
  config.dataDir = dirs.data;
  if (opt.seed) config.seed = *opt.seed;
  else if (script.seed) config.seed = *script.seed;
  else if (!opt.headless)
    config.seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  if (opt.until) config.until = *opt.until;
  if (opt.headless && !opt.until && !script.events.empty()) config.scriptEnd = script.events.back().time;

  Runtime* runtime = nullptr;
  Trace trace([&] { return runtime ? runtime->now() : 0; });
  if (!opt.trace.empty() && !trace.openFile(opt.trace)) {
    std::fprintf(stderr, "%s: cannot write the trace %s\n", name, opt.trace.c_str());
    return 2;
  }
  if (!opt.headless) trace.flushEachLine();

  std::unique_ptr<Backend> backend;
  if (opt.headless) {
    backend = headlessBackend(program.name, config.programDir, opt.screen.value_or(ScreenSize{}));
  } else {
    LiveSetup live;
    live.program = program.name;
    live.desktopId = QSPE_ID_PREFIX + program.name;
    live.programDir = config.programDir;
    live.screenSaver = program.letDisplaySleep;
    live.scale = opt.scale;
    live.fullscreen = opt.fullscreen;
    live.hostWindow = hostWindow;
    if (program.openAudio) live.openAudio = [&program] { return program.openAudio(program.name); };
    std::string error;
    backend = liveBackend(live, error);
    if (!backend) {
      std::fprintf(stderr, "%s: %s\n", name, error.c_str());
      return 1;
    }
  }

  int status = 0;
  {
    std::unique_ptr<Program> made;  // declared first: its services outlive the runtime's forms
    Runtime rt(backend->platform(), trace, config);
    runtime = &rt;
    made = program.make(rt, backend->audio());
    backend->planWindows(rt.largestWindow());
    rt.setScript(script.events);
    std::unique_ptr<ScriptRecorder> recorder;
    if (!opt.record.empty()) {
      recorder = std::make_unique<ScriptRecorder>(opt.record, config.seed);
      if (!recorder->ok()) {
        std::fprintf(stderr, "%s: cannot write the record %s\n", name, opt.record.c_str());
        return 2;
      }
      rt.setRecorder(recorder.get());
    }
    status = rt.run(made->entry(opt.arguments));
    if (recorder) recorder->finish(rt.now());
    runtime = nullptr;
  }
  backend.reset();
  return status;
}

}  // namespace qs
