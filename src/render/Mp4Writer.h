#pragma once
// An H.264 video in an MP4 container, written with FFmpeg's libraries at a constant frame rate.
// The file is written beside its target and renamed over it when the whole video is done, so a
// cancelled or failed export leaves the old file as it was.

#include <QImage>
#include <QSize>
#include <filesystem>
#include <memory>

#include "core/platform/Result.h"

namespace lumafex::render {

class Mp4Writer {
 public:
  ~Mp4Writer();
  Mp4Writer(const Mp4Writer&) = delete;
  Mp4Writer& operator=(const Mp4Writer&) = delete;

  // A video of `size` pixels at `fps` frames a second. Sizes of even width and height are written
  // in 4:2:0 (what every player plays); other sizes in 4:4:4, which keeps them exact. The message
  // says why when no H.264 encoder can be opened.
  static Result<std::unique_ptr<Mp4Writer>> open(const std::filesystem::path& file, QSize size, int fps);
  // The encoder used ("libx264", …).
  const char* encoderName() const;

  // The next frame (an image of the video's size); `changed` false: the same picture as the frame
  // before, which is not converted again.
  Status addFrame(const QImage& image, bool changed = true);
  // Ends the video and puts it in place.
  Status finish();
  long frames() const { return frames_; }

 private:
  struct State;
  explicit Mp4Writer(std::unique_ptr<State> state);
  Status encode(bool flush);

  std::unique_ptr<State> state_;
  long frames_ = 0;
  bool finished_ = false;
};

}  // namespace lumafex::render
