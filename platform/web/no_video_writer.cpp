// The WebAssembly capture (under node) has no FFmpeg libraries: it gives hashes, cues and the
// sound, and refuses a video.
#include "platform/capture/video_writer.h"

VideoWriter::~VideoWriter() = default;

bool VideoWriter::Open(const std::string&, int, int, std::string& error) {
    error = "this build of the capture writes no video";
    return false;
}
bool VideoWriter::Frame(const std::uint32_t*) { return false; }
bool VideoWriter::Audio(const float*, int) { return false; }
bool VideoWriter::Finish(std::string& error) {
    error = "this build of the capture writes no video";
    return false;
}
void VideoWriter::Abandon() {}
const std::string& VideoWriter::Error() const { return error_; }
