#include "runtime/trace.h"

#include <cmath>

namespace qs {

Trace::~Trace() {
  if (file_ && ownsFile_) std::fclose(file_);
  else if (file_) std::fflush(file_);
}

bool Trace::openFile(const std::string& path) {
  if (path == "-") {
    file_ = stdout;
    ownsFile_ = false;
    return true;
  }
  file_ = std::fopen(path.c_str(), "w");
  ownsFile_ = file_ != nullptr;
  return file_ != nullptr;
}

void Trace::flushEachLine() {
  if (file_) std::setvbuf(file_, nullptr, _IOLBF, BUFSIZ);
}

void Trace::line(std::string_view text) {
  if (!enabled()) return;
  std::string l = std::to_string(clock_());
  l += ' ';
  l += text;
  if (file_) {
    std::fwrite(l.data(), 1, l.size(), file_);
    std::fputc('\n', file_);
  }
  if (keep_) lines_.push_back(std::move(l));
}

std::string Trace::hideDir(std::string_view text) const {
  std::string out(text);
  if (programDir_.empty()) return out;
  // Only where the directory is a path of its own: it starts a word and is either the whole
  // word or followed by "/". Elsewhere (inside an alias, a longer folder name) it stays.
  auto bound = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
  const std::size_t n = programDir_.size();
  for (std::size_t p = out.find(programDir_); p != std::string::npos; p = out.find(programDir_, p + 1)) {
    bool starts = p == 0 || bound(out[p - 1]);
    bool ends = p + n == out.size() || out[p + n] == '/' || bound(out[p + n]);
    if (!starts || !ends) continue;
    out.replace(p, n, "<dir>");
    p += 4;
  }
  return out;
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string decimal(double v) {
  if (v == std::floor(v) && std::fabs(v) < 1e15) return std::to_string(static_cast<long long>(v));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

}  // namespace qs
