#include "app/launcher.h"
#include "app/qspe_program.h"
#include "platform/sdl/sdl_audio.h"

int main(int argc, char** argv) { return qs::launch(argc, argv, {"Qspe", qs::makeQspe, qs::openSdlAudio, ""}); }
