#pragma once
// What the fuzz targets share: a check that stops the run with the input at
// fault, and the input as bytes, as text and as a file for readers that
// take a path.
#include <cstdio>
#include <cstdlib>
#include <span>

#include "../support/files.h"

// A broken promise of the code under test: libFuzzer keeps the input.
#define FUZZ_CHECK(cond) \
  ((cond) ? void() : (std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond), std::abort()))

namespace qs::fuzz {

// The run's private temporary folder.
inline const test::TempDir& folder() {
  static const test::TempDir dir;
  return dir;
}

struct Input : std::span<const std::uint8_t> {
  std::string text() const { return {reinterpret_cast<const char*>(data()), size()}; }
  // The input as the folder's file of this name, rewritten with each input.
  std::string file(const std::string& name) const {
    test::writeBytes(folder().file(name), test::Bytes(begin(), end()));
    return folder().file(name);
  }
};

}  // namespace qs::fuzz

// The target: its body is run on each input `in`.
#define FUZZ_TARGET(in)                                                               \
  static void fuzzTarget(const qs::fuzz::Input& in);                                  \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    fuzzTarget({{data, size}});                                                       \
    return 0;                                                                         \
  }                                                                                   \
  static void fuzzTarget(const qs::fuzz::Input& in)
