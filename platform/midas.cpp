// The module player of platform/midas.h over libopenmpt and the sound device of platform/audio_output.h.
// The main thread makes every MIDAS call; the device's playback thread (or a test, or the capture)
// renders through MidasRenderAudio, and only that side touches a playing module.
#include "platform/midas.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_output.h"
#include "platform/echo.h"
#include "platform/midas_layer.h"
#include "platform/music_player.h"
#include "platform/resources.h"

namespace {

constexpr std::int32_t noRequest = -1;

struct ModuleEntry {
    MIDASmodule handle;
    std::shared_ptr<const LoadedModule> module;
};

struct EchoEntry {
    MIDASechoHandle handle;
    std::unique_ptr<Echo> echo;
    bool removed;
};

struct Layer {
    // Main thread only.
    bool started = false;
    bool initialised = false;
    bool backgroundPlay = false;
    std::vector<ModuleEntry> modules;
    MIDASmodule lastModule = 0;
    MIDASmodulePlayHandle lastPlay = 0;
    MIDASechoHandle lastEcho = 0;
    MIDASmodulePlayHandle playing = 0;  // the handle of `player`; 0 when nothing plays
    MIDASmodule playingModule = 0;

    // The audio side. MidasRenderAudio holds the lock for one slice at a time and calls the sync
    // callback after letting it go, so a callback may make MIDAS calls. The main thread takes it
    // only to hand over or take back a player, an echo or the callback.
    std::mutex audioLock;
    std::unique_ptr<MusicPlayer> player;
    std::vector<EchoEntry> echoes;  // applied in the order they were added
    MIDASsyncCallback callback = nullptr;

    // Crossing without the lock: the song position asked for by MIDASsetPosition, which the audio
    // side takes at the start of its next slice, and the status it publishes after each slice.
    std::atomic<std::int32_t> requestedOrder{noRequest};
    std::atomic<std::uint32_t> order{0};
    std::atomic<std::uint32_t> pattern{0};
    std::atomic<std::uint32_t> row{0};
    std::atomic<std::uint32_t> loops{0};
    std::atomic<std::int32_t> syncInfo{-1};

    std::atomic<bool> useFallback{true};
};

// Never destroyed: the playback thread may still call in while the program exits.
Layer& TheLayer() {
    static Layer* layer = new Layer;
    return *layer;
}

// Small non-zero handles; the counters are not reset by MIDASclose, so an old handle stays invalid.
template <typename Handle>
Handle NextHandle(Handle& last) {
    if (++last == 0) ++last;
    return last;
}

void StopPlayer(Layer& l) {
    std::unique_ptr<MusicPlayer> gone;
    {
        std::lock_guard lock(l.audioLock);
        gone = std::move(l.player);
        l.callback = nullptr;
        l.requestedOrder.store(noRequest, std::memory_order_relaxed);
    }
    l.playing = 0;
    l.playingModule = 0;
}

// Echoes whose removal fade has ended are freed here, on the main thread.
void DropFinishedEchoes(Layer& l) {
    std::vector<EchoEntry> gone;
    {
        std::lock_guard lock(l.audioLock);
        const auto finished = std::stable_partition(l.echoes.begin(), l.echoes.end(),
                                                    [](const EchoEntry& e) { return !e.echo->Finished(); });
        std::move(finished, l.echoes.end(), std::back_inserter(gone));
        l.echoes.erase(finished, l.echoes.end());
    }
}

void PublishStatus(Layer& l, const MusicPlayer& player, const SyncEvent* events, int count) {
    const PlayPosition at = player.Position();
    l.order.store(at.order, std::memory_order_relaxed);
    l.pattern.store(at.pattern, std::memory_order_relaxed);
    l.row.store(at.row, std::memory_order_relaxed);
    l.loops.store(player.LoopCount(), std::memory_order_relaxed);
    if (count > 0) l.syncInfo.store(static_cast<std::int32_t>(events[count - 1].value), std::memory_order_relaxed);
}

// Appends what `read` gives until the end of the file; false on an error or past the size limit,
// so a file that grows while it is read is still refused.
template <typename Read>
bool ReadAll(Read read, std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[65536];
    for (;;) {
        const long got = read(chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) return true;
        if (bytes.size() + static_cast<std::size_t>(got) > midasMaxModuleBytes) return false;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

// Only a plain file of sane size is read. A FIFO or a device could block the start for ever or
// never end, and a huge file would be read whole into memory: each is a failed load. The name is
// checked before it is opened, and the opened file again, as the name may change in between.
bool ReadPlainFile(const char* fileName, std::vector<std::uint8_t>& bytes) {
#ifdef _WIN32
    std::error_code error;
    const std::filesystem::path path(fileName);
    if (!std::filesystem::is_regular_file(path, error) ||
        std::filesystem::file_size(path, error) > midasMaxModuleBytes || error)
        return false;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    const bool ok = ReadAll(
        [file](std::uint8_t* chunk, std::size_t size) {
            const std::size_t got = std::fread(chunk, 1, size, file);
            return std::ferror(file) ? -1L : static_cast<long>(got);
        },
        bytes);
    std::fclose(file);
    return ok;
#else
    const auto plainAndSane = [](const struct stat& s) {
        return S_ISREG(s.st_mode) && s.st_size <= off_t{midasMaxModuleBytes};
    };
    struct stat named {};
    if (::stat(fileName, &named) != 0 || !plainAndSane(named)) return false;
    // O_NONBLOCK: should a FIFO take the name after the check, opening it does not wait for a writer.
    const int fd = ::open(fileName, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    bool ok = ::fstat(fd, &opened) == 0 && plainAndSane(opened);
    if (ok) {
        bytes.reserve(static_cast<std::size_t>(opened.st_size));
        ok = ReadAll(
            [fd](std::uint8_t* chunk, std::size_t size) {
                ssize_t got;
                do got = ::read(fd, chunk, size);
                while (got < 0 && errno == EINTR);
                return static_cast<long>(got);
            },
            bytes);
    }
    ::close(fd);
    return ok;
#endif
}

}  // namespace

void MidasUseFallbackModule(bool use) { TheLayer().useFallback.store(use, std::memory_order_relaxed); }

namespace {
std::string moduleRedirect;  // main thread only
}  // namespace

void MidasRedirectModule(const char* path) { moduleRedirect = path ? path : ""; }

bool MidasReadModule(const char* fileName, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!fileName) return false;
    if (!moduleRedirect.empty()) fileName = moduleRedirect.c_str();
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fileName, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (!TheLayer().useFallback.load(std::memory_order_relaxed) || qres::fallbackModuleSize == 0) return false;
        bytes.assign(qres::fallbackModule, qres::fallbackModule + qres::fallbackModuleSize);
        return true;
    }
    // Anything else of that name (a directory, a pipe, a file too large) is a failed load, not a fallback.
    if (!ReadPlainFile(fileName, bytes)) {
        bytes.clear();
        return false;
    }
    return true;
}

void MidasRenderAudio(float* samples, int frames) {
    if (!samples) return;
    Layer& l = TheLayer();
    SyncEvent events[maxSyncsPerRow];
    while (frames > 0) {
        const int slice = std::min(frames, playerSliceFrames);
        int count = 0;
        MIDASsyncCallback callback = nullptr;
        {
            std::lock_guard lock(l.audioLock);
            if (l.player) {
                const std::int32_t order = l.requestedOrder.exchange(noRequest, std::memory_order_relaxed);
                if (order != noRequest) l.player->JumpTo(order);
                count = l.player->RenderSlice(samples, slice, events);
                PublishStatus(l, *l.player, events, count);
                callback = l.callback;
            } else {
                std::fill(samples, samples + 2 * slice, 0.0f);
            }
            for (EchoEntry& e : l.echoes) e.echo->Process(samples, slice);
        }
        if (callback)
            for (int i = 0; i < count; ++i) callback(events[i].value, events[i].order, events[i].row);
        samples += 2 * slice;
        frames -= slice;
    }
}

int MIDASstartup() {
    TheLayer().started = true;
    return 1;
}

int MIDASinit() {
    Layer& l = TheLayer();
    if (!l.started) return 0;
    l.initialised = true;
    return 1;
}

int MIDASstartBackgroundPlay(std::uint32_t pollRate) {
    (void)pollRate;  // the sound device, or the clock on the silent output, sets the pace
    Layer& l = TheLayer();
    if (!l.initialised) return 0;
    if (l.backgroundPlay) return 1;
    if (!qaudio::Open(midasMixRate, MidasRenderAudio)) return 0;
    l.backgroundPlay = true;
    return 1;
}

int MIDASstopBackgroundPlay() {
    Layer& l = TheLayer();
    if (!l.backgroundPlay) return 0;
    // Returns when the playback thread has made its last call; the lock is not held here, as that
    // call may be waiting for it.
    qaudio::Close();
    l.backgroundPlay = false;
    return 1;
}

int MIDASclose() {
    Layer& l = TheLayer();
    MIDASstopBackgroundPlay();
    StopPlayer(l);
    std::vector<EchoEntry> gone;
    {
        std::lock_guard lock(l.audioLock);
        gone.swap(l.echoes);
    }
    l.modules.clear();
    const bool wasStarted = l.started;
    l.started = false;
    l.initialised = false;
    return wasStarted ? 1 : 0;
}

MIDASmodule MIDASloadModule(const char* fileName) {
    Layer& l = TheLayer();
    if (!l.initialised) return 0;
    auto module = std::make_shared<LoadedModule>();
    if (!MidasReadModule(fileName, module->bytes)) return 0;
    // Not a module libopenmpt plays: a failed load. Data that is not XM plays without syncs.
    if (!MusicPlayer::Create(module, true, midasMixRate)) return 0;
    ScanXmSyncs(module->bytes.data(), module->bytes.size(), module->layout);
    const MIDASmodule handle = NextHandle(l.lastModule);
    l.modules.push_back({handle, std::move(module)});
    return handle;
}

MIDASmodulePlayHandle MIDASplayModule(MIDASmodule module, int loopSong) {
    Layer& l = TheLayer();
    if (!l.initialised || module == 0) return 0;
    const auto entry =
        std::find_if(l.modules.begin(), l.modules.end(), [module](const ModuleEntry& e) { return e.handle == module; });
    if (entry == l.modules.end()) return 0;
    std::unique_ptr<MusicPlayer> player = MusicPlayer::Create(entry->module, loopSong != 0, midasMixRate);
    if (!player) return 0;
    const std::vector<std::uint8_t>& orders = entry->module->layout.orders;
    // One song plays at a time: a new one replaces the old.
    std::unique_ptr<MusicPlayer> gone;
    {
        std::lock_guard lock(l.audioLock);
        gone = std::move(l.player);
        l.player = std::move(player);
        l.callback = nullptr;
        l.requestedOrder.store(noRequest, std::memory_order_relaxed);
        l.order.store(0, std::memory_order_relaxed);
        l.pattern.store(orders.empty() ? 0 : orders[0], std::memory_order_relaxed);
        l.row.store(0, std::memory_order_relaxed);
        l.loops.store(0, std::memory_order_relaxed);
        l.syncInfo.store(-1, std::memory_order_relaxed);
    }
    l.playing = NextHandle(l.lastPlay);
    l.playingModule = module;
    return l.playing;
}

int MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle, MIDASsyncCallback callback) {
    Layer& l = TheLayer();
    if (playHandle == 0 || playHandle != l.playing) return 0;
    std::lock_guard lock(l.audioLock);
    l.callback = callback;
    return 1;
}

int MIDASgetPlayStatus(MIDASmodulePlayHandle playHandle, MIDASplayStatus* status) {
    Layer& l = TheLayer();
    if (!status) return 0;
    if (playHandle == 0 || playHandle != l.playing) {
        *status = {0, 0, 0, -1, 0};
        return 0;
    }
    status->position = l.order.load(std::memory_order_relaxed);
    status->pattern = l.pattern.load(std::memory_order_relaxed);
    status->row = l.row.load(std::memory_order_relaxed);
    status->syncInfo = l.syncInfo.load(std::memory_order_relaxed);
    status->songLoopCount = l.loops.load(std::memory_order_relaxed);
    return 1;
}

int MIDASsetPosition(MIDASmodulePlayHandle playHandle, int newPosition) {
    Layer& l = TheLayer();
    if (playHandle == 0 || playHandle != l.playing) return 0;
    // A position before the first is the first; one past the last wraps to 0 when it is taken.
    l.requestedOrder.store(std::max(newPosition, 0), std::memory_order_relaxed);
    return 1;
}

int MIDASstopModule(MIDASmodulePlayHandle playHandle) {
    Layer& l = TheLayer();
    if (playHandle == 0 || playHandle != l.playing) return 0;
    StopPlayer(l);
    return 1;
}

int MIDASfreeModule(MIDASmodule module) {
    Layer& l = TheLayer();
    const auto entry = std::find_if(l.modules.begin(), l.modules.end(),
                                    [module](const ModuleEntry& e) { return module != 0 && e.handle == module; });
    if (entry == l.modules.end()) return 0;
    if (l.playingModule == module) StopPlayer(l);
    l.modules.erase(entry);
    return 1;
}

MIDASechoHandle MIDASaddEchoEffect(MIDASechoSet* echoSet) {
    Layer& l = TheLayer();
    if (!l.initialised || !echoSet) return 0;
    DropFinishedEchoes(l);
    // The set is read once, here: later changes to the caller's record are not seen.
    auto echo = std::make_unique<Echo>(Echo::FromSet(*echoSet, midasMixRate));
    const MIDASechoHandle handle = NextHandle(l.lastEcho);
    std::lock_guard lock(l.audioLock);
    l.echoes.push_back({handle, std::move(echo), false});
    return handle;
}

int MIDASremoveEchoEffect(MIDASechoHandle echoHandle) {
    Layer& l = TheLayer();
    DropFinishedEchoes(l);
    std::lock_guard lock(l.audioLock);
    for (EchoEntry& e : l.echoes) {
        if (e.handle != echoHandle || e.removed || echoHandle == 0) continue;
        // The wet signal fades out over a few ms on the audio side; the echo is freed later.
        e.removed = true;
        e.echo->FadeOut();
        return 1;
    }
    return 0;
}

std::uint32_t MIDASgetOption(int option) {
    if (option != MIDAS_OPTION_MIXBUFLEN) return 0;
    return static_cast<std::uint32_t>(std::uint64_t{qaudio::BufferFrames()} * 1000u / midasMixRate);
}
