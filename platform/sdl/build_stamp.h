#pragma once
#include <string>

namespace qs {

// What tells this build of the program from any other: its version and the
// linker's build id of the running executable (another build of the code
// gives another id), or, for an executable linked without one, its size and
// time. What a build kept is for that build alone.
std::string programBuild();

}  // namespace qs
