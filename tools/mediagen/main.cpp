// qspe-mediagen OUTDIR: writes the game's sounds, music and pictures.
// qspe-mediagen --icons OUTDIR ID: writes the desktop icons, OUTDIR/hicolor/NxN/apps/ID.png.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "icons.h"
#include "media.h"

int main(int argc, char** argv) {
  const bool icons = argc == 4 && std::string(argv[1]) == "--icons";
  if (argc != 2 && !icons) {
    std::cerr << "usage: qspe-mediagen OUTDIR | qspe-mediagen --icons OUTDIR ID\n";
    return 2;
  }
  try {
    if (icons) {
      qs::mediagen::writeIcons(argv[2], argv[3]);
      return 0;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    qs::mediagen::writeMedia(qs::mediagen::generateMedia(), dir);
  } catch (const std::exception& e) {
    std::cerr << "qspe-mediagen: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
