// The playing song on the audio side: libopenmpt renders it, and the sync commands of each row it
// enters are handed out as events. Only the audio thread calls a player while it plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/xm_syncs.h"

struct openmpt_module;

// A module as loaded: its file bytes and the sync commands of its pattern data.
struct LoadedModule {
    std::vector<std::uint8_t> bytes;
    XmSongLayout layout;  // empty when the data is not XM: it plays, without syncs
};

struct SyncEvent {
    std::uint32_t value;
    std::uint32_t order;
    std::uint32_t row;
    double rowStart;  // frames from the song's start to this pass of the row
};

struct PlayPosition {
    std::uint32_t order;
    std::uint32_t pattern;
    std::uint32_t row;
};

// Frames of one slice: the order and row are compared after each, so a sync fires at most this
// late. Rows are longer than this at every tempo a module can set.
constexpr int playerSliceFrames = 64;
// A row has at most one cell per channel, and a module at most 128 channels.
constexpr int maxSyncsPerRow = 128;

class MusicPlayer {
public:
    // Null when libopenmpt cannot play the data. Made on any thread, then handed to the audio side.
    static std::unique_ptr<MusicPlayer> Create(std::shared_ptr<const LoadedModule> module, bool loopSong, int rate);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // Order `order`, row 0 (0 when past the last order); that row's syncs fire after the next slice.
    void JumpTo(std::int32_t order);
    // Renders up to playerSliceFrames frames of interleaved stereo (silence after a song that does
    // not loop has ended) and writes the syncs of the row whose pass began in them, in channel
    // order, into `events`; returns their count. A row that plays again (a jump to itself, a
    // pattern loop, a one-row song starting over) begins a pass each time; a pattern delay makes
    // one pass longer.
    int RenderSlice(float* samples, int frames, SyncEvent (&events)[maxSyncsPerRow]);

    PlayPosition Position() const { return position_; }
    std::uint32_t LoopCount() const { return loops_; }
    // A song that does not loop has played to its end.
    bool Ended() const { return ended_; }

private:
    MusicPlayer(std::shared_ptr<const LoadedModule> module, openmpt_module* decoder, int rate, bool loopSong);
    int SyncsOfRow(std::uint32_t order, std::uint32_t row, SyncEvent (&events)[maxSyncsPerRow]) const;
    // Starts a pass of the current row at frame `start`: its length and whether it may play again.
    void BeginPass(double start);

    std::shared_ptr<const LoadedModule> module_;
    openmpt_module* decoder_;
    int rate_;
    PlayPosition position_{0, 0, 0};
    bool entered_ = false;  // false until the current row's syncs have fired
    bool jumped_ = false;   // the last row change came from JumpTo, not from the song
    std::uint32_t loops_ = 0;

    // libopenmpt tells the row but not the tick, so a row that follows itself is seen by its
    // length: speed × (1 + pattern delay) ticks of 2.5 / tempo s. Only a row with a jump or a
    // loop, or the song's last, can follow itself; the others are never taken for a second pass.
    double frames_ = 0;     // rendered since the song began
    double rowStart_ = 0;   // frame at which the current pass began
    double rowFrames_ = 0;  // its length; 0 when unknown (speed or tempo 0)
    bool mayRepeat_ = false;
    bool repeatIsLoop_ = false;  // a second pass of the song's last row without a jump: the song starts over
    double endFrame_ = -1;       // a song that does not loop: where its one pass ends
    bool ended_ = false;
};
