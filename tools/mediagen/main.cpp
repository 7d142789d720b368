// qspe-mediagen OUTDIR: writes the game's sounds, music and pictures.
#include <exception>
#include <filesystem>
#include <iostream>

#include "media.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: qspe-mediagen OUTDIR\n";
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    qs::mediagen::writeMedia(qs::mediagen::generateMedia(), dir);
  } catch (const std::exception& e) {
    std::cerr << "qspe-mediagen: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
