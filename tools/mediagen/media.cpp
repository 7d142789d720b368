#include "media.h"

#include <fstream>
#include <stdexcept>

#include "bmp_writer.h"
#include "effects.h"
#include "pictures.h"
#include "tunes.h"
#include "wav_writer.h"

namespace qs::mediagen {

std::vector<MediaFile> generateMedia() {
  std::vector<MediaFile> files;
  for (const SoundEffect& fx : makeSoundEffects()) {
    files.push_back({fx.name, fx.description, encodeWav(fx.samples)});
  }
  for (const Tune& tune : makeTunes()) { files.push_back({tune.name, tune.description, encodeSong(tune.song)}); }
  for (const Picture& pic : makePictures()) { files.push_back({pic.name, pic.description, encodeBmp4(pic.image)}); }
  return files;
}

void writeMedia(const std::vector<MediaFile>& files, const std::filesystem::path& dir) {
  for (const MediaFile& file : files) {
    const std::filesystem::path path = dir / file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace qs::mediagen
