// A video written in this process through FFmpeg's libraries: H.264 pictures and AAC sound in
// .mp4, .mkv or .mov, in one pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class VideoWriter {
public:
    ~VideoWriter();
    // False with the reason in `error` when the file cannot be begun.
    bool Open(const std::string& path, int fps, int scale, std::string& error);
    bool Frame(const std::uint32_t* pixels);       // 320x240 0x00RRGGBB
    bool Audio(const float* samples, int frames);  // 48 kHz stereo, interleaved
    // Flushes both encoders and ends the file; false with the reason when it cannot.
    bool Finish(std::string& error);
    // Closes and removes the file after a failure, so that nothing half-written stays.
    void Abandon();
    // Why the last Frame or Audio failed.
    const std::string& Error() const;

private:
    bool Send(AVCodecContext* codec, AVStream* stream, AVFrame* frame);
    bool SendAudio(int count);
    void Close();

    std::string path_;
    std::string error_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* sound_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
    std::int64_t pictures_ = 0, samples_ = 0;
    std::vector<float> left_, right_;  // sound not yet a whole AAC frame
    bool headerWritten_ = false;
    bool created_ = false;  // the file exists under its name
};
