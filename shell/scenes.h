#pragma once

namespace qs {

class Runtime;

// Registers every scene of the game program.
void registerGameScenes(Runtime& rt);

}  // namespace qs
