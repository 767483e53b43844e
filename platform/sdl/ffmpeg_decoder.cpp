#include "platform/sdl/ffmpeg_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/fpu.h"
#include "platform/media/audio_decoder.h"

namespace plat {
namespace {

constexpr int kIoBufferBytes = 32768;

// Every entry into FFmpeg runs in round-to-nearest (NearestRoundingScope);
// the decoder's own arithmetic is integer.
class FfmpegDecoder final : public AudioDecoder {
public:
    ~FfmpegDecoder() override {
        NearestRoundingScope nearest;
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        swr_free(&swr_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
        if (io_) av_freep(&io_->buffer);
        avio_context_free(&io_);
    }

    // Null when the file has no audio stream FFmpeg can decode.
    static std::unique_ptr<FfmpegDecoder> Open(const std::string& path, const AudioOutputRequest& request) {
        auto decoder = std::unique_ptr<FfmpegDecoder>(new FfmpegDecoder);
        decoder->file_ = File::Open(path, kAccessRead, FileDisposition::OpenExisting);
        if (!decoder->file_.IsOpen()) return nullptr;
        NearestRoundingScope nearest;
        return decoder->Start(request) ? std::move(decoder) : nullptr;
    }

    const AudioStreamInfo& Info() const override { return info_; }

    int64_t Read(int16_t* out, uint32_t frames) override {
        const uint32_t channels = info_.channels;
        uint32_t got = 0;
        while (got < frames) {
            const size_t available = (pending_.size() - pendingAt_) / channels;
            if (available == 0) {
                if (ended_ || failed_) break;
                NearestRoundingScope nearest;
                DecodeMore();
                continue;
            }
            // Sound before a seek's target is dropped.
            if (position_ < skipTo_) {
                const size_t drop = std::min<uint64_t>(available, skipTo_ - position_);
                pendingAt_ += drop * channels;
                position_ += drop;
                continue;
            }
            const size_t n = std::min<size_t>(available, frames - got);
            std::memcpy(out + size_t{got} * channels, pending_.data() + pendingAt_, n * channels * sizeof(int16_t));
            pendingAt_ += n * channels;
            position_ += n;
            got += static_cast<uint32_t>(n);
        }
        if (pendingAt_ == pending_.size()) {
            pending_.clear();
            pendingAt_ = 0;
        }
        return got == 0 && failed_ ? -1 : got;
    }

    bool Seek(uint64_t frame) override {
        NearestRoundingScope nearest;
        const AVStream* stream = format_->streams[stream_];
        int64_t ts = av_rescale_q(static_cast<int64_t>(frame), AVRational{1, static_cast<int>(info_.rate)},
                                  stream->time_base);
        if (stream->start_time != AV_NOPTS_VALUE) ts += stream->start_time;
        if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0) return false;
        avcodec_flush_buffers(codec_);
        swr_close(swr_);
        if (swr_init(swr_) < 0) return false;
        pending_.clear();
        pendingAt_ = 0;
        draining_ = ended_ = failed_ = false;
        // Until a decoded frame tells where the demuxer landed, take it as the target.
        position_ = skipTo_ = frame;
        positionKnown_ = false;
        return true;
    }

private:
    FfmpegDecoder() = default;

    static int ReadPacket(void* opaque, uint8_t* buffer, int size) {
        uint32_t got = 0;
        if (!static_cast<FfmpegDecoder*>(opaque)->file_.Read(buffer, static_cast<uint32_t>(size), &got))
            return AVERROR(EIO);
        return got == 0 ? AVERROR_EOF : static_cast<int>(got);
    }

    static int64_t SeekFile(void* opaque, int64_t offset, int whence) {
        File& file = static_cast<FfmpegDecoder*>(opaque)->file_;
        if (whence & AVSEEK_SIZE) return file.Size();
        whence &= ~AVSEEK_FORCE;
        const SeekOrigin origin = whence == SEEK_CUR ? SeekOrigin::Current
                                  : whence == SEEK_END ? SeekOrigin::End
                                                       : SeekOrigin::Begin;
        const int64_t at = file.Seek(offset, origin);
        return at < 0 ? AVERROR(EIO) : at;
    }

    bool Start(const AudioOutputRequest& request) {
        auto* ioBuffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
        if (!ioBuffer) return false;
        io_ = avio_alloc_context(ioBuffer, kIoBufferBytes, 0, this, &ReadPacket, nullptr, &SeekFile);
        if (!io_) {
            av_free(ioBuffer);
            return false;
        }
        format_ = avformat_alloc_context();
        if (!format_) return false;
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
        // No name: the content alone decides the format.
        if (avformat_open_input(&format_, "", nullptr, nullptr) < 0) return false;
        if (avformat_find_stream_info(format_, nullptr) < 0) return false;
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream_ < 0 || !codec) return false;
        const AVStream* stream = format_->streams[stream_];
        codec_ = avcodec_alloc_context3(codec);
        if (!codec_ || avcodec_parameters_to_context(codec_, stream->codecpar) < 0 ||
            avcodec_open2(codec_, codec, nullptr) < 0)
            return false;
        if (codec_->ch_layout.nb_channels <= 0 || codec_->sample_rate <= 0) return false;
        if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            const int n = codec_->ch_layout.nb_channels;
            av_channel_layout_uninit(&codec_->ch_layout);
            av_channel_layout_default(&codec_->ch_layout, n);
        }

        info_.rate = request.rate ? request.rate : static_cast<uint32_t>(codec_->sample_rate);
        info_.channels = request.channels ? request.channels
                                          : static_cast<uint16_t>(std::min(codec_->ch_layout.nb_channels, 2));
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, info_.channels);
        const int made = swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, static_cast<int>(info_.rate),
                                             &codec_->ch_layout, codec_->sample_fmt, codec_->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        if (made < 0 || swr_init(swr_) < 0) return false;
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (!packet_ || !frame_) return false;

        const AVRational outBase{1, static_cast<int>(info_.rate)};
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
            info_.frames = static_cast<uint64_t>(av_rescale_q(stream->duration, stream->time_base, outBase));
        else if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0)
            info_.frames = static_cast<uint64_t>(av_rescale_q(format_->duration, AV_TIME_BASE_Q, outBase));
        const int video = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (video >= 0 && !(format_->streams[video]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            const AVStream* v = format_->streams[video];
            const AVRational rate = v->avg_frame_rate.num > 0 ? v->avg_frame_rate : v->r_frame_rate;
            if (rate.num > 0 && rate.den > 0) {
                info_.videoRate = static_cast<uint32_t>(rate.num);
                info_.videoRateScale = static_cast<uint32_t>(rate.den);
                info_.videoFrames = v->nb_frames > 0 ? static_cast<uint64_t>(v->nb_frames) : 0;
            }
        }
        return true;
    }

    // Decodes until some sound is pending, the file ends or decoding fails.
    void DecodeMore() {
        for (;;) {
            const int received = avcodec_receive_frame(codec_, frame_);
            if (received == 0) {
                Convert(frame_->extended_data, frame_->nb_samples);
                av_frame_unref(frame_);
                if (pending_.size() > pendingAt_) return;
                continue;
            }
            if (received == AVERROR_EOF) {
                Convert(nullptr, 0); // what the resampler still holds
                ended_ = true;
                return;
            }
            if (received != AVERROR(EAGAIN)) {
                failed_ = true;
                return;
            }
            const int read = av_read_frame(format_, packet_);
            if (read == AVERROR_EOF || (read < 0 && avio_feof(format_->pb))) {
                if (draining_ || avcodec_send_packet(codec_, nullptr) < 0) {
                    ended_ = true;
                    return;
                }
                draining_ = true;
                continue;
            }
            if (read < 0) {
                failed_ = true;
                return;
            }
            const int sent = packet_->stream_index == stream_ ? avcodec_send_packet(codec_, packet_) : 0;
            av_packet_unref(packet_);
            if (sent < 0 && sent != AVERROR(EAGAIN)) {
                failed_ = true;
                return;
            }
        }
    }

    // Appends converted sound; the first frame after a seek tells where it lies.
    void Convert(uint8_t** data, int samples) {
        if (data && !positionKnown_) {
            const AVStream* stream = format_->streams[stream_];
            int64_t pts = frame_->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE) {
                if (stream->start_time != AV_NOPTS_VALUE) pts -= stream->start_time;
                position_ = static_cast<uint64_t>(std::max<int64_t>(
                    0, av_rescale_q(pts, stream->time_base, AVRational{1, static_cast<int>(info_.rate)})));
            }
            positionKnown_ = true;
        }
        const int room = swr_get_out_samples(swr_, samples);
        if (room <= 0) return;
        const size_t at = pending_.size();
        pending_.resize(at + static_cast<size_t>(room) * info_.channels);
        auto* out = reinterpret_cast<uint8_t*>(pending_.data() + at);
        const int made = swr_convert(swr_, &out, room, const_cast<const uint8_t**>(data), samples);
        pending_.resize(at + static_cast<size_t>(std::max(made, 0)) * info_.channels);
    }

    File file_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_ = -1;
    AudioStreamInfo info_;
    std::vector<int16_t> pending_;
    size_t pendingAt_ = 0;
    uint64_t position_ = 0; // the output frame pending_ starts at
    uint64_t skipTo_ = 0;
    bool positionKnown_ = true;
    bool draining_ = false, ended_ = false, failed_ = false;
};

} // namespace

void RegisterFfmpegDecoder() {
    {
        NearestRoundingScope nearest;
        // Files that are not sound (a CD's data tracks) are probed as a matter of course.
        av_log_set_level(AV_LOG_FATAL);
    }
    RegisterAudioDecoder(
        [](const std::string& path, const AudioOutputRequest& request) -> std::unique_ptr<AudioDecoder> {
            return FfmpegDecoder::Open(path, request);
        });
}

} // namespace plat
