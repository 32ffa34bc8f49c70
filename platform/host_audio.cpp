// The sound device of platform/audio_output.h on the host's audio: the SDL host's sound card, the web
// page's WebAudio, or the virtual host and the tests' fakes; with none of them, the silent output.
#include "platform/audio_output.h"

#include "platform/host.h"
#include "platform/silent_output.h"

namespace qaudio {
namespace {

// The block the SDL host asks of a sound card (1024 frames, 21 ms at 48 kHz).
constexpr int silentBlockFrames = 1024;

// Never destroyed: a pump thread may still mix into it while the program exits.
SilentOutput& silent = *new SilentOutput;
qhost::Host* pumping = nullptr;  // the host that pumps `silent`; main thread only

}  // namespace

bool Open(int rate, Source source) {
    if (pumping) Close();
    if (!source) return false;
    qhost::Host& host = qhost::Current();
    if (host.OpenAudio(rate, source)) return true;
    silent.Start(rate, source, silentBlockFrames, host.Ticks());
    pumping = &host;
    host.PumpSilentOutput(&silent);
    return true;
}

void Close() {
    if (!pumping) {
        qhost::Current().CloseAudio();
        return;
    }
    pumping->PumpSilentOutput(nullptr);
    pumping = nullptr;
    silent.Stop();
}

std::uint32_t BufferFrames() { return silent.Running() ? silent.BufferFrames() : qhost::Current().AudioBufferFrames(); }

}  // namespace qaudio
