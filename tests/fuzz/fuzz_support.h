#pragma once
// What the fuzz targets share: a check that stops the run with the input at
// fault, and the input as a file for readers that take a path.
#include <cstdio>
#include <cstdlib>

#include "../support/files.h"

// A broken promise of the code under test: libFuzzer keeps the input.
#define FUZZ_CHECK(cond) \
  ((cond) ? void() : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond), std::abort()))

namespace qs::fuzz {

// One file in a private temporary folder, rewritten with each input.
class InputFile {
 public:
  explicit InputFile(const std::string& name) : path_(dir_.file(name)) {}
  const std::string& dir() const { return dir_.path(); }
  const std::string& write(const std::uint8_t* data, std::size_t size) {
    test::writeBytes(path_, test::Bytes(data, data + size));
    return path_;
  }

 private:
  test::TempDir dir_;
  std::string path_;
};

}  // namespace qs::fuzz
