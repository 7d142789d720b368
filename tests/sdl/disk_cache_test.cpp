#include "platform/sdl/disk_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "support/spoilt_files.h"

namespace qs::test {
namespace {

// An entry is taken only whole, as this build wrote it under the same kind
// and key: anything else at its path, a file of an older format too, is no
// entry, found at once and in little memory.
TEST(DiskCache, AnEntryIsTakenOnlyWholeAsThisBuildWroteItUnderItsKey) {
  TempDir dir;
  const std::string file = dir.file("entry"), key = "faces\n/usr/a.ttf 1024 17";
  std::string body(3000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7 % 251);  // '\n' and 0 among them
  const DiskCache cache(file, "kind", 4096, "1.0 build");
  ASSERT_TRUE(cache.write(key, body));
  EXPECT_FALSE(cache.write(key, std::string(4097, 'x'))) << "a body over the bound";
  const Bytes good = readBytes(file);
  auto written = [&](const char* what, const char* kind, const char* build, std::string k) {
    return Spoilt{what, Spoil::Content,
                  [=, &body](const std::string& path) { return DiskCache(path, kind, 4096, build).write(k, body); }};
  };
  std::vector<Spoilt> cases = spoilings(good);
  // clang-format off
  cases.insert(cases.end(), {
      written("under a stale key", "kind", "1.0 build", key + " changed"),
      written("of another kind", "other kind", "1.0 build", key), written("by another build", "kind", "1.1 build", key),
      flipped("a byte of the body flipped", good, good.size() - 1),
      flipped("a digit of its checksum flipped", good, good.size() - body.size() - 2),
      {"of the older format", Spoil::Content,
       [](const std::string& path) { return writeBytes(path, {'Q', 'q', 'F', '2', 0, 0, 0, 0}), true; }},
  });
  // clang-format on
  for (const Spoilt& c : cases) {
    const bool taken = c.kind == Spoil::None || c.kind == Spoil::Link;
    EXPECT_EQ(checkLaid(c, file, [&] { return cache.read(key) == (taken ? std::optional(body) : std::nullopt); }), "")
        << c.what;
  }
}

// A cache's temporary file that an older version left when killed before
// its rename ("NAME.XXXXXX") goes at the next write of NAME, once a minute old.
TEST(DiskCache, TemporariesOlderVersionsLeftAreRemovedAtTheNextWrite) {
  TempDir dir;
  // The fresh one, one of another name and one of another cache stay.
  const std::string oldOne = dir.file("faces.Ab12Cd"), others[] = {dir.file("faces.Xy34Zw"), dir.file("faces.Ab12Cde"),
                                                                   dir.file("Qspe-first-frame.Ab12Cd")};
  const timespec minutesAgo[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
  for (const std::string& f : {oldOne, others[0], others[1], others[2]}) writeBytes(f, {1});
  for (const std::string& f : {oldOne, others[1], others[2]}) utimensat(AT_FDCWD, f.c_str(), minutesAgo, 0);
  ASSERT_TRUE(DiskCache(dir.file("faces"), "faces", 16).write("", "x"));
  EXPECT_FALSE(std::filesystem::exists(oldOne));
  for (const std::string& f : others) EXPECT_TRUE(std::filesystem::exists(f)) << f;
}

}  // namespace
}  // namespace qs::test
