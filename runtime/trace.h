#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qs {

// The run's trace: one line per observable event, stamped with the run's clock.
class Trace {
 public:
  using Clock = std::function<std::int64_t()>;

  explicit Trace(Clock clock) : clock_(std::move(clock)) {}
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  // Write to a file ("-" is standard output). Returns false when it cannot be opened.
  bool openFile(const std::string& path);
  // Each line reaches the file as it happens (a live run, watched as it goes).
  void flushEachLine();
  // Keep the lines in memory as well (tests read them back).
  void keepLines(bool keep) { keep_ = keep; }
  const std::vector<std::string>& lines() const { return lines_; }

  void line(std::string_view text);
  bool enabled() const { return file_ != nullptr || keep_; }

  // Replaces the program directory in traced paths with "<dir>".
  void setProgramDir(std::string dir) { programDir_ = std::move(dir); }
  std::string hideDir(std::string_view text) const;

 private:
  Clock clock_;
  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
  bool keep_ = false;
  std::vector<std::string> lines_;
  std::string programDir_;
};

// Text in double quotes with \" and \\ escaped.
std::string quoted(std::string_view text);
// A number the way a scene writes it: "24", "27.75", "21.75".
std::string decimal(double v);

}  // namespace qs
