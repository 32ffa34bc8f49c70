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
    openmpt_free_string(message);   // the reason is not reported: a module that does not open is a failed load
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

std::unique_ptr<MusicPlayer> MusicPlayer::Create(std::shared_ptr<const LoadedModule> module, bool loopSong,
                                                 int rate) {
    if (!module) return nullptr;
    openmpt_module* decoder = OpenDecoder(module->bytes.data(), module->bytes.size());
    if (!decoder) return nullptr;
    // -1: the song starts over at its end for ever; 0: it plays once.
    openmpt_module_set_repeat_count(decoder, loopSong ? -1 : 0);
    return std::unique_ptr<MusicPlayer>(new MusicPlayer(std::move(module), decoder, rate));
}

MusicPlayer::MusicPlayer(std::shared_ptr<const LoadedModule> module, openmpt_module* decoder, int rate)
    : module_(std::move(module)), decoder_(decoder), rate_(rate) {}

MusicPlayer::~MusicPlayer() { openmpt_module_destroy(decoder_); }

void MusicPlayer::JumpTo(std::int32_t order) {
    if (order < 0 || order >= openmpt_module_get_num_orders(decoder_)) order = 0;
    openmpt_module_set_position_order_row(decoder_, order, 0);
    entered_ = false;
    jumped_ = true;
}

int MusicPlayer::RenderSlice(float* samples, int frames, SyncEvent (&events)[maxSyncsPerRow]) {
    frames = std::clamp(frames, 0, playerSliceFrames);
    const std::size_t done =
        openmpt_module_read_interleaved_float_stereo(decoder_, rate_, static_cast<std::size_t>(frames), samples);
    std::fill(samples + 2 * done, samples + 2 * frames, 0.0f);
    if (done == 0) return 0;   // a song that does not loop has ended

    const std::int32_t order = openmpt_module_get_current_order(decoder_);
    const std::int32_t row = openmpt_module_get_current_row(decoder_);
    const std::int32_t pattern = openmpt_module_get_current_pattern(decoder_);
    if (order < 0 || row < 0) return 0;
    const PlayPosition now{static_cast<std::uint32_t>(order), static_cast<std::uint32_t>(std::max(pattern, 0)),
                           static_cast<std::uint32_t>(row)};
    if (entered_ && now.order == position_.order && now.row == position_.row) return 0;
    // Going back without a jump asked for is the song starting over.
    const bool back = now.order < position_.order || (now.order == position_.order && now.row < position_.row);
    if (entered_ && !jumped_ && back) ++loops_;
    position_ = now;
    entered_ = true;
    jumped_ = false;
    return SyncsOfRow(now.order, now.row, events);
}

int MusicPlayer::SyncsOfRow(std::uint32_t order, std::uint32_t row, SyncEvent (&events)[maxSyncsPerRow]) const {
    const auto [first, last] = SyncsAt(module_->layout, order, row);
    int count = 0;
    for (auto c = first; c != last && count < maxSyncsPerRow; ++c) events[count++] = {c->value, order, row};
    return count;
}

std::vector<MidasCue> MidasListCues(const std::uint8_t* data, std::size_t size) {
    std::vector<MidasCue> cues;
    XmSongLayout layout;
    if (!data || !ScanXmSyncs(data, size, layout) || layout.syncs.empty()) return cues;
    openmpt_module* decoder = OpenDecoder(data, size);
    if (!decoder) return cues;
    for (std::uint32_t order = 0; order < layout.orders.size(); ++order) {
        const std::uint16_t pattern = layout.orders[order];
        const std::uint32_t rows = pattern < layout.patternRows.size() ? layout.patternRows[pattern] : 0;
        for (std::uint32_t row = 0; row < rows; ++row) {
            const auto [first, last] = SyncsAt(layout, order, row);
            if (first == last) continue;
            // libopenmpt times the seek by playing the song up to that row, tempo changes included.
            const double seconds = openmpt_module_set_position_order_row(decoder, static_cast<std::int32_t>(order),
                                                                         static_cast<std::int32_t>(row));
            for (auto c = first; c != last; ++c) cues.push_back({seconds * 1000.0, order, row, c->value});
        }
    }
    openmpt_module_destroy(decoder);
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
