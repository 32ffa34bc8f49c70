// --layers: the show's own effect objects read back at chosen frames. The planes are taken while the
// frame is drawn (an effect clears its canvas once it has shown it), the compositing is replayed
// afterwards with the demo's own copy and add, and must end on the frame that was presented.
#include "platform/capture/layers.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/shell.h"
#include "effects/effects.h"
#include "music/timeline.h"
#include "platform/capture/image_files.h"
#include "platform/virtual/virtual_host.h"
#include "platform/win32.h"
#include "render/truncate.h"

namespace {

struct Named {
    Effect* effect;
    const char* name;
    PlaneEffect* planes;  // null for the flash, which has none
};

const Named named[] = {
    {&bump, "bump", &bump},
    {&field, "field", &field},
    {&dotCube, "dotcube", &dotCube},
    {&sweep, "sweep", &sweep},
    {&flash, "flash", nullptr},
    {&topText, "toptext", &topText},
    {&bottomText, "bottomtext", &bottomText},
};
constexpr int effectCount = sizeof named / sizeof named[0];

// No palette entry and no flash colour has its top byte set, so a drawing effect always overwrites it.
constexpr std::uint32_t untouched = 0xFF000000u;

int IndexOf(const Effect* effect) {
    for (int i = 0; i < effectCount; ++i)
        if (named[i].effect == effect) return i;
    return -1;
}

bool AnyByte(const std::uint8_t* plane) {
    return std::any_of(plane, plane + planeSize, [](std::uint8_t b) { return b != 0; });
}

// The pixels of a surface, or of the back buffer, as 320x240 0x00RRGGBB.
std::vector<std::uint32_t> ReadSurface(IDirectDrawSurface7* surface) {
    std::vector<std::uint32_t> pixels(planeSize);
    DDSURFACEDESC2 description;
    if (LockWhole(surface, description) != DD_OK) return pixels;
    for (int y = 0; y < planeHeight; ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * planeWidth],
                    static_cast<const std::uint8_t*>(description.lpSurface) + y * description.lPitch, planeWidth * 4);
    surface->Unlock(nullptr);
    return pixels;
}

// Reads or replaces the first pixel of a surface; the old value comes back.
std::uint32_t SwapFirstPixel(IDirectDrawSurface7* surface, std::uint32_t value, bool write) {
    DDSURFACEDESC2 description;
    if (LockWhole(surface, description) != DD_OK) return 0;
    auto* first = static_cast<std::uint32_t*>(description.lpSurface);
    const std::uint32_t old = *first;
    if (write) *first = value;
    surface->Unlock(nullptr);
    return old;
}

// The palette as a strip, entry i in column i, eight rows high.
bool WritePalette(const std::string& path, const std::uint32_t* palette) {
    std::vector<std::uint32_t> pixels(256 * 8);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = palette[i % 256];
    return WritePng(path, pixels.data(), 256, 8);
}

// The host of a --layers run: it sees every Lock, which is where an effect's planes still hold the
// frame being drawn.
class LayerHost : public qhost::VirtualHost {
public:
    std::int32_t Fault(const char* call) override {
        if (watching && std::strcmp(call, "Lock") == 0) TakePlanes();
        return VirtualHost::Fault(call);
    }

    void StartWatching() {
        for (int i = 0; i < effectCount; ++i) {
            seenCanvas[i].assign(planeSize, 0);
            seenAccum[i].assign(planeSize, 0);
            if (named[i].effect->surface) firstPixel[i] = SwapFirstPixel(named[i].effect->surface, untouched, true);
        }
        watching = true;
    }

    // Which effects drew this frame; the first pixel of the others is put back as it was.
    void StopWatching(bool drawn[effectCount]) {
        watching = false;
        for (int i = 0; i < effectCount; ++i) {
            IDirectDrawSurface7* surface = named[i].effect->surface;
            drawn[i] = surface && SwapFirstPixel(surface, 0, false) != untouched;
            if (surface && !drawn[i]) SwapFirstPixel(surface, firstPixel[i], true);
        }
    }

    bool watching = false;
    std::vector<std::uint8_t> seenCanvas[effectCount], seenAccum[effectCount];

private:
    // A plane that is not empty now is the newest the frame has shown of it.
    void TakePlanes() {
        for (int i = 0; i < effectCount; ++i) {
            const PlaneEffect* e = named[i].planes;
            if (!e) continue;
            if (AnyByte(e->canvas)) seenCanvas[i].assign(e->canvas, e->canvas + planeSize);
            if (AnyByte(e->accum)) seenAccum[i].assign(e->accum, e->accum + planeSize);
        }
    }

    std::uint32_t firstPixel[effectCount] = {};
};

struct Writer {
    explicit Writer(std::string into) : folder(std::move(into)) {}
    std::string folder;
    bool ok = true;
    std::ostringstream json;
    bool firstFrame = true;

    void Png(const std::string& name, const std::vector<std::uint32_t>& pixels) {
        ok = WritePng(folder + "/" + name, pixels.data(), planeWidth, planeHeight) && ok;
    }
    void Grey(const std::string& name, const std::uint8_t* plane, int width = planeWidth, int height = planeHeight) {
        ok = WriteGreyPng(folder + "/" + name, plane, width, height) && ok;
    }
};

const char* Quote(bool b) { return b ? "true" : "false"; }

// What the index says of an effect beyond its files: the values that explain its picture.
std::string Details(int i, std::int32_t time) {
    char text[512] = "";
    if (named[i].effect == &field) {
        const std::int32_t t = ActiveEffectTime(time, field.startTime, field.endTime);
        std::int32_t x[poleCount], y[poleCount];
        PolePositions(std::max(t, 0), x, y);
        std::string poles;
        for (int k = 0; k < poleCount; ++k)
            poles += (k ? ", [" : "[") + std::to_string(x[k]) + ", " + std::to_string(y[k]) + "]";
        std::snprintf(text, sizeof text, ", \"effect_ms\": %d, \"poles\": [%s]", t, poles.c_str());
    } else if (named[i].effect == &dotCube) {
        const std::int32_t t =
            ActiveEffectTime(time, dotCube.startTime.load(std::memory_order_relaxed), dotCube.endTime);
        std::snprintf(text, sizeof text, ", \"effect_ms\": %d, \"beat_ms\": %d, \"pulse\": %d", t,
                      dotCube.beatTime.load(std::memory_order_relaxed), pulseLength);
    } else if (named[i].effect == &topText || named[i].effect == &bottomText) {
        const auto* m = static_cast<const MotionText*>(named[i].effect);
        const auto rel = static_cast<std::uint32_t>(TimeSince(time, m->startTime.load(std::memory_order_relaxed)));
        std::snprintf(text, sizeof text, ", \"text\": \"%s\", \"ghost_offset\": %d", m->text,
                      GhostOffset(rel, m->changeTime.load(std::memory_order_relaxed)));
    } else if (named[i].effect == &sweep) {
        std::snprintf(text, sizeof text, ", \"phase\": %d", TimeSince(time, sweep.startTime) / 75);
    }
    return text;
}

// Everything of one frame, just after it was presented.
bool WriteFrame(Writer& out, LayerHost& host, long frame, const bool drawn[effectCount]) {
    const std::int32_t time = TruncateToInt32(demoTime.load(std::memory_order_relaxed));
    char dirName[32];
    std::snprintf(dirName, sizeof dirName, "t%07d", time);
    Writer w(out.folder + "/" + dirName);
    std::filesystem::create_directories(w.folder);

    out.json << (out.firstFrame ? "" : ",\n") << "  {\"frame\": " << frame << ", \"demo_ms\": " << time
             << ", \"scene\": " << handledSync << ", \"folder\": \"" << dirName << "\", \"layers\": [";
    out.firstFrame = false;

    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    backBuffer->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    int step = 0;
    for (int k = 0; k < static_cast<int>(sizeof sceneLayers / sizeof sceneLayers[0]); ++k) {
        const SceneLayer& layer = sceneLayers[k];
        const int i = IndexOf(layer.effect);
        const bool draws = LayerActive(layer, handledSync) && drawn[i];
        const std::string name = named[i].name;
        out.json << (k ? ",\n" : "\n") << "    {\"layer\": " << k << ", \"effect\": \"" << name
                 << "\", \"active\": " << Quote(LayerActive(layer, handledSync)) << ", \"drawn\": " << Quote(draws);
        if (!draws) {
            out.json << "}";
            continue;
        }
        if (layer.endRow == 0)
            layer.effect->BlitSurface();
        else
            layer.effect->AddSurfaceRows(layer.firstRow, layer.endRow);
        const std::string after = "after-" + std::to_string(++step) + "-" + name + ".png";
        w.Png(after, ReadSurface(backBuffer));
        w.Png(name + "-surface.png", ReadSurface(layer.effect->surface));
        out.json << ", \"composite\": \"" << (layer.endRow == 0 ? "copied" : "added") << "\", \"rows\": ["
                 << (layer.endRow == 0 ? 0 : layer.firstRow) << ", " << (layer.endRow == 0 ? 240 : layer.endRow)
                 << "], \"surface\": \"" << name << "-surface.png\", \"after\": \"" << after << "\"";
        if (const PlaneEffect* e = named[i].planes) {
            w.Grey(name + "-canvas.png", host.seenCanvas[i].data());
            w.Grey(name + "-accum.png", AnyByte(host.seenAccum[i].data()) ? host.seenAccum[i].data() : e->accum);
            w.ok = WritePalette(w.folder + "/" + name + "-palette.png", e->palette) && w.ok;
            out.json << ", \"canvas\": \"" << name << "-canvas.png\", \"accum\": \"" << name
                     << "-accum.png\", \"palette\": \"" << name << "-palette.png\"";
        }
        if (layer.effect == &bump) {
            w.Grey("bump-lightmap.png", bump.lightMap, 256, 256);
            out.json << ", \"light_map\": \"bump-lightmap.png\"";
        }
        out.json << Details(i, time) << "}";
    }
    out.json << "]}";
    // The replay must end on what was presented, or the pictures explain some other frame.
    if (ReadSurface(backBuffer) != host.lastFrame) {
        std::fprintf(stderr, "quendralis-capture: the layers at %d ms do not add up to the frame shown\n", time);
        return false;
    }
    w.Png("frame.png", host.lastFrame);
    if (!w.ok) std::fprintf(stderr, "quendralis-capture: cannot write the layers into '%s'\n", w.folder.c_str());
    return w.ok;
}

}  // namespace

bool ParseLayerTimes(const std::string& text, std::vector<double>& seconds) {
    seconds.clear();
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, comma - at);
        char* rest = nullptr;
        const double v = std::strtod(item.c_str(), &rest);
        if (item.empty() || *rest != 0 || !(v >= 0 && v <= 1e6)) return false;
        seconds.push_back(v);
        at = comma + 1;
    }
    return !seconds.empty();
}

int CaptureLayers(const std::vector<double>& seconds, int fps, const std::string& folder) {
    std::vector<long> wanted;
    for (double s : seconds) wanted.push_back(static_cast<long>(std::ceil(s * fps - 1e-9)));
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());

    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "quendralis-capture: cannot write into '%s'\n", folder.c_str());
        return 1;
    }
    Writer out(folder);
    out.json << "{\"fps\": " << fps << ", \"frames\": [\n";

    LayerHost host;
    host.recordCalls = false;
    long frame = 0;
    std::size_t next = 0;
    bool prepared = false, failed = false;
    std::vector<float> audio;
    // The same steps as the frame capture: before frame n the clock stands at n*1000/fps and
    // exactly the sound up to that frame's end has played.
    host.onPoll = [&](qhost::VirtualHost& h) {
        if (prepared || !h.audioOpen()) return;
        const long from = frame * 48000L / fps, to = (frame + 1) * 48000L / fps;
        const int slice = static_cast<int>(to - from);
        h.clock = static_cast<std::uint32_t>(frame * 1000L / fps);
        h.audioBufferFrames = static_cast<std::uint32_t>(slice);
        audio.assign(static_cast<std::size_t>(2 * slice), 0.0f);
        h.RenderAudio(audio.data(), slice);
        prepared = true;
        if (next < wanted.size() && wanted[next] == frame) host.StartWatching();
    };
    host.onFrame = [&](qhost::VirtualHost& h, int) {
        if (host.watching) {
            bool drawn[effectCount];
            host.StopWatching(drawn);
            failed = !WriteFrame(out, host, frame, drawn) || failed;
            ++next;
        }
        ++frame;
        prepared = false;
        if (failed || next == wanted.size()) h.PressKey(VK_ESCAPE);
    };
    host.Run();
    if (failed) return 1;
    if (next < wanted.size()) {
        std::fprintf(stderr, "quendralis-capture: the show ended before frame %ld\n", wanted[next]);
        return 1;
    }
    out.json << "\n]}\n";
    std::ofstream index(folder + "/index.json", std::ios::binary);
    index << out.json.str();
    if (!index) {
        std::fprintf(stderr, "quendralis-capture: cannot write '%s/index.json'\n", folder.c_str());
        return 1;
    }
    std::fprintf(stderr, "quendralis-capture: layers of %zu frames into %s\n", wanted.size(), folder.c_str());
    return 0;
}
