// qspe-mediagen OUTDIR: writes the game's sounds, music and pictures.
// qspe-mediagen --icons OUTDIR ID: writes the desktop icons, OUTDIR/hicolor/NxN/apps/ID.png.
// qspe-mediagen --icon-pixels FILE SIZE: writes the icon's pixels at SIZE as C array elements.
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "icons.h"
#include "media.h"

int main(int argc, char** argv) {
  const bool icons = argc == 4 && std::string(argv[1]) == "--icons";
  const bool pixels = argc == 4 && std::string(argv[1]) == "--icon-pixels" && std::atoi(argv[3]) > 0;
  if (argc != 2 && !icons && !pixels) {
    std::cerr
        << "usage: qspe-mediagen OUTDIR | qspe-mediagen --icons OUTDIR ID | qspe-mediagen --icon-pixels FILE SIZE\n";
    return 2;
  }
  try {
    if (pixels) {
      qs::mediagen::writeIconPixels(argv[2], std::atoi(argv[3]));
      return 0;
    }
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
