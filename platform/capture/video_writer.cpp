// Pictures go in at 320x240 and are enlarged pixel for pixel in the same swscale pass that makes
// them YUV; x264's fastest preset at CRF 16 keeps the encoder ahead of real time at this quality.
#include "platform/capture/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

std::string Reason(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(code, text, sizeof text);
    return text;
}

const char* Container(const std::string& path) {
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".mkv" ? "matroska" : end == ".mov" ? "mov" : "mp4";
}

}  // namespace

VideoWriter::~VideoWriter() { Close(); }

bool VideoWriter::Open(const std::string& path, int fps, int scale, std::string& error) {
    path_ = path;
    av_log_set_level(AV_LOG_QUIET);  // every failure is told once, by the capture itself
    auto fail = [&](const std::string& why) {
        error = why;
        Abandon();
        return false;
    };
    if (avformat_alloc_output_context2(&format_, nullptr, Container(path), path.c_str()) < 0)
        return fail("no muxer for this kind of file");
    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!h264 || !aac) return fail("this FFmpeg has no H.264 (libx264) or AAC encoder");
    video_ = avcodec_alloc_context3(h264);
    audio_ = avcodec_alloc_context3(aac);
    videoStream_ = avformat_new_stream(format_, nullptr);
    audioStream_ = avformat_new_stream(format_, nullptr);
    picture_ = av_frame_alloc();
    sound_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!video_ || !audio_ || !videoStream_ || !audioStream_ || !picture_ || !sound_ || !packet_)
        return fail("out of memory");

    video_->width = 320 * scale;
    video_->height = 240 * scale;
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->time_base = {1, fps};
    video_->framerate = {fps, 1};
    av_opt_set(video_->priv_data, "preset", "ultrafast", 0);
    av_opt_set(video_->priv_data, "crf", "16", 0);
    audio_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audio_->sample_rate = 48000;
    audio_->bit_rate = 192000;
    audio_->time_base = {1, 48000};
    av_channel_layout_default(&audio_->ch_layout, 2);
    av_opt_set(audio_->priv_data, "aac_coder", "fast", 0);
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) {
        video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int code = avcodec_open2(video_, h264, nullptr);
    if (code < 0) return fail("the H.264 encoder refused: " + Reason(code));
    code = avcodec_open2(audio_, aac, nullptr);
    if (code < 0) return fail("the AAC encoder refused: " + Reason(code));
    avcodec_parameters_from_context(videoStream_->codecpar, video_);
    avcodec_parameters_from_context(audioStream_->codecpar, audio_);
    videoStream_->time_base = video_->time_base;
    audioStream_->time_base = audio_->time_base;

    picture_->format = video_->pix_fmt;
    picture_->width = video_->width;
    picture_->height = video_->height;
    if (av_frame_get_buffer(picture_, 0) < 0) return fail("out of memory");
    scaler_ = sws_getContext(320, 240, AV_PIX_FMT_BGR0, video_->width, video_->height, AV_PIX_FMT_YUV420P, SWS_POINT,
                             nullptr, nullptr, nullptr);
    if (!scaler_) return fail("no scaler for these sizes");

    // "file:" takes the name as it stands: no protocol prefix, no other reading of its characters.
    code = avio_open(&format_->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE);
    if (code < 0) return fail(Reason(code));
    created_ = true;
    code = avformat_write_header(format_, nullptr);
    if (code < 0) return fail(Reason(code));
    headerWritten_ = true;
    return true;
}

bool VideoWriter::Send(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
    int code = avcodec_send_frame(codec, frame);
    while (code >= 0) {
        code = avcodec_receive_packet(codec, packet_);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) break;
        if (codec == video_) packet_->duration = 1;  // one frame, so the last one counts in the length too
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        code = av_interleaved_write_frame(format_, packet_);
    }
    error_ = Reason(code);
    return false;
}

const std::string& VideoWriter::Error() const { return error_; }

bool VideoWriter::Frame(const std::uint32_t* pixels) {
    if (av_frame_make_writable(picture_) < 0) return false;
    const std::uint8_t* source[1] = {reinterpret_cast<const std::uint8_t*>(pixels)};
    const int stride[1] = {320 * 4};
    sws_scale(scaler_, source, stride, 0, 240, picture_->data, picture_->linesize);
    picture_->pts = pictures_++;
    return Send(video_, videoStream_, picture_);
}

bool VideoWriter::SendAudio(int count) {
    sound_->nb_samples = count;
    sound_->format = audio_->sample_fmt;
    sound_->sample_rate = 48000;
    av_channel_layout_copy(&sound_->ch_layout, &audio_->ch_layout);
    if (av_frame_get_buffer(sound_, 0) < 0) return false;
    std::copy(left_.begin(), left_.begin() + count, reinterpret_cast<float*>(sound_->data[0]));
    std::copy(right_.begin(), right_.begin() + count, reinterpret_cast<float*>(sound_->data[1]));
    left_.erase(left_.begin(), left_.begin() + count);
    right_.erase(right_.begin(), right_.begin() + count);
    sound_->pts = samples_;
    samples_ += count;
    const bool sent = Send(audio_, audioStream_, sound_);
    av_frame_unref(sound_);
    return sent;
}

bool VideoWriter::Audio(const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        // Clamped as the WAV's samples are, so both outputs carry the same sound.
        left_.push_back(std::clamp(samples[2 * i], -1.0f, 1.0f));
        right_.push_back(std::clamp(samples[2 * i + 1], -1.0f, 1.0f));
    }
    const int size = audio_->frame_size;
    while (static_cast<int>(left_.size()) >= size)
        if (!SendAudio(size)) return false;
    return true;
}

bool VideoWriter::Finish(std::string& error) {
    bool ok = (left_.empty() || SendAudio(static_cast<int>(left_.size()))) && Send(video_, videoStream_, nullptr) &&
              Send(audio_, audioStream_, nullptr);
    if (ok) {
        const int code = av_write_trailer(format_);
        if (code < 0) error_ = Reason(code);
        ok = code >= 0;
    }
    if (ok && format_->pb && format_->pb->error < 0) {
        error_ = Reason(format_->pb->error);
        ok = false;
    }
    if (ok) {
        const int code = avio_closep(&format_->pb);
        if (code < 0) error_ = Reason(code);
        ok = code >= 0;
    }
    if (!ok) {
        error = error_.empty() ? "cannot write the file" : error_;
        Abandon();
        return false;
    }
    Close();
    created_ = false;
    return true;
}

void VideoWriter::Abandon() {
    Close();
    if (created_) std::remove(path_.c_str());
    created_ = false;
}

void VideoWriter::Close() {
    if (format_ && format_->pb) avio_closep(&format_->pb);
    avformat_free_context(format_);
    format_ = nullptr;
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    av_frame_free(&picture_);
    av_frame_free(&sound_);
    av_packet_free(&packet_);
    sws_freeContext(scaler_);
    scaler_ = nullptr;
}
