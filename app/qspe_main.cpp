#include "app/audio_module.h"
#include "app/launcher.h"
#include "app/qspe_program.h"

int main(int argc, char** argv) { return qs::launch(argc, argv, {"Qspe", qs::makeQspe, qs::openAudioModule, ""}); }
