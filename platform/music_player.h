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
    XmSongLayout layout;   // empty when the data is not XM: it plays, without syncs
};

struct SyncEvent {
    std::uint32_t value;
    std::uint32_t order;
    std::uint32_t row;
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
    // not loop has ended) and writes the syncs of the row it entered, in channel order, into
    // `events`; returns their count.
    int RenderSlice(float* samples, int frames, SyncEvent (&events)[maxSyncsPerRow]);

    PlayPosition Position() const { return position_; }
    std::uint32_t LoopCount() const { return loops_; }

private:
    MusicPlayer(std::shared_ptr<const LoadedModule> module, openmpt_module* decoder, int rate);
    int SyncsOfRow(std::uint32_t order, std::uint32_t row, SyncEvent (&events)[maxSyncsPerRow]) const;

    std::shared_ptr<const LoadedModule> module_;
    openmpt_module* decoder_;
    int rate_;
    PlayPosition position_{0, 0, 0};
    bool entered_ = false;    // false until the current row's syncs have fired
    bool jumped_ = false;     // the last row change came from JumpTo, not from the song
    std::uint32_t loops_ = 0;
};
