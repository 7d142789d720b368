#include "sound/midi_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace qs {
namespace {

// Reads big-endian numbers and variable-length quantities within [pos, end).
class Reader {
 public:
  Reader(const std::uint8_t* pos, const std::uint8_t* end) : pos_(pos), end_(end) {}
  bool done() const { return pos_ >= end_; }
  bool ok() const { return ok_; }
  std::uint32_t byte() {
    if (pos_ >= end_) return fail();
    return *pos_++;
  }
  std::uint32_t be(int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | byte();
    return v;
  }
  std::uint32_t varlen() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint32_t b = byte();
      v = v << 7 | (b & 0x7F);
      if (!(b & 0x80)) return v;
    }
    return fail();  // longer than four bytes
  }
  void skip(std::uint32_t n) {
    if (static_cast<std::size_t>(end_ - pos_) < n) fail();
    else pos_ += n;
  }
  const std::uint8_t* pos() const { return pos_; }

 private:
  std::uint32_t fail() {
    ok_ = false;
    pos_ = end_;
    return 0;
  }
  const std::uint8_t* pos_;
  const std::uint8_t* end_;
  bool ok_ = true;
};

// Walks one track's events; collects its tempo changes and returns the tick of
// its last event, or -1 when the track is malformed.
std::int64_t readTrack(Reader r, std::vector<MidiTiming::Tempo>& tempos) {
  std::int64_t tick = 0;
  std::uint32_t status = 0;
  while (!r.done()) {
    tick += r.varlen();
    std::uint32_t b = r.byte();
    if (b == 0xFF) {
      std::uint32_t type = r.byte();
      std::uint32_t len = r.varlen();
      if (type == 0x2F) return r.ok() ? tick : -1;  // end of track
      if (type == 0x51 && len == 3) {
        std::uint32_t us = r.be(3);
        if (us > 0) tempos.push_back({tick, us});
      } else {
        r.skip(len);
      }
    } else if (b == 0xF0 || b == 0xF7) {
      r.skip(r.varlen());
      status = 0;
    } else {
      if (b & 0x80) {
        if (b >= 0xF0) return -1;  // system common messages do not belong in a file
        status = b;
        b = r.byte();
      } else if (status == 0) {
        return -1;  // running status with nothing to run on
      }
      std::uint32_t kind = status & 0xF0;
      if (kind != 0xC0 && kind != 0xD0) r.byte();
    }
    if (!r.ok()) return -1;
  }
  return tick;
}

}  // namespace

MidiTiming::MidiTiming(std::uint16_t division, std::vector<Tempo> tempos, std::int64_t endTick)
    : division_(division), tempos_(std::move(tempos)), endTick_(endTick) {
  std::stable_sort(tempos_.begin(), tempos_.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
  if (tempos_.empty() || tempos_.front().tick > 0) tempos_.insert(tempos_.begin(), Tempo{});
}

double MidiTiming::usPerTick(const Tempo& t) const {
  if (division_ & 0x8000) {
    int fps = -static_cast<std::int8_t>(division_ >> 8);
    double frames = fps == 29 ? 29.97 : fps;
    return 1e6 / (frames * (division_ & 0xFF));
  }
  return static_cast<double>(t.usPerQuarter) / division_;
}

double MidiTiming::usAt(std::int64_t tick) const {
  double us = 0;
  for (std::size_t i = 0; i < tempos_.size(); ++i) {
    bool last = i + 1 == tempos_.size();
    std::int64_t next = last ? tick : std::min(tick, tempos_[i + 1].tick);
    us += static_cast<double>(next - tempos_[i].tick) * usPerTick(tempos_[i]);
    if (last || tick <= tempos_[i + 1].tick) break;
  }
  return us;
}

std::int64_t MidiTiming::msAt(std::int64_t tick) const { return std::llround(usAt(tick) / 1000.0); }

std::int64_t MidiTiming::tickAt(std::int64_t ms) const {
  double left = static_cast<double>(ms) * 1000.0;
  if (left <= 0) return 0;
  for (std::size_t i = 0; i < tempos_.size(); ++i) {
    double per = usPerTick(tempos_[i]);
    bool last = i + 1 == tempos_.size();
    double span = last ? 0 : static_cast<double>(tempos_[i + 1].tick - tempos_[i].tick) * per;
    if (last || left < span) {
      auto tick = tempos_[i].tick + static_cast<std::int64_t>(std::floor(left / per + 1e-9));
      return std::min(tick, endTick_);
    }
    left -= span;
  }
  return endTick_;
}

std::optional<MidiTiming> parseMidiTiming(const std::vector<std::uint8_t>& bytes) {
  Reader file(bytes.data(), bytes.data() + bytes.size());
  if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) return std::nullopt;
  file.skip(4);
  std::uint32_t headerSize = file.be(4);
  if (headerSize < 6) return std::nullopt;
  file.be(2);  // format: every track counts, whichever it is
  std::uint32_t tracks = file.be(2);
  auto division = static_cast<std::uint16_t>(file.be(2));
  file.skip(headerSize - 6);
  if (!file.ok() || tracks == 0 || (division & 0x7FFF) == 0 || ((division & 0x8000) && (division & 0xFF) == 0))
    return std::nullopt;

  std::vector<MidiTiming::Tempo> tempos;
  std::int64_t end = 0;
  std::uint32_t read = 0;
  while (read < tracks) {
    const std::uint8_t* id = file.pos();
    file.skip(4);
    std::uint32_t size = file.be(4);
    const std::uint8_t* body = file.pos();
    file.skip(size);
    if (!file.ok()) return std::nullopt;  // cut short
    if (std::memcmp(id, "MTrk", 4) != 0) continue;  // chunks of unknown kinds are skipped
    std::int64_t last = readTrack(Reader(body, body + size), tempos);
    if (last < 0) return std::nullopt;
    end = std::max(end, last);
    ++read;
  }
  return MidiTiming(division, std::move(tempos), end);
}

std::shared_ptr<const MidiTune> loadMidiFile(const std::string& path, MidiLoadError& error) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
    error = MidiLoadError::Missing;
    return nullptr;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  if (ec || !in.read(magic, 4) || std::memcmp(magic, "MThd", 4) != 0) {
    error = MidiLoadError::Invalid;
    return nullptr;
  }
  if (size > kMaxMidiBytes) {
    error = MidiLoadError::TooLarge;
    return nullptr;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  auto timing = in ? parseMidiTiming(bytes) : std::nullopt;
  if (!timing) {
    error = MidiLoadError::Invalid;
    return nullptr;
  }
  error = MidiLoadError::None;
  return std::make_shared<const MidiTune>(MidiTune{path, std::move(bytes), *timing});
}

const char* midiLoadWhy(MidiLoadError error) {
  switch (error) {
    case MidiLoadError::Missing: return "the file is missing";
    case MidiLoadError::Invalid: return "it is not a MIDI file";
    case MidiLoadError::TooLarge: return "it is larger than any tune the game plays";
    case MidiLoadError::None: break;
  }
  return "";
}

}  // namespace qs
