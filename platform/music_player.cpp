// The playing song over libopenmpt, and the time table of a module's syncs.
#include "platform/music_player.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>

#include "platform/midas_layer.h"

namespace {

openmpt_module* OpenDecoder(const std::uint8_t* data, std::size_t size) {
    if (!data || size == 0) return nullptr;
    int error = 0;
    const char* message = nullptr;
    openmpt_module* decoder = openmpt_module_create_from_memory2(
        data, size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr, &error, &message, nullptr);
    openmpt_free_string(message);  // the reason is not reported: a module that does not open is a failed load
    return decoder;
}

// The syncs of one pattern row, in channel order; `syncs` is sorted by pattern, row and channel.
std::pair<std::vector<XmSyncCell>::const_iterator, std::vector<XmSyncCell>::const_iterator> SyncsAt(
    const XmSongLayout& layout, std::uint32_t order, std::uint32_t row) {
    const auto end = layout.syncs.end();
    if (order >= layout.orders.size()) return {end, end};
    const std::uint16_t pattern = layout.orders[order];
    const auto before = [](const XmSyncCell& c, std::pair<std::uint32_t, std::uint32_t> at) {
        return c.pattern < at.first || (c.pattern == at.first && c.row < at.second);
    };
    const auto first = std::lower_bound(layout.syncs.begin(), end, std::pair{std::uint32_t{pattern}, row}, before);
    auto last = first;
    while (last != end && last->pattern == pattern && last->row == row) ++last;
    return {first, last};
}

}  // namespace

std::unique_ptr<MusicPlayer> MusicPlayer::Create(std::shared_ptr<const LoadedModule> module, bool loopSong, int rate) {
    if (!module) return nullptr;
    openmpt_module* decoder = OpenDecoder(module->bytes.data(), module->bytes.size());
    if (!decoder) return nullptr;
    // -1: the song starts over at its end for ever; 0: it plays once.
    openmpt_module_set_repeat_count(decoder, loopSong ? -1 : 0);
    return std::unique_ptr<MusicPlayer>(new MusicPlayer(std::move(module), decoder, rate, loopSong));
}

MusicPlayer::MusicPlayer(std::shared_ptr<const LoadedModule> module, openmpt_module* decoder, int rate, bool loopSong)
    : module_(std::move(module)), decoder_(decoder), rate_(rate) {
    // Past the end of its one pass a song that does not loop fades out: no row of it begins a pass.
    if (!loopSong) endFrame_ = openmpt_module_get_duration_seconds(decoder_) * rate_;
}

MusicPlayer::~MusicPlayer() { openmpt_module_destroy(decoder_); }

void MusicPlayer::JumpTo(std::int32_t order) {
    if (order < 0 || order >= openmpt_module_get_num_orders(decoder_)) order = 0;
    openmpt_module_set_position_order_row(decoder_, order, 0);
    entered_ = false;
    jumped_ = true;
    endFrame_ = -1;  // the song goes on from there; its one pass is not the one measured
}

void MusicPlayer::BeginPass(double start) {
    const XmSongLayout& layout = module_->layout;
    const std::uint32_t lastOrder = layout.orders.empty() ? 0 : static_cast<std::uint32_t>(layout.orders.size() - 1);
    const bool lastRow = position_.order == lastOrder && position_.pattern < layout.patternRows.size() &&
                         position_.row + 1u == layout.patternRows[position_.pattern];
    const XmRowTiming timing =
        TimingOf(layout, static_cast<std::uint16_t>(position_.pattern), static_cast<std::uint16_t>(position_.row));
    const std::int32_t speed = openmpt_module_get_current_speed(decoder_);
    const std::int32_t tempo = openmpt_module_get_current_tempo(decoder_);
    rowStart_ = start;
    rowFrames_ = speed > 0 && tempo > 0 ? speed * (1.0 + timing.delay) * rate_ * 2.5 / tempo : 0;
    mayRepeat_ = rowFrames_ > 0 && (timing.jumps || lastRow);
    repeatIsLoop_ = !timing.jumps;
}

int MusicPlayer::RenderSlice(float* samples, int frames, SyncEvent (&events)[maxSyncsPerRow]) {
    frames = std::clamp(frames, 0, playerSliceFrames);
    const std::size_t done =
        openmpt_module_read_interleaved_float_stereo(decoder_, rate_, static_cast<std::size_t>(frames), samples);
    std::fill(samples + 2 * done, samples + 2 * frames, 0.0f);
    if (done == 0) {  // a song that does not loop has ended
        ended_ = true;
        return 0;
    }
    const double sliceStart = frames_;
    frames_ += static_cast<double>(done);

    const std::int32_t order = openmpt_module_get_current_order(decoder_);
    const std::int32_t row = openmpt_module_get_current_row(decoder_);
    const std::int32_t pattern = openmpt_module_get_current_pattern(decoder_);
    if (order < 0 || row < 0) return 0;
    const PlayPosition now{static_cast<std::uint32_t>(order), static_cast<std::uint32_t>(std::max(pattern, 0)),
                           static_cast<std::uint32_t>(row)};
    const double nextPass = rowStart_ + rowFrames_;
    if (entered_ && now.order == position_.order && now.row == position_.row) {
        // The same row: a new pass once its length is over, in the slice holding that frame.
        if (!mayRepeat_ || !(nextPass + 0.5 < frames_)) return 0;
        if (repeatIsLoop_) ++loops_;
        BeginPass(nextPass);
    } else {
        // Going back without a jump asked for is the song starting over.
        const bool back = now.order < position_.order || (now.order == position_.order && now.row < position_.row);
        if (entered_ && !jumped_ && back) ++loops_;
        // A row that follows the last one's length began when that length ended; after a jump, or
        // when that does not fall in this slice (an effect the length does not see), with the slice.
        const bool onTime =
            entered_ && !jumped_ && rowFrames_ > 0 && nextPass > sliceStart - 1 && nextPass < frames_ + 1;
        position_ = now;
        entered_ = true;
        jumped_ = false;
        BeginPass(onTime ? nextPass : sliceStart);
    }
    if (endFrame_ >= 0 && rowStart_ + 0.5 >= endFrame_) return 0;
    return SyncsOfRow(now.order, now.row, events);
}

int MusicPlayer::SyncsOfRow(std::uint32_t order, std::uint32_t row, SyncEvent (&events)[maxSyncsPerRow]) const {
    const auto [first, last] = SyncsAt(module_->layout, order, row);
    int count = 0;
    for (auto c = first; c != last && count < maxSyncsPerRow; ++c) events[count++] = {c->value, order, row, rowStart_};
    return count;
}

std::vector<MidasCue> MidasListCues(const std::uint8_t* data, std::size_t size) {
    std::vector<MidasCue> cues;
    auto module = std::make_shared<LoadedModule>();
    if (!data || size == 0) return cues;
    module->bytes.assign(data, data + size);
    if (!ScanXmSyncs(data, size, module->layout) || module->layout.syncs.empty()) return cues;
    // One pass of the song as it plays, silently: each sync when its row begins a pass.
    const std::unique_ptr<MusicPlayer> player = MusicPlayer::Create(std::move(module), false, midasMixRate);
    if (!player) return cues;
    float samples[2 * playerSliceFrames];
    SyncEvent events[maxSyncsPerRow];
    for (;;) {
        const int count = player->RenderSlice(samples, playerSliceFrames, events);
        if (count == 0 && player->Ended()) break;
        for (int i = 0; i < count; ++i)
            cues.push_back(
                {events[i].rowStart * 1000.0 / midasMixRate, events[i].order, events[i].row, events[i].value});
    }
    return cues;
}

double MidasSongLengthMs(const std::uint8_t* data, std::size_t size) {
    if (!data) return 0;
    openmpt_module* decoder = OpenDecoder(data, size);
    if (!decoder) return 0;
    const double seconds = openmpt_module_get_duration_seconds(decoder);
    openmpt_module_destroy(decoder);
    return seconds * 1000.0;
}
