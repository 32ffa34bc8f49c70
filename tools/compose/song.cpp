// The composition, in A minor at 150 beats per minute: speed 6 at 150 BPM makes a row 100 ms, a
// beat 4 rows (400 ms) and a bar 16 rows (1.6 s). 100 bars, 160 s, then the song starts over.
//
//   bars   section        chords (2 bars each)      scene counts
//    0-11  intro          Am F C G Dm E             (the first picture fades in over 19.2 s)
//   12-19  cross-fade     F G Em Am                 1 at bar 12
//   20-27  tension        Dm F Esus4 E              2 at bar 20 (logo sweep), a beat of silence at the end
//   28-35  drop           Am F C G                  3 at bar 28 (white flash, field lines, echo off)
//   36-83  greetings      six phrases of 8 bars     4 at bar 36 (dot cube), 5..26 every 2 bars from 38
//   84-91  second sweep   F G Esus4 E               27 at 82, 28 a beat before 84, 29 at 84, 30 at 88
//   92-99  flash, outro   Am Am F E                 31 at bar 92 (final flash, 7.5 s)
#include "tools/compose/song.h"

#include "tools/compose/instruments.h"

#include <array>
#include <stdexcept>
#include <string>

namespace compose {
namespace {

constexpr int rowsPerBeat = 4;
constexpr int rowsPerBar = 16;
constexpr int rowsPerPattern = 64;
constexpr int songBars = 100;
constexpr int songRows = songBars * rowsPerBar;

enum Channel {
    syncChannel,  // the cue sheet, and nothing else
    kickChannel,
    snareChannel,
    hatChannel,
    bassChannel,
    padChannel,  // three channels, one chord voice each
    leadChannel = padChannel + 3,
    harmonyChannel,
    arpChannel,
    fxChannel,
    channelCount,
};

int Row(int bar, int step = 0) { return bar * rowsPerBar + step; }

// A value that moves from `from` to `to` as `i` goes from 0 to `n`.
int Ramp(int from, int to, int i, int n) { return n <= 0 ? to : from + (to - from) * i / n; }

// The song as one long grid of rows, cut into patterns at the end.
class Score {
public:
    Score() : cells_(std::size_t{songRows} * channelCount) {}

    xm::Cell& At(int channel, int row) {
        if (channel < 0 || channel >= channelCount || row < 0 || row >= songRows)
            throw std::out_of_range("cell " + std::to_string(channel) + "/" + std::to_string(row));
        return cells_[std::size_t(row) * channelCount + std::size_t(channel)];
    }

    // `midi` is the MIDI key number (60 = C4); XM counts C-0 as 1, so C-4 is 49.
    void Note(int channel, int row, int midi, Instrument instrument, int volume) {
        const int note = midi - 11;
        if (note < 1 || note > 96) throw std::out_of_range("note " + std::to_string(midi));
        xm::Cell& cell = At(channel, row);
        cell.note = static_cast<std::uint8_t>(note);
        cell.instrument = instrument;
        Volume(channel, row, volume);
    }
    void Volume(int channel, int row, int volume) {
        if (volume < 0 || volume > 64) throw std::out_of_range("volume " + std::to_string(volume));
        At(channel, row).volume = static_cast<std::uint8_t>(0x10 + volume);
    }
    void Effect(int channel, int row, std::uint8_t effect, std::uint8_t param) {
        At(channel, row).effect = effect;
        At(channel, row).param = param;
    }
    // A note already on that row ends the previous one anyway, so it stays.
    void Release(int channel, int row) {
        if (row < songRows && At(channel, row).note == 0) At(channel, row).note = xm::keyOff;
    }
    void Cut(int channel, int row) { Effect(channel, row, xm::effectExtended, 0xC0); }

    // Patterns of 64 rows; a block that repeats an earlier one reuses its pattern.
    void Split(std::vector<xm::Pattern>& patterns, std::vector<std::uint8_t>& orders) const {
        for (int first = 0; first < songRows; first += rowsPerPattern) {
            xm::Pattern pattern;
            pattern.rows = rowsPerPattern;
            const auto begin = cells_.begin() + std::ptrdiff_t(first) * channelCount;
            pattern.cells.assign(begin, begin + std::ptrdiff_t(rowsPerPattern) * channelCount);
            std::size_t index = 0;
            while (index < patterns.size() && !(patterns[index] == pattern)) ++index;
            if (index == patterns.size()) patterns.push_back(pattern);
            orders.push_back(static_cast<std::uint8_t>(index));
        }
    }

private:
    std::vector<xm::Cell> cells_;
};

// A chord: the bass root, a three-voice pad in close position around middle C, and four tones
// for the arpeggio (played an octave up).
struct Chord {
    int bass;
    std::array<int, 3> pad;
    std::array<int, 4> arp;
    bool operator==(const Chord&) const = default;
};

const Chord Am{45, {57, 60, 64}, {57, 60, 64, 69}};
const Chord F{41, {57, 60, 65}, {53, 57, 60, 65}};
const Chord C{36, {55, 60, 64}, {55, 60, 64, 67}};
const Chord G{43, {55, 59, 62}, {55, 59, 62, 67}};
const Chord Dm{38, {57, 62, 65}, {57, 62, 65, 69}};
const Chord E{40, {56, 59, 64}, {56, 59, 64, 68}};
const Chord Em{40, {55, 59, 64}, {55, 59, 64, 67}};
const Chord Esus4{40, {57, 59, 64}, {57, 59, 64, 69}};

// The two tunes, as "note rows" items; "|" is a bar line (16 rows) and "-" a rest.
// Theme A fits Am Am F F C C G G; theme B fits F F G G Em Em Am Am.
const char* const themeA =
    "E5 6, D5 2, C5 4, D5 4 | E5 8, A4 4, C5 4 | F5 6, E5 2, D5 4, C5 4 | A4 12, C5 4 |"
    "G5 6, F5 2, E5 4, D5 4 | E5 8, C5 4, E5 4 | D5 6, C5 2, B4 4, G4 4 | B4 8, C5 4, D5 4";
const char* const themeB =
    "A4 8, C5 8 | F5 12, E5 4 | D5 8, B4 8 | G5 12, F5 4 |"
    "E5 8, G5 8 | B5 12, A5 4 | G5 4, E5 4, C5 4, B4 4 | A4 16";
const char* const themeBOpening = "A4 8, C5 8 | F5 12, E5 4 | D5 8, B4 8 | G5 12, F5 4";
const char* const ending = "E5 6, D5 2, C5 4, B4 4 | A4 16";

struct MelodyNote {
    int row;     // from the start of the tune
    int midi;    // 0 for a rest
    int length;  // rows
};

int ParseNoteName(const std::string& name) {
    static const int semitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument("note " + name);
    int midi = semitone[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#') {
        ++midi;
        ++at;
    }
    return midi + 12 * (std::stoi(name.substr(at)) + 1);
}

std::vector<MelodyNote> ParseMelody(const std::string& text) {
    std::vector<MelodyNote> notes;
    int row = 0, barStart = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of(",|", at);
        const std::string item = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        const std::size_t first = item.find_first_not_of(' ');
        if (first != std::string::npos) {
            const std::size_t space = item.find(' ', first);
            const std::string name = item.substr(first, space - first);
            const int length = std::stoi(item.substr(space));
            notes.push_back({row, name == "-" ? 0 : ParseNoteName(name), length});
            row += length;
        }
        if (end == std::string::npos || text[end] == '|') {
            if (row - barStart != rowsPerBar)
                throw std::invalid_argument("bar of " + std::to_string(row - barStart) + " rows");
            barStart = row;
        }
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return notes;
}

struct Song {
    Score score;
    std::array<Chord, songBars> chords{};

    const Chord& ChordAt(int row) const { return chords[std::size_t(row / rowsPerBar)]; }

    // Each chord of the list lasts `barsEach` bars from `firstBar` on.
    void Harmony(int firstBar, std::initializer_list<Chord> list, int barsEach = 2) {
        int bar = firstBar;
        for (const Chord& chord : list)
            for (int i = 0; i < barsEach; ++i) chords[std::size_t(bar++)] = chord;
    }

    // The pad: new notes where the chord changes, the three voices spread across the stereo field;
    // the volume follows the ramp beat by beat.
    void Pad(int firstBar, int bars, int volumeFrom, int volumeTo) {
        static const std::uint8_t pans[3] = {72, 128, 184};
        const int first = Row(firstBar), count = bars * rowsPerBar;
        for (int i = 0; i < count; i += rowsPerBeat) {
            const int row = first + i;
            const int volume = Ramp(volumeFrom, volumeTo, i, count);
            const bool change = i == 0 || !(ChordAt(row) == ChordAt(row - 1));
            for (int v = 0; v < 3; ++v) {
                if (change) {
                    score.Note(padChannel + v, row, ChordAt(row).pad[std::size_t(v)], pad, volume);
                    score.Effect(padChannel + v, row, xm::effectPanning, pans[v]);
                } else {
                    score.Volume(padChannel + v, row, volume);
                }
            }
        }
    }

    // Chord tones an octave up, one every `step` rows (1: sixteenths, 2: eighths).
    void Arpeggio(int firstBar, int bars, int step, int volumeFrom, int volumeTo) {
        static const int order[8] = {0, 1, 2, 3, 1, 2, 3, 2};
        const int first = Row(firstBar), count = bars * rowsPerBar;
        for (int i = 0; i < count; i += step) {
            const int tone = order[(i / step) % 8];
            score.Note(arpChannel, first + i, ChordAt(first + i).arp[std::size_t(tone)] + 12, pluck,
                       Ramp(volumeFrom, volumeTo, i, count));
        }
    }

    // The driving bass: three plucks on the sixteenths between the kicks of every beat.
    void RollingBass(int firstBar, int bars, int volume) {
        for (int i = 0; i < bars * rowsPerBar; ++i) {
            const int row = Row(firstBar) + i;
            if (i % rowsPerBeat == 0) continue;
            score.Note(bassChannel, row, ChordAt(row).bass, bass, i % 2 ? volume - 6 : volume);
        }
    }

    // Plucked bass on every eighth, rising in volume.
    void EighthBass(int firstBar, int bars, int volumeFrom, int volumeTo) {
        const int count = bars * rowsPerBar;
        for (int i = 0; i < count; i += 2) {
            const int row = Row(firstBar) + i;
            score.Note(bassChannel, row, ChordAt(row).bass, bass, Ramp(volumeFrom, volumeTo, i, count));
        }
    }

    // A held sub bass, one note per chord, released at the end.
    void SubBass(int firstBar, int bars, int volumeFrom, int volumeTo) {
        const int first = Row(firstBar), count = bars * rowsPerBar;
        for (int i = 0; i < count; i += rowsPerBeat) {
            const int row = first + i;
            const int volume = Ramp(volumeFrom, volumeTo, i, count);
            if (i == 0 || !(ChordAt(row) == ChordAt(row - 1)))
                score.Note(bassChannel, row, ChordAt(row).bass - 12, subBass, volume);
            else
                score.Volume(bassChannel, row, volume);
        }
        score.Release(bassChannel, first + count);
    }

    // One drum line over `bars` bars: a 16-step pattern per bar, "x" a hit and "o" a soft one.
    void Drum(int channel, Instrument instrument, int firstBar, int bars, const char* steps, int volumeFrom,
              int volumeTo) {
        const int count = bars * rowsPerBar;
        for (int i = 0; i < count; ++i) {
            const char step = steps[i % rowsPerBar];
            if (step == '.') continue;
            const int volume = Ramp(volumeFrom, volumeTo, i, count);
            score.Note(channel, Row(firstBar) + i, 60, instrument, step == 'x' ? volume : volume / 2);
        }
    }

    void Crash(int bar, int volume) { score.Note(fxChannel, Row(bar), 60, crash, volume); }

    // Rising noise until `endRow`; whatever plays next on its channel stops it.
    void Riser(int firstBar, int endRow, int volumeFrom, int volumeTo) {
        const int first = Row(firstBar), count = endRow - first;
        score.Note(fxChannel, first, 60, riser, volumeFrom);
        for (int i = 0; i < count; ++i) {
            if (i > 0) score.Volume(fxChannel, first + i, Ramp(volumeFrom, volumeTo, i, count));
            score.Effect(fxChannel, first + i, xm::effectPortaUp, 1);  // 5/16 semitone per row
        }
    }

    // Silence on every tonal channel from `row`, the beat before a drop.
    void Break(int row) {
        for (int channel : {int(bassChannel), int(padChannel), padChannel + 1, padChannel + 2, int(leadChannel),
                            int(harmonyChannel), int(arpChannel), int(fxChannel)})
            score.Cut(channel, row);
    }

    // A tune from `firstBar` on. With `harmony` set, the voice follows it with the highest chord tone
    // at least a minor third below each note. The last note is released where the tune ends.
    void Melody(int channel, int firstBar, const char* text, Instrument instrument, int volume, int transpose = 0,
                bool harmony = false) {
        int end = Row(firstBar);
        for (const MelodyNote& n : ParseMelody(text)) {
            const int row = Row(firstBar) + n.row;
            end = row + n.length;
            if (n.midi == 0) {
                score.Release(channel, row);
                continue;
            }
            int midi = n.midi + transpose;
            if (harmony) midi = ToneBelow(ChordAt(row), midi - 3);
            score.Note(channel, row, midi, instrument, volume);
        }
        score.Release(channel, end);
    }

    static int ToneBelow(const Chord& chord, int ceiling) {
        int best = 0;
        for (int tone : chord.pad)
            for (int octave = -24; octave <= 24; octave += 12)
                if (tone + octave <= ceiling && tone + octave > best) best = tone + octave;
        return best;
    }

    // Sparse falling chord tones, one figure per two bars.
    void Bells(int channel, int firstBar, int bars, int volumeFrom, int volumeTo) {
        static const struct { int step, tone; } figure[] = {{0, 3}, {6, 2}, {12, 1}, {24, 2}};
        const int count = bars * rowsPerBar;
        for (int start = 0; start < count; start += 2 * rowsPerBar) {
            for (const auto& f : figure) {
                const int row = Row(firstBar) + start + f.step;
                score.Note(channel, row, ChordAt(row).arp[std::size_t(f.tone)] + 12, bell,
                           Ramp(volumeFrom, volumeTo, start + f.step, count));
            }
        }
    }

    // Kick on every beat, snare on 2 and 4, sixteenth hats with an open hat on the offbeat, the
    // rolling bass, pad and arpeggio: the full beat of the drop and the greetings.
    void FullBeat(int firstBar, int bars) {
        Drum(kickChannel, kick, firstBar, bars, "x...x...x...x...", 64, 64);
        Drum(snareChannel, snare, firstBar, bars, "....x.......x...", 56, 56);
        HatsWithOpen(firstBar, bars, 26);
        RollingBass(firstBar, bars, 50);
        Pad(firstBar, bars, 22, 22);
        Arpeggio(firstBar, bars, 1, 20, 20);
    }

    void HatsWithOpen(int firstBar, int bars, int volume) {
        Drum(hatChannel, closedHat, firstBar, bars, "xo.oxo.oxo.oxo.o", volume, volume);
        Drum(hatChannel, openHat, firstBar, bars, "..x...x...x...x.", volume, volume);
    }

    // A snare roll that doubles its speed every stretch and grows louder, ending a beat early.
    void SnareBuild(int firstBar, int volumeFrom, int volumeTo) {
        Drum(snareChannel, snare, firstBar, 2, "x...x...x...x...", volumeFrom, (volumeFrom + volumeTo) / 2);
        Drum(snareChannel, snare, firstBar + 2, 1, "x.x.x.x.x.x.x.x.", (volumeFrom + volumeTo) / 2, volumeTo - 8);
        Drum(snareChannel, snare, firstBar + 3, 1, "xxxxxxxxxxxx....", volumeTo - 8, volumeTo);
    }

    void Cue(int row, int value) {
        xm::Cell& cell = score.At(syncChannel, row);
        if (cell.effect == xm::effectSync) throw std::logic_error("two cues on row " + std::to_string(row));
        score.Effect(syncChannel, row, xm::effectSync, static_cast<std::uint8_t>(value));
    }
};

void Intro(Song& song) {
    song.Harmony(0, {Am, F, C, G, Dm, E});
    song.Pad(0, 12, 8, 30);
    song.Bells(harmonyChannel, 4, 8, 14, 24);
    song.SubBass(8, 4, 16, 28);
    song.Arpeggio(8, 4, 2, 6, 16);
    song.Drum(hatChannel, closedHat, 10, 2, "..x...x...x...x.", 6, 14);
    song.Riser(10, Row(12), 4, 20);
}

// The second picture: the beat appears at half time under the second tune.
void Crossfade(Song& song) {
    song.Harmony(12, {F, G, Em, Am});
    song.Crash(12, 28);
    song.Pad(12, 8, 26, 26);
    song.SubBass(12, 8, 26, 26);
    song.Melody(leadChannel, 12, themeB, lead, 30);
    song.Arpeggio(12, 8, 1, 16, 16);
    song.Drum(kickChannel, kick, 12, 8, "x.......x.......", 36, 40);
    song.Drum(hatChannel, closedHat, 12, 8, "x.o.x.o.x.o.x.o.", 18, 18);
    song.Drum(hatChannel, openHat, 12, 8, "..............x.", 16, 16);
}

// Under the light rays: a dominant pedal, and the beat and a riser building to a beat of silence.
void Tension(Song& song) {
    song.Harmony(20, {Dm, F, Esus4, E});
    song.Crash(20, 32);
    song.Pad(20, 8, 26, 30);
    song.EighthBass(20, 8, 24, 40);
    song.Arpeggio(20, 8, 1, 12, 26);
    song.Drum(kickChannel, kick, 20, 4, "x.......x.......", 44, 48);
    song.Drum(kickChannel, kick, 24, 3, "x...x...x...x...", 52, 60);
    song.Drum(kickChannel, kick, 27, 1, "x...x...x.......", 60, 60);
    song.Drum(snareChannel, snare, 20, 4, "............x...", 24, 32);
    song.SnareBuild(24, 18, 48);
    song.Drum(hatChannel, closedHat, 20, 4, "..x...x...x...x.", 14, 14);
    song.Drum(hatChannel, closedHat, 24, 4, "xoxoxoxoxoxo....", 14, 22);
    song.Riser(24, Row(27, 12), 6, 32);
    song.Break(Row(27, 12));
}

// The drop: the flash, the field lines, the dry mix, the first tune on the full beat.
void Drop(Song& song) {
    song.Harmony(28, {Am, F, C, G});
    song.Crash(28, 56);
    song.FullBeat(28, 8);
    song.Melody(leadChannel, 28, themeA, lead, 46);
}

// Six phrases of eight bars under the dot cube and the greetings.
void Greetings(Song& song) {
    song.Harmony(36, {F, G, Em, Am});
    song.Crash(36, 48);
    song.FullBeat(36, 8);
    song.Melody(leadChannel, 36, themeB, lead, 44);

    song.Harmony(44, {Am, F, C, G});
    song.Crash(44, 44);
    song.FullBeat(44, 8);
    song.Melody(leadChannel, 44, themeA, lead, 46);
    song.Melody(harmonyChannel, 44, themeA, lead, 26, 0, true);

    song.Harmony(52, {F, G, Em, Am});
    song.Crash(52, 44);
    song.FullBeat(52, 8);
    song.Melody(leadChannel, 52, themeB, lead, 44);
    song.Melody(harmonyChannel, 52, themeB, lead, 26, 0, true);

    // A lighter phrase: no snare and no tune, bells over the pad, then a roll back in.
    song.Harmony(60, {Dm, F, Am, E});
    song.Crash(60, 36);
    song.Drum(kickChannel, kick, 60, 8, "x...x...x...x...", 56, 56);
    song.Drum(hatChannel, openHat, 60, 8, "..x...x...x...x.", 20, 20);
    song.RollingBass(60, 8, 42);
    song.Pad(60, 8, 30, 30);
    song.Arpeggio(60, 8, 1, 24, 24);
    song.Bells(harmonyChannel, 60, 6, 28, 28);
    song.Drum(snareChannel, snare, 66, 1, "x...x...x...x...", 20, 30);
    song.Drum(snareChannel, snare, 67, 1, "x.x.x.x.xxxxxxxx", 30, 48);

    song.Harmony(68, {Am, F, C, G});
    song.Crash(68, 48);
    song.FullBeat(68, 8);
    song.Melody(leadChannel, 68, themeA, lead, 46);
    song.Melody(harmonyChannel, 68, themeA, lead, 26, 0, true);

    // The last phrase doubles the tune an octave up.
    song.Harmony(76, {Am, F, C, G});
    song.Crash(76, 48);
    song.FullBeat(76, 8);
    song.Melody(leadChannel, 76, themeA, lead, 36, 12);
    song.Melody(harmonyChannel, 76, themeA, lead, 30);
    song.Drum(snareChannel, snare, 83, 1, "....x...x.x.xxxx", 36, 50);
}

// The second sweep: the opening of the second tune without drums, then a build to the last flash.
void SecondSweep(Song& song) {
    song.Harmony(84, {F, G, Esus4, E});
    song.Crash(84, 40);
    song.Pad(84, 8, 34, 34);
    song.SubBass(84, 4, 30, 30);
    song.EighthBass(88, 4, 32, 48);
    song.Arpeggio(84, 8, 1, 20, 30);
    song.Melody(leadChannel, 84, themeBOpening, lead, 36);
    song.Drum(hatChannel, openHat, 84, 4, "..x...x...x...x.", 16, 16);
    song.Drum(hatChannel, closedHat, 88, 4, "xoxoxoxoxoxo....", 14, 24);
    song.Drum(kickChannel, kick, 88, 3, "x...x...x...x...", 52, 60);
    song.Drum(kickChannel, kick, 91, 1, "x...x...x.......", 60, 60);
    song.SnareBuild(88, 20, 56);
    song.Riser(88, Row(91, 12), 6, 40);
    song.Break(Row(91, 12));
}

// The final flash on the tonic, then the layers fall away, ending on E so that the intro's Am
// resolves it when the song starts over.
void Outro(Song& song) {
    song.Harmony(92, {Am, Am, F, E});
    song.Crash(92, 60);
    song.Drum(kickChannel, kick, 92, 2, "x...x...x...x...", 64, 64);
    song.Drum(snareChannel, snare, 92, 2, "....x.......x...", 56, 48);
    song.HatsWithOpen(92, 2, 26);
    song.RollingBass(92, 2, 50);
    song.SubBass(94, 6, 30, 12);
    song.score.Release(bassChannel, Row(99, 8));  // nothing may hold on into the intro
    song.Pad(92, 8, 30, 8);
    song.Arpeggio(92, 8, 1, 22, 6);
    song.Melody(leadChannel, 92, ending, lead, 44);
    song.Bells(harmonyChannel, 94, 6, 20, 10);
}

// Scene counts (sync value 0) and the beats (sync value 2) on which the dot cube pulses and a
// waiting greeting appears. A beat that carries a count gets no beat sync: the count itself
// pulses the cube, and its text appears on the next beat.
void CueSheet(Song& song) {
    std::vector<int> counts = {Row(12), Row(20), Row(28), Row(36)};
    for (int n = 5; n <= 26; ++n) counts.push_back(Row(38 + 2 * (n - 5)));
    for (int row : {Row(82), Row(84) - rowsPerBeat, Row(84), Row(88), Row(92)}) counts.push_back(row);
    for (int row : counts) song.Cue(row, 0);
    for (int row = counts[3] + rowsPerBeat; row < counts.back(); row += rowsPerBeat)
        if (song.score.At(syncChannel, row).effect != xm::effectSync) song.Cue(row, 2);
}

}  // namespace

xm::Module ComposeSong() {
    Song song;
    Intro(song);
    Crossfade(song);
    Tension(song);
    Drop(song);
    Greetings(song);
    SecondSweep(song);
    Outro(song);
    CueSheet(song);

    xm::Module module;
    module.name = "quendralis";
    module.channels = channelCount;
    module.speed = 6;
    module.bpm = 150;
    module.instruments = MakeInstruments();
    song.score.Split(module.patterns, module.orders);
    return module;
}

}  // namespace compose
