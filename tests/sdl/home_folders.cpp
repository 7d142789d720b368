// The programs these tests run remember display choices and the faces found:
// in the build tree, never in the home folder of whoever runs the tests.
#include <cstdlib>

namespace {

const int kFoldersSet =
    setenv("XDG_CONFIG_HOME", QSPE_TEST_HOME "/config", 1) + setenv("XDG_CACHE_HOME", QSPE_TEST_HOME "/cache", 1);

}  // namespace
