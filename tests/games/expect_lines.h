#pragma once
// The trace holds these lines in this order, others between them: "T what"
// whole, or "* what" for that text at any time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/trace_view.h"

namespace qs::test {

inline ::testing::AssertionResult holdsInOrder(const TraceView& t, const std::vector<std::string>& lines) {
  int from = 0;
  for (const std::string& e : lines) {
    const bool anyTime = e.rfind("* ", 0) == 0;
    int at = from;
    while (at < t.size() && (anyTime ? t[at].substr(t[at].find(' ') + 1) != e.substr(2) : t[at] != e)) ++at;
    if (at == t.size())
      return ::testing::AssertionFailure() << "no \"" << e << "\" after \"" << (from > 0 ? t[from - 1] : "") << "\"\n"
                                           << t.dump();
    from = at + 1;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace qs::test
