#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qs::test {

// The lines of a run's trace, "T what", and what scene tests ask of them. A
// line is named either whole ("120 set FormQB.Beam left 64") or by what
// follows its time ("set FormQB.Beam left 64").
class TraceView {
 public:
  explicit TraceView(const std::vector<std::string>& lines) : lines_(&lines) {}
  const std::vector<std::string>& lines() const { return *lines_; }
  const std::string& operator[](int i) const { return lines().at(static_cast<std::size_t>(i)); }
  int size() const { return static_cast<int>(lines().size()); }

  // The lines that contain `text`; with `withoutTimes`, what they say after the time.
  std::vector<std::string> grep(std::string_view text, bool withoutTimes = false) const;
  // How many lines contain `text`.
  int count(std::string_view text) const;
  // Index of the first line that contains `text`; -1 if none.
  int find(std::string_view text) const;
  // Index of the first line from index `from` on that is `line`; -1 if none.
  int indexOf(std::string_view line, int from = 0) const;
  bool has(std::string_view line) const { return indexOf(line) >= 0; }

  // The times of the lines "T what", and the first of them at or after `from`
  // (-1 if none).
  std::vector<std::int64_t> times(std::string_view what) const;
  std::int64_t first(std::string_view what, std::int64_t from = 0) const;

  // The values that the lines "T set TARGET PROP V" give, in order, with their
  // times; TARGET is "Form.Element", "Form.Array(i)" or "Form".
  struct Value {
    std::int64_t at = 0;
    std::string value;
    bool operator==(const Value&) const = default;
  };
  std::vector<Value> values(std::string_view target, std::string_view prop) const;

  // The first line "T dump PATH ..." of a form or element, from PATH on; empty if none.
  std::string dumpOf(std::string_view path) const;
  // The forms and elements of the first dump of `form`, in the order dumped
  // (topmost first), timers left out.
  std::vector<std::string> dumpOrder(std::string_view form) const;

  // The lines come in this order; others may come between them.
  ::testing::AssertionResult inOrder(const std::vector<std::string>& expected) const;

  // The whole trace, for failure messages.
  std::string dump() const;

 private:
  const std::vector<std::string>* lines_;
};

}  // namespace qs::test
