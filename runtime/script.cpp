#include "runtime/script.h"

#include <charconv>
#include <sstream>

#include "runtime/keys.h"

namespace qs {
namespace {
std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

template <class T>
bool number(const std::string& s, T& v) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

// A word of a bad line as the message shows it: quoted, cut short, and with
// anything but printable ASCII escaped, so the message stays one short line.
std::string shown(const std::string& word) {
  constexpr std::size_t kMax = 24;
  static const char* digits = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < word.size() && i < kMax; ++i) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    if (c == '"' || c == '\\') out += '\\';
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += digits[c >> 4];
      out += digits[c & 15];
    }
  }
  if (word.size() > kMax) out += "...";
  return out + "\"";
}
}  // namespace

Script parseScript(const std::string& text) {
  Script script;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  std::int64_t last = 0;
  using K = InputEvent::Kind;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
    auto w = words(raw);
    if (w.empty()) continue;
    if (w[0] == "seed") {
      std::uint64_t seed = 0;
      if (w.size() != 2 || !number(w[1], seed)) throw ScriptError(lineNo, "expected: seed N");
      script.seed = seed;
      continue;
    }
    InputEvent e;
    if (!number(w[0], e.time) || e.time < 0) throw ScriptError(lineNo, "expected a time in ms, got " + shown(w[0]));
    if (e.time > kLatestTime)
      throw ScriptError(lineNo, "time " + shown(w[0]) + " is too late: at most " + std::to_string(kLatestTime));
    if (e.time < last) throw ScriptError(lineNo, "time " + shown(w[0]) + " is earlier than the line before");
    last = e.time;
    if (w.size() < 2) throw ScriptError(lineNo, "missing event after the time");
    const std::string& verb = w[1];
    auto argc = [&](std::size_t n) {
      if (w.size() != n + 2) throw ScriptError(lineNo, shown(verb) + " takes " + std::to_string(n) + " argument(s)");
    };
    if (verb == "down" || verb == "up" || verb == "repeat") {
      argc(1);
      auto code = keyCode(w[2]);
      if (!code) throw ScriptError(lineNo, "unknown key " + shown(w[2]));
      e.kind = verb == "down" ? K::KeyDown : verb == "up" ? K::KeyUp : K::KeyRepeat;
      e.key = *code;
    } else if (verb == "close") {
      argc(1);
      e.kind = K::Close;
      e.form = w[2];
    } else if (verb == "move") {
      argc(2);
      e.kind = K::Move;
      if (!number(w[2], e.x) || !number(w[3], e.y)) throw ScriptError(lineNo, "move takes two whole numbers");
    } else if (verb == "click") {
      argc(0);
      e.kind = K::Click;
    } else if (verb == "dump") {
      argc(0);
      e.kind = K::Dump;
    } else if (verb == "shot") {
      argc(2);
      e.kind = K::Shot;
      e.form = w[2];
      e.file = w[3];
    } else if (verb == "quit") {
      argc(0);
      e.kind = K::Quit;
    } else if (verb == "pause" || verb == "resume") {
      argc(0);
      e.kind = verb == "pause" ? K::Pause : K::Resume;
    } else {
      throw ScriptError(lineNo, "unknown event " + shown(verb));
    }
    script.events.push_back(std::move(e));
  }
  return script;
}

std::string scriptLine(const InputEvent& e) {
  std::string t = std::to_string(e.time) + " ";
  using K = InputEvent::Kind;
  switch (e.kind) {
    case K::KeyDown: return t + "down " + keyName(e.key);
    case K::KeyUp: return t + "up " + keyName(e.key);
    case K::KeyRepeat: return t + "repeat " + keyName(e.key);
    case K::Close: return t + "close " + e.form;
    case K::Move: return t + "move " + std::to_string(e.x) + " " + std::to_string(e.y);
    case K::Click: return t + "click";
    case K::Dump: return t + "dump";
    case K::Shot: return t + "shot " + e.form + " " + e.file;
    case K::Quit: return t + "quit";
    case K::Pause: return t + "pause";
    case K::Resume: return t + "resume";
  }
  return t;
}

ScriptRecorder::ScriptRecorder(const std::string& path, std::uint64_t seed) : file_(std::fopen(path.c_str(), "w")) {
  if (file_) std::fprintf(file_, "seed %llu\n", static_cast<unsigned long long>(seed));
}

ScriptRecorder::~ScriptRecorder() {
  if (file_) std::fclose(file_);
}

void ScriptRecorder::record(const InputEvent& e) {
  if (!file_) return;
  std::string l = scriptLine(e) + "\n";
  std::fwrite(l.data(), 1, l.size(), file_);
  std::fflush(file_);
}

void ScriptRecorder::finish(std::int64_t time) {
  if (!file_) return;
  std::fprintf(file_, "%lld quit\n", static_cast<long long>(time));
  std::fflush(file_);
}

}  // namespace qs
