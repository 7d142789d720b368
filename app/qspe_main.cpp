#include "platform/launcher/launcher.h"
#include "shell/scenes.h"

int main(int argc, char** argv) {
  return qs::launch(argc, argv, {"Qspe", "FormStartUp", qs::registerGameScenes});
}
