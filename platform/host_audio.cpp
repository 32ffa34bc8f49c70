// The sound device of platform/audio_output.h on the host's audio: the SDL host's sound card, or the
// virtual host and the tests' fakes.
#include "platform/audio_output.h"

#include "platform/host.h"

namespace qaudio {

bool Open(int rate, Source source) { return qhost::Current().OpenAudio(rate, source); }
void Close() { qhost::Current().CloseAudio(); }
std::uint32_t BufferFrames() { return qhost::Current().AudioBufferFrames(); }

}  // namespace qaudio
