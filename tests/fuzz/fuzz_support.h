#pragma once
// What the fuzz targets share: a check that stops the run with the input at
// fault, and the input as a file for readers that take a path.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

// A broken promise of the code under test: libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                 \
  do {                                                                                   \
    if (!(cond)) {                                                                       \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);     \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace qs::fuzz {

// One file in a private temporary folder, made once per process, rewritten
// with each input and removed with the folder at exit. The folder is in
// memory (/dev/shm) when it can be: on a disk each input costs a write-out.
class InputFile {
 public:
  explicit InputFile(const std::string& name) {
    std::filesystem::path base = access("/dev/shm", W_OK | X_OK) == 0 ? std::filesystem::path("/dev/shm")
                                                                       : std::filesystem::temp_directory_path();
    std::string pattern = (base / "qspe-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    dir_ = pattern;
    path_ = dir_ + "/" + name;
  }
  ~InputFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const std::string& dir() const { return dir_; }
  // Replaces the file's contents with the input; returns its path.
  const std::string& write(const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    FUZZ_CHECK(out.good());
    return path_;
  }

 private:
  std::string dir_;
  std::string path_;
};

}  // namespace qs::fuzz
