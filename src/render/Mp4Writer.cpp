#include "render/Mp4Writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <system_error>
#include <vector>

#include "core/platform/TextFile.h"
#include "render/QtStrings.h"

namespace lumafex::render {

namespace fs = std::filesystem;

namespace {

std::string avError(int code) {
  std::array<char, AV_ERROR_MAX_STRING_SIZE> text{};
  av_strerror(code, text.data(), text.size());
  return text.data();
}

}  // namespace

struct Mp4Writer::State {
  fs::path target;
  fs::path temporary;
  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  SwsContext* scale = nullptr;
  QSize size;
  const char* encoder = "";

  ~State() {
    sws_freeContext(scale);
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
    std::error_code ec;
    if (!temporary.empty()) fs::remove(temporary, ec);
  }
};

Mp4Writer::Mp4Writer(std::unique_ptr<State> state) : state_(std::move(state)) {}
Mp4Writer::~Mp4Writer() = default;

const char* Mp4Writer::encoderName() const {
  return state_->encoder;
}

Result<std::unique_ptr<Mp4Writer>> Mp4Writer::open(const fs::path& file, QSize size, int fps) {
  using R = Result<std::unique_ptr<Mp4Writer>>;
  if (size.width() < 2 || size.height() < 2) return R::fail("视频画面太小（至少2×2像素）。");
  if (fps < 1 || fps > 240) return R::fail("帧率应在1到240之间。");
  std::error_code ec;
  fs::path target = file;
  if (fs::is_symlink(target, ec)) target = fs::canonical(target, ec);
  if (fs::exists(target, ec) && !fs::is_regular_file(target, ec)) {
    return R::fail("“" + platform::pathToUtf8(file) + "”不是普通文件，不能替换。");
  }
  av_log_set_level(AV_LOG_ERROR);
  auto state = std::make_unique<State>();
  state->target = target;
  state->size = size;

  // The encoder: libx264 when FFmpeg has it, else any other H.264 encoder that opens.
  const bool even = size.width() % 2 == 0 && size.height() % 2 == 0;
  std::vector<const AVCodec*> candidates;
  if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264")) candidates.push_back(x264);
  void* iterator = nullptr;
  while (const AVCodec* c = av_codec_iterate(&iterator)) {
    if (av_codec_is_encoder(c) && c->id == AV_CODEC_ID_H264 &&
        std::find(candidates.begin(), candidates.end(), c) == candidates.end()) {
      candidates.push_back(c);
    }
  }
  std::string tried;
  for (const AVCodec* candidate : candidates) {
    AVCodecContext* c = avcodec_alloc_context3(candidate);
    if (!c) continue;
    c->width = size.width();
    c->height = size.height();
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->gop_size = fps * 10;
    c->pix_fmt = even ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUV444P;
    c->thread_count = 0;
    c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    if (std::string_view(candidate->name) == "libx264") {
      av_dict_set(&options, "preset", "veryfast", 0);
      av_dict_set(&options, "crf", "20", 0);
    }
    const int opened = avcodec_open2(c, candidate, &options);
    av_dict_free(&options);
    if (opened >= 0) {
      state->codec = c;
      state->encoder = candidate->name;
      break;
    }
    tried += std::string(tried.empty() ? "" : "、") + candidate->name;
    avcodec_free_context(&c);
  }
  if (!state->codec) {
    return R::fail(candidates.empty()
                       ? "FFmpeg没有H.264编码器（请安装带libx264的libavcodec）。"
                       : "H.264编码器不能打开（试过" + tried + "；请安装带libx264的libavcodec）。");
  }

  // Written beside the target and renamed over it at the end.
  QTemporaryFile temporary(platform::qs(platform::pathToUtf8(
                               target.parent_path().empty() ? fs::path(".") : target.parent_path())) +
                           QStringLiteral("/.lumafex-XXXXXX.mp4"));
  temporary.setAutoRemove(false);
  if (!temporary.open())
    return R::fail("“" + platform::pathToUtf8(file) + "”不能写入（" + platform::us(temporary.errorString()) +
                   "）。");
  state->temporary = platform::pathFromUtf8(platform::us(temporary.fileName()));
  temporary.close();
  const std::string temporaryName = platform::pathToUtf8(state->temporary);

  if (const int r = avformat_alloc_output_context2(&state->format, nullptr, "mp4", temporaryName.c_str());
      r < 0) {
    return R::fail("MP4不能生成（" + avError(r) + "）。");
  }
  state->stream = avformat_new_stream(state->format, nullptr);
  if (!state->stream) return R::fail("MP4不能生成。");
  state->stream->time_base = state->codec->time_base;
  state->stream->avg_frame_rate = state->codec->framerate;
  if (const int r = avcodec_parameters_from_context(state->stream->codecpar, state->codec); r < 0) {
    return R::fail("MP4不能生成（" + avError(r) + "）。");
  }
  if (const int r = avio_open(&state->format->pb, temporaryName.c_str(), AVIO_FLAG_WRITE); r < 0) {
    return R::fail("“" + platform::pathToUtf8(file) + "”不能写入（" + avError(r) + "）。");
  }
  if (const int r = avformat_write_header(state->format, nullptr); r < 0) {
    return R::fail("MP4不能生成（" + avError(r) + "）。");
  }
  state->frame = av_frame_alloc();
  state->packet = av_packet_alloc();
  if (!state->frame || !state->packet) return R::fail("内存不足。");
  state->frame->format = state->codec->pix_fmt;
  state->frame->width = size.width();
  state->frame->height = size.height();
  if (av_frame_get_buffer(state->frame, 0) < 0) return R::fail("内存不足。");
  state->scale = sws_getContext(size.width(), size.height(), AV_PIX_FMT_RGB32, size.width(), size.height(),
                                state->codec->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!state->scale) return R::fail("颜色转换不能进行。");
  return R::ok(std::unique_ptr<Mp4Writer>(new Mp4Writer(std::move(state))));
}

Status Mp4Writer::encode(bool flush) {
  State& s = *state_;
  const int sent = avcodec_send_frame(s.codec, flush ? nullptr : s.frame);
  if (sent < 0) return Status::fail("视频编码出错（" + avError(sent) + "）。");
  for (;;) {
    const int r = avcodec_receive_packet(s.codec, s.packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return success();
    if (r < 0) return Status::fail("视频编码出错（" + avError(r) + "）。");
    av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
    s.packet->stream_index = s.stream->index;
    const int w = av_interleaved_write_frame(s.format, s.packet);
    av_packet_unref(s.packet);
    if (w < 0) return Status::fail("视频写入出错（" + avError(w) + "）。");
  }
}

Status Mp4Writer::addFrame(const QImage& image, bool changed) {
  State& s = *state_;
  if (finished_) return Status::fail("视频已经结束。");
  // The encoder may still hold the last picture: a copy is made then, with the same content.
  if (av_frame_make_writable(s.frame) < 0) return Status::fail("内存不足。");
  if (changed || frames_ == 0) {
    if (image.size() != s.size) return Status::fail("视频帧的大小不对。");
    const QImage rgb =
        image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    const uint8_t* planes[1] = {rgb.constBits()};
    const int strides[1] = {static_cast<int>(rgb.bytesPerLine())};
    sws_scale(s.scale, planes, strides, 0, s.size.height(), s.frame->data, s.frame->linesize);
  }
  s.frame->pts = frames_;
  ++frames_;
  return encode(false);
}

Status Mp4Writer::finish() {
  State& s = *state_;
  if (finished_) return success();
  finished_ = true;
  if (auto r = encode(true); !r) return r;
  if (const int r = av_write_trailer(s.format); r < 0)
    return Status::fail("MP4不能写完（" + avError(r) + "）。");
  if (const int r = avio_closep(&s.format->pb); r < 0)
    return Status::fail("MP4不能写完（" + avError(r) + "）。");
  std::error_code ec;
  fs::permissions(
      s.temporary,
      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read, ec);
  fs::rename(s.temporary, s.target, ec);
  if (ec) return Status::fail("“" + platform::pathToUtf8(s.target) + "”不能写入（" + ec.message() + "）。");
  s.temporary.clear();
  return success();
}

}  // namespace lumafex::render
