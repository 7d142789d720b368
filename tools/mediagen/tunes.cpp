#include "tunes.h"

namespace qs::mediagen {
namespace {

// General MIDI percussion keys.
constexpr int kKick = 36;
constexpr int kSideStick = 37;
constexpr int kSnare = 38;
constexpr int kClosedHat = 42;
constexpr int kOpenHat = 46;
constexpr int kLowTom = 45;
constexpr int kHighTom = 48;
constexpr int kCrash = 49;
constexpr int kRide = 51;

// General MIDI programs (0-based).
constexpr int kMarimba = 12;
constexpr int kElectricPiano = 4;
constexpr int kOverdrivenGuitar = 29;
constexpr int kDistortionGuitar = 30;
constexpr int kAcousticBass = 32;
constexpr int kSynthBass1 = 38;
constexpr int kSynthBass2 = 39;
constexpr int kContrabass = 43;
constexpr int kHarp = 46;
constexpr int kTimpani = 47;
constexpr int kStrings = 48;
constexpr int kSynthStrings = 50;
constexpr int kChoir = 52;
constexpr int kBrassSection = 61;
constexpr int kSynthBrass = 62;
constexpr int kFlute = 73;
constexpr int kSawLead = 81;

Part part(std::string name, int channel, int program, int volume, int pan) {
  return {std::move(name), channel, program, volume, pan, {}};
}

}  // namespace

Song selectTheme() {
  Song song{"Select", 126.0, 4, 0, false, {}};
  enum { Lead, Bass, Mallets, Keys, Drums };
  song.parts = {part("Flute", 0, kFlute, 100, 64), part("Bass", 1, kAcousticBass, 100, 64),
                part("Marimba", 2, kMarimba, 80, 40), part("E.Piano", 3, kElectricPiano, 65, 90),
                part("Drums", kDrumChannel, 0, 85, 64)};
  Arranger a(song);

  const char* const tuneA =
      "e5q g5e e5e c5q d5e e5e | a5q. g5e e5q c5q | f5e a5e c6e a5e g5q f5q | d5e e5e f5e a5e g5h | "
      "e5q g5e c6e b5e a5e g5q | a5e c6e a5e e5e g5q. e5e";
  const std::vector<DrumLine> groove = {
      {kKick, "x.......x.x....."}, {kSideStick, "....x.......x..."}, {kClosedHat, "x.o.x.o.x.o.x.o."}};
  const std::vector<DrumLine> fill = {{kKick, "x.......x......."}, {kSnare, "....x.....x.xoxx"}};
  auto band = [&] {
    a.bass(Bass, "R--.5--.O--.5--.", 36, 92);
    a.arpeggio(Mallets, "0.1.2.3.4.3.2.1.", 60, 78);
    a.comp(Keys, "..x-..x-..x-..x-", Voicing::Close, 55, 70);
    a.hit(Drums, kCrash, 100);
    a.drums(Drums, groove, fill);
  };

  a.section("C | Am | F | G | C | Am | Dm G | C");
  a.melody(Lead, std::string(tuneA) + " | f5q a5q d5q b4q | c5h. rq", 100);
  band();

  a.section("F | G | Em Am | F G | Dm | Em | F | G7");
  a.melody(Lead,
           "a5h g5e f5e e5e f5e | g5h. d5q | e5q g5q a5q c6q | c6q. a5e b5q. g5e | "
           "a5e f5e d5e f5e a5q d6q | b5e g5e e5e g5e b5q e6q | d6q. c6e a5q f5q | g5q f5q e5q d5q",
           100);
  band();

  a.section("C | Am | F | G | C | Am | Dm G");
  a.melody(Lead, std::string(tuneA) + " | f5q a5q g5q b4q", 100);
  band();

  a.section("C");
  a.melody(Lead, "c5w", 100);
  a.bass(Bass, "R---------------", 36, 92);
  a.comp(Mallets, "x---------------", Voicing::Close, 60, 78);
  a.comp(Keys, "x---------------", Voicing::Close, 55, 70);
  a.hit(Drums, kCrash, 105);
  a.hit(Drums, kKick, 105);
  a.finish();
  return song;
}

Song titleTheme() {
  Song song{"Title", 100.0, 4, 2, false, {}};
  enum { Lead, Pad, Harp, Bass, Timpani, Drums };
  song.parts = {part("Brass", 0, kBrassSection, 105, 64), part("Strings", 1, kStrings, 80, 50),
                part("Harp", 2, kHarp, 78, 85),           part("Contrabass", 3, kContrabass, 95, 64),
                part("Timpani", 4, kTimpani, 90, 64),     part("Percussion", kDrumChannel, 0, 75, 64)};
  Arranger a(song);
  const std::vector<DrumLine> march = {{kKick, "x.......x......."}, {kSnare, "....o.......o..o"}};
  const std::vector<DrumLine> roll = {{kKick, "x.......x......."}, {kSnare, "....o...x.x.xxxx"}};
  auto orchestra = [&](const char* timpani) {
    a.comp(Pad, "x-------x-------", Voicing::Close, 57, 72);
    a.arpeggio(Harp, "0-1-2-3-4-3-2-1-", 50, 70);
    a.bass(Bass, "R-------5-------", 38, 90);
    a.bass(Timpani, timpani, 38, 88);
  };

  a.section("D | G A");
  a.melody(Lead, "d5e. d5s a5q d6q. a5e | b5q g5q a5h", 110);
  orchestra("R...R...R...RRRR");
  a.hit(Drums, kCrash, 100);

  a.section("D | Bm | G | A | D | F#m | G A | D");
  a.melody(Lead,
           "f#5h. e5e d5e | f#5q b5q a5q f#5q | g5q. f#5e e5q d5q | e5h. a4q | "
           "f#5h. e5e f#5e | a5q c#6q a5q f#5q | b5q. a5e g5q e5q | d5h. a4q",
           100);
  orchestra("R...............");
  a.hit(Drums, kCrash, 95);
  a.drums(Drums, march);

  a.section("Bm | G | D | A | Bm | D | Em A | D");
  a.melody(Lead,
           "d6h. c#6e b5e | d6q. b5e g5h | a5q f#5q d6q a5q | c#6h. a5q | "
           "d6h b5e c#6e d6e e6e | f#6q. e6e d6q b5q | g5q b5q a5q c#6q | d6h. a5q",
           104);
  orchestra("R.......R.......");
  a.hit(Drums, kCrash, 100);
  a.drums(Drums, march, roll);

  a.section("G A");
  a.melody(Lead, "b5q d6q c#6q e6q", 108);
  orchestra("R...R...R...RRRR");
  a.drums(Drums, roll);

  a.section("D");
  a.melody(Lead, "d6w", 112);
  a.comp(Pad, "x---------------", Voicing::Close, 57, 78);
  a.comp(Harp, "x---------------", Voicing::Close, 50, 74);
  a.bass(Bass, "R---------------", 38, 95);
  a.bass(Timpani, "R---------------", 38, 92);
  a.hit(Drums, kCrash, 110);
  a.finish();
  return song;
}

Song stageTheme() {
  Song song{"Stage", 152.0, 4, 1, true, {}};
  enum { Lead, Bass, Guitar, Pad, Drums };
  song.parts = {part("Saw Lead", 0, kSawLead, 92, 64), part("Synth Bass", 1, kSynthBass1, 105, 64),
                part("Guitar", 2, kOverdrivenGuitar, 78, 45), part("Synth Strings", 3, kSynthStrings, 62, 85),
                part("Drums", kDrumChannel, 0, 95, 64)};
  Arranger a(song);

  const std::vector<DrumLine> groove = {{kKick, "x.....x.x.x....."},
                                        {kSnare, "....x.......x..."},
                                        {kClosedHat, "x.x.x.x.x.x.x.o."},
                                        {kOpenHat, "..............x."}};
  const std::vector<DrumLine> fill = {
      {kKick, "x.....x.x......."}, {kSnare, "....x.......xoxx"}, {kClosedHat, "x.x.x.x.x.x....."}};
  auto rhythm = [&] {
    a.bass(Bass, "R-R-R-R-R-R-O-5-", 33, 96);
    a.comp(Guitar, "x--x--x-x--x--x-", Voicing::Power, 52, 82);
    a.hit(Drums, kCrash, 105);
    a.drums(Drums, groove, fill);
  };
  const char* const verse =
      "e5e e5e g5e e5e b5q a5e g5e | e5e c5e e5e g5e g5q. e5e | f#5e d5e f#5e a5e a5q. f#5e | "
      "b5q. a5e f#5q d5q | e5e e5e g5e e5e b5q d6e b5e | c6q. b5e g5q e5q | "
      "a5e c6e b5e a5e f#5e a5e d#5e f#5e | e5h. rq";

  a.section("Em | Em | C D | Em");
  rhythm();

  a.section("Em | C | D | Bm | Em | C | Am B | Em");
  a.melody(Lead, verse, 100);
  rhythm();

  a.section("C | D | Bm | Em | C | D | Am | B7");
  a.melody(Lead,
           "g5q. e5e g5q c6q | a5h. f#5q | b5q. d6e b5q f#5q | g5q. f#5e e5h | "
           "e6q. d6e c6q g5q | a5q. b5e c6q d6q | c6e b5e a5e g5e a5e b5e c6e e6e | d#6h b5h",
           104);
  a.comp(Pad, "x-------x-------", Voicing::Close, 59, 70);
  rhythm();

  a.section("Em | C | D | Bm | Em | C | Am B | Em");
  a.melody(Lead, verse, 100);
  rhythm();

  a.section("Am | B | C D");
  a.melody(Lead, "a5q. c6e e6q c6q | d#6q. b5e f#5h | g5q e5q f#5q a5q", 104);
  a.comp(Pad, "x-------x-------", Voicing::Close, 59, 70);
  a.bass(Bass, "R-R-R-R-R-R-O-5-", 33, 96);
  a.comp(Guitar, "x--x--x-x--x--x-", Voicing::Power, 52, 82);
  a.drums(Drums, groove, fill);

  a.section("Em");
  a.melody(Lead, "e5w", 104);
  a.comp(Pad, "x---------------", Voicing::Close, 59, 72);
  a.bass(Bass, "R---------------", 33, 100);
  a.comp(Guitar, "x---------------", Voicing::Power, 52, 86);
  a.hit(Drums, kCrash, 112);
  a.hit(Drums, kKick, 112);
  a.finish();
  return song;
}

Song bossTheme() {
  Song song{"Boss", 176.0, 4, -1, true, {}};
  enum { Lead, Bass, Guitar, Choir, Drums };
  song.parts = {part("Synth Brass", 0, kSynthBrass, 100, 64), part("Synth Bass", 1, kSynthBass2, 105, 64),
                part("Distortion Guitar", 2, kDistortionGuitar, 80, 42), part("Choir", 3, kChoir, 70, 86),
                part("Drums", kDrumChannel, 0, 95, 64)};
  Arranger a(song);

  const std::vector<DrumLine> groove = {
      {kKick, "x.x.x.x.x.x.x.x."}, {kSnare, "....x.......x..."}, {kRide, "x...x...x...x..."}};
  const std::vector<DrumLine> fill = {{kKick, "x.x.x.x.x......."},
                                      {kSnare, "....x...xx.x...."},
                                      {kHighTom, "............xx.."},
                                      {kLowTom, "..............xx"}};
  auto rhythm = [&] {
    a.bass(Bass, "R-RRR-RRR-RRR-RR", 31, 98);
    a.comp(Guitar, "x-.x-.x-.x-.x-x-", Voicing::Power, 50, 84);
    a.hit(Drums, kCrash, 108);
    a.drums(Drums, groove, fill);
  };
  const char* const theme =
      "d5e f5e a5e d6e c#6e d6e a5q | bb5q. a5e f5q d5q | g5e bb5e d6e g5e f5e e5e d5q | c#5q. e5e a5h | "
      "d6e c#6e d6e a5e f5e a5e d6q | f6q. e6e d6q bb5q | g5q bb5q a5q c#6q | d6h. rq";

  a.section("Dm | Dm | Bb A | Dm");
  rhythm();

  a.section("Dm | Bb | Gm | A | Dm | Bb | Gm A | Dm");
  a.melody(Lead, theme, 100);
  rhythm();

  a.section("Gm | Dm | Bb | A | Gm | Dm | Edim | A7");
  a.melody(Lead,
           "bb5h g5q bb5q | a5h. f5q | d6q. c6e bb5q f5q | e5h. c#5q | "
           "g5e a5e bb5e c6e d6q g6q | f6q. e6e d6h | e6q g6q bb5q c#6q | a5q g5q e5q c#5q",
           104);
  a.comp(Choir, "x-------x-------", Voicing::Close, 57, 74);
  rhythm();

  a.section("Dm | Bb | Gm | A | Dm | Bb | Gm A | Dm");
  a.melody(Lead, theme, 102);
  rhythm();

  a.section("Gm | A | Bb A");
  a.melody(Lead, "g5q. bb5e d6q g6q | f6q. e6e c#6h | d6q f6q e6q c#6q", 106);
  a.comp(Choir, "x-------x-------", Voicing::Close, 57, 76);
  a.bass(Bass, "R-RRR-RRR-RRR-RR", 31, 98);
  a.comp(Guitar, "x-.x-.x-.x-.x-x-", Voicing::Power, 50, 84);
  a.drums(Drums, groove, fill);

  a.section("Dm");
  a.melody(Lead, "d6w", 108);
  a.comp(Choir, "x---------------", Voicing::Close, 57, 80);
  a.bass(Bass, "R---------------", 31, 104);
  a.comp(Guitar, "x---------------", Voicing::Power, 50, 88);
  a.hit(Drums, kCrash, 115);
  a.hit(Drums, kKick, 115);
  a.finish();
  return song;
}

std::vector<Tune> makeTunes() {
  std::vector<Tune> tunes;
  tunes.push_back({"select.mid", "cheerful menu theme in C major (flute, marimba, bass, light drums)", selectTheme()});
  tunes.push_back({"title.mid", "broad title theme in D major (brass, strings, harp, timpani)", titleTheme()});
  tunes.push_back(
      {"bgm.mid", "driving in-game theme in E minor (saw lead, synth bass, guitar, rock drums)", stageTheme()});
  tunes.push_back(
      {"fbgm.mid", "faster, darker boss theme in D minor (synth brass, galloping bass, choir)", bossTheme()});
  return tunes;
}

}  // namespace qs::mediagen
