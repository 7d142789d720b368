#include "support/trace_view.h"

#include <algorithm>

namespace qs::test {
namespace {

// What a line says after its time.
std::string_view what(std::string_view line) {
  auto sp = line.find(' ');
  return sp == std::string_view::npos ? std::string_view{} : line.substr(sp + 1);
}

std::int64_t timeOf(std::string_view line) { return std::stoll(std::string(line.substr(0, line.find(' ')))); }

bool names(std::string_view line, std::string_view asked) { return line == asked || what(line) == asked; }

}  // namespace

std::vector<std::string> TraceView::grep(std::string_view text, bool withoutTimes) const {
  std::vector<std::string> out;
  for (const auto& l : lines())
    if (l.find(text) != std::string::npos) out.emplace_back(withoutTimes ? what(l) : l);
  return out;
}

int TraceView::count(std::string_view text) const { return static_cast<int>(grep(text).size()); }

int TraceView::find(std::string_view text) const {
  for (int i = 0; i < size(); ++i)
    if ((*this)[i].find(text) != std::string::npos) return i;
  return -1;
}

int TraceView::indexOf(std::string_view line, int from) const {
  for (int i = from; i < size(); ++i)
    if (names((*this)[i], line)) return i;
  return -1;
}

std::vector<std::int64_t> TraceView::times(std::string_view w) const {
  std::vector<std::int64_t> out;
  for (const auto& l : lines())
    if (what(l) == w) out.push_back(timeOf(l));
  return out;
}

std::int64_t TraceView::first(std::string_view w, std::int64_t from) const {
  for (const auto& l : lines())
    if (what(l) == w && timeOf(l) >= from) return timeOf(l);
  return -1;
}

std::vector<TraceView::Value> TraceView::values(std::string_view target, std::string_view prop) const {
  const std::string head = "set " + std::string(target) + " " + std::string(prop) + " ";
  std::vector<Value> out;
  for (const auto& l : lines())
    if (what(l).starts_with(head)) out.push_back({timeOf(l), std::string(what(l).substr(head.size()))});
  return out;
}

std::string TraceView::dumpOf(std::string_view path) const {
  const std::string head = "dump " + std::string(path) + " ";
  for (const auto& l : lines())
    if (what(l).starts_with(head)) return std::string(what(l).substr(5));
  return "";
}

std::vector<std::string> TraceView::dumpOrder(std::string_view form) const {
  const std::string head = "dump " + std::string(form) + ".";
  std::vector<std::string> out;
  std::int64_t at = -1;
  for (const auto& l : lines()) {
    if (!what(l).starts_with(head) || (at >= 0 && timeOf(l) != at)) continue;
    at = timeOf(l);
    std::string_view rest = what(l).substr(head.size());
    std::string name(rest.substr(0, rest.find(' ')));
    if (rest.find(" interval=") == std::string_view::npos) out.push_back(name);
  }
  return out;
}

::testing::AssertionResult TraceView::inOrder(const std::vector<std::string>& expected) const {
  int from = 0;
  for (const auto& line : expected) {
    int at = indexOf(line, from);
    if (at < 0) return ::testing::AssertionFailure() << "missing, or out of order: " << line << "\n" << dump();
    from = at + 1;
  }
  return ::testing::AssertionSuccess();
}

std::string TraceView::dump() const {
  std::string s;
  for (const auto& l : lines()) s += l + "\n";
  return s;
}

}  // namespace qs::test
