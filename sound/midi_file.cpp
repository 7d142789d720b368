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
  // The next `n` bytes, or null when fewer are left.
  const std::uint8_t* take(std::uint32_t n) {
    const std::uint8_t* at = pos_;
    skip(n);
    return ok_ ? at : nullptr;
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
// its last event, or -1 when the track is malformed. `events` counts the
// events of every track so far; the walk stops, also with -1, as soon as it
// or the tempo changes go past their caps, so a hostile file costs no more
// than the largest it may be.
std::int64_t readTrack(Reader r, std::vector<MidiTiming::Tempo>& tempos, std::size_t& events) {
  std::int64_t tick = 0;
  std::uint32_t status = 0;
  while (!r.done()) {
    if (++events > kMaxMidiEvents) return -1;
    tick += r.varlen();
    std::uint32_t b = r.byte();
    if (b == 0xFF) {
      std::uint32_t type = r.byte();
      std::uint32_t len = r.varlen();
      if (type == 0x2F) return r.ok() ? tick : -1;  // end of track
      if (type == 0x51 && len == 3) {
        std::uint32_t us = r.be(3);
        if (us > 0) tempos.push_back({tick, us});
        if (tempos.size() > kMaxMidiTempos) return -1;
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

using Bytes = std::vector<std::uint8_t>;

void putVarlen(Bytes& b, std::uint32_t v) {
  std::uint8_t groups[4];
  int n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v && n < 4);
  while (n-- > 0) b.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

void putBe32(Bytes& b, std::uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One track from tick `cut` on, as an "MTrk" chunk appended to `out` (see
// midiFrom); notes before the cut are struck when they began at `strikeFrom`
// or later. False when the track is malformed.
bool trackFrom(Reader r, std::int64_t cut, std::int64_t strikeFrom, Bytes& out) {
  Bytes body, event;
  std::int64_t tick = 0, written = 0;
  std::uint32_t status = 0;
  std::vector<int> struck(16 * 128);  // notes struck at the cut and not yet released
  bool ended = false;
  while (!r.done() && !ended) {
    tick += r.varlen();
    event.clear();
    bool keep = true;
    std::uint32_t b = r.byte();
    if (b == 0xFF || b == 0xF0 || b == 0xF7) {
      event.push_back(static_cast<std::uint8_t>(b));
      if (b == 0xFF) {
        std::uint32_t type = r.byte();
        event.push_back(static_cast<std::uint8_t>(type));
        ended = type == 0x2F;
      } else {
        status = 0;
      }
      std::uint32_t len = r.varlen();
      const std::uint8_t* data = r.take(len);
      if (!data) return false;
      putVarlen(event, len);
      event.insert(event.end(), data, data + len);
    } else {
      if (b & 0x80) {
        if (b >= 0xF0) return false;
        status = b;
        b = r.byte();
      } else if (status == 0) {
        return false;
      }
      std::uint32_t kind = status & 0xF0;
      event = {static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(b)};
      if (kind != 0xC0 && kind != 0xD0) event.push_back(static_cast<std::uint8_t>(r.byte()));
      if (tick < cut && (kind == 0x80 || kind == 0x90)) {
        int& held = struck[(status & 0x0F) * 128 + (event[1] & 0x7F)];
        if (kind == 0x90 && event[2] > 0) {
          keep = tick >= strikeFrom;
          held += keep;
        } else {
          keep = held > 0;  // the release of a note struck at the cut; other releases go with their notes
          held -= keep;
        }
      }
    }
    if (!r.ok()) return false;
    if (!keep) continue;
    std::int64_t at = std::max<std::int64_t>(tick - cut, 0);
    putVarlen(body, static_cast<std::uint32_t>(at - written));
    written = at;
    body.insert(body.end(), event.begin(), event.end());
  }
  if (!ended) {
    putVarlen(body, static_cast<std::uint32_t>(std::max<std::int64_t>(tick - cut, 0) - written));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
  }
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  putBe32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return true;
}

}  // namespace

MidiTiming::MidiTiming(std::uint16_t division, std::vector<Tempo> tempos, std::int64_t endTick)
    : division_(division), tempos_(std::move(tempos)), endTick_(endTick) {
  std::stable_sort(tempos_.begin(), tempos_.end(), [](const Tempo& a, const Tempo& b) { return a.tick < b.tick; });
  if (tempos_.empty() || tempos_.front().tick > 0) tempos_.insert(tempos_.begin(), Tempo{});
  // The time at each tempo change, summed once here: every look-up is then a
  // binary search, not a walk over all the changes before it.
  usBefore_.resize(tempos_.size());
  for (std::size_t i = 1; i < tempos_.size(); ++i)
    usBefore_[i] =
        usBefore_[i - 1] + static_cast<double>(tempos_[i].tick - tempos_[i - 1].tick) * usPerTick(tempos_[i - 1]);
  lengthMs_ = msAt(endTick_);
}

double MidiTiming::usPerTick(const Tempo& t) const {
  if (division_ & 0x8000) {
    int fps = -static_cast<std::int8_t>(division_ >> 8);
    double frames = fps == 29 ? 29.97 : fps;
    return 1e6 / (frames * (division_ & 0xFF));
  }
  return static_cast<double>(t.usPerQuarter) / division_;
}

// Counted on from the last tempo change before `tick` (from the first, at tick 0).
double MidiTiming::usAt(std::int64_t tick) const {
  auto after = std::lower_bound(tempos_.begin() + 1, tempos_.end(), tick,
                                [](const Tempo& t, std::int64_t at) { return t.tick < at; });
  auto i = static_cast<std::size_t>(after - tempos_.begin()) - 1;
  return usBefore_[i] + static_cast<double>(tick - tempos_[i].tick) * usPerTick(tempos_[i]);
}

std::int64_t MidiTiming::msAt(std::int64_t tick) const { return std::llround(usAt(tick) / 1000.0); }

std::int64_t MidiTiming::tickAt(std::int64_t ms) const {
  double us = static_cast<double>(ms) * 1000.0;
  if (us <= 0) return 0;
  // The last tempo change that comes at or before that time.
  auto i =
      static_cast<std::size_t>(std::upper_bound(usBefore_.begin() + 1, usBefore_.end(), us) - usBefore_.begin()) - 1;
  auto tick =
      tempos_[i].tick + static_cast<std::int64_t>(std::floor((us - usBefore_[i]) / usPerTick(tempos_[i]) + 1e-9));
  return std::min(tick, endTick_);
}

std::optional<MidiTiming> parseMidiTiming(const std::vector<std::uint8_t>& bytes, MidiLoadError* why) {
  MidiLoadError ignored;
  if (!why) why = &ignored;
  *why = MidiLoadError::Invalid;
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
  std::size_t events = 0;
  while (read < tracks) {
    const std::uint8_t* id = file.pos();
    file.skip(4);
    std::uint32_t size = file.be(4);
    const std::uint8_t* body = file.pos();
    file.skip(size);
    if (!file.ok()) return std::nullopt;            // cut short
    if (std::memcmp(id, "MTrk", 4) != 0) continue;  // chunks of unknown kinds are skipped
    std::int64_t last = readTrack(Reader(body, body + size), tempos, events);
    if (events > kMaxMidiEvents) *why = MidiLoadError::TooManyEvents;
    if (tempos.size() > kMaxMidiTempos) *why = MidiLoadError::TooManyTempos;
    if (last < 0) return std::nullopt;
    end = std::max(end, last);
    ++read;
  }
  *why = MidiLoadError::None;
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
  error = MidiLoadError::Invalid;
  auto timing = in ? parseMidiTiming(bytes, &error) : std::nullopt;
  if (!timing) return nullptr;
  error = MidiLoadError::None;
  return std::make_shared<const MidiTune>(MidiTune{path, std::move(bytes), *timing});
}

const char* midiLoadWhy(MidiLoadError error) {
  switch (error) {
    case MidiLoadError::Missing: return "the file is missing";
    case MidiLoadError::Invalid: return "it is not a MIDI file";
    case MidiLoadError::TooLarge: return "it is larger than any tune the game plays";
    case MidiLoadError::TooManyEvents: return "it holds more events than any tune the game plays";
    case MidiLoadError::TooManyTempos: return "it changes tempo more often than any tune the game plays";
    case MidiLoadError::None: break;
  }
  return "";
}

std::vector<std::uint8_t> midiFrom(const MidiTune& tune, std::int64_t fromMs) {
  const Bytes& bytes = tune.bytes;
  if (fromMs <= 0 || bytes.size() < 14) return bytes;
  const MidiTiming& timing = tune.timing;
  std::int64_t cut = timing.tickAt(fromMs);
  // The first tick that starts less than kLateStrikeMs before the point.
  std::int64_t strikeFrom = fromMs < kLateStrikeMs ? 0 : timing.tickAt(fromMs - kLateStrikeMs) + 1;

  Reader file(bytes.data(), bytes.data() + bytes.size());
  file.skip(4);
  std::uint32_t headerSize = file.be(4);
  file.be(2);  // format
  std::uint32_t tracks = file.be(2);
  file.be(2);  // division
  file.skip(headerSize - 6);
  if (!file.ok()) return bytes;
  Bytes out(bytes.data(), file.pos());  // the header as it was
  for (std::uint32_t read = 0; read < tracks;) {
    const std::uint8_t* id = file.take(4);
    std::uint32_t size = file.be(4);
    const std::uint8_t* body = file.take(size);
    if (!id || !body) return bytes;
    if (std::memcmp(id, "MTrk", 4) != 0) continue;  // chunks of other kinds are left out
    if (!trackFrom(Reader(body, body + size), cut, strikeFrom, out)) return bytes;
    ++read;
  }
  return out;
}

}  // namespace qs
