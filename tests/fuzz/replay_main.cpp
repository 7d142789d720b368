// Runs a fuzz target once on every file of its corpus folders, in name order,
// without libFuzzer: the suite's short replay of each seed corpus. A failed
// check or a crash ends the program; an empty corpus is a failure too.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "../support/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  std::error_code ec;
  for (int i = 1; i < argc; ++i)
    for (const auto& entry : fs::directory_iterator(argv[i], ec))
      if (entry.is_regular_file()) inputs.push_back(entry.path());
  if (ec || inputs.empty()) return std::fprintf(stderr, "usage: %s CORPUS_FOLDER...: no inputs\n", argv[0]), 1;
  std::ranges::sort(inputs);
  for (const auto& path : inputs) {
    const qs::test::Bytes bytes = qs::test::readBytes(path);
    std::fprintf(stderr, "%s (%zu bytes)\n", path.c_str(), bytes.size());
    static const std::uint8_t none = 0;  // an empty vector's data() may be null
    LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
