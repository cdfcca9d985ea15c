#pragma once
// An animated GIF written with giflib: one global palette for the whole animation (a sign has few
// colours), every frame after the first reduced to the rectangle that changed, with the pixels
// that did not change left transparent so they compress to almost nothing, and the loop extension
// that makes viewers play it for ever.

#include <QImage>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/platform/Result.h"

struct GifFileType;

namespace lumafex::render {

// The colours of an animation and the index each colour is written with. One index of the 256 is
// kept for "unchanged since the last frame".
class GifPalette {
 public:
  static constexpr std::size_t kMaxColours = 255;

  GifPalette() = default;
  // The colours as given (alpha ignored), at most kMaxColours; duplicates are dropped.
  explicit GifPalette(const std::vector<QRgb>& colours);
  // Counts the colours of frames for a palette.
  class Counter {
   public:
    void add(const QImage& image);
    // Every colour counted when they are few enough; otherwise the most used exactly and the
    // others shared out by median cut.
    GifPalette palette() const;

   private:
    std::unordered_map<QRgb, std::uint64_t> counts_;
  };
  // The palette of these frames.
  static GifPalette fromImages(const std::vector<QImage>& samples);

  const std::vector<QRgb>& colours() const { return colours_; }
  // The index of the transparent ("unchanged") entry: just after the colours.
  std::uint8_t transparentIndex() const { return static_cast<std::uint8_t>(colours_.size()); }
  // Bits per index of the colour table (the table holds 2^bits entries, the colours, the
  // transparent entry and black padding).
  int bits() const;
  // The index of a colour: its own entry, or the nearest colour of the palette when it has none.
  std::uint8_t indexOf(QRgb colour);

 private:
  std::vector<QRgb> colours_;
  std::unordered_map<QRgb, std::uint8_t> index_;  // exact colours and the nearest ones found so far
};

class GifWriter {
 public:
  // An animation of frames of `size` pixels; `loop`: the loop extension (play for ever).
  GifWriter(QSize size, GifPalette palette, bool loop = true);
  ~GifWriter();
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;

  // Adds a frame shown for `delay` hundredths of a second. The image must be of the size given.
  Status addFrame(const QImage& frame, int delay);
  // Ends the file; the bytes of the whole GIF.
  Result<std::string> finish();

  long frames() const { return frames_; }
  const GifPalette& palette() const { return palette_; }

 private:
  Status start();
  Status fail(const char* what);
  static int write(GifFileType* gif, const unsigned char* bytes, int length);

  QSize size_;
  GifPalette palette_;
  bool loop_;
  GifFileType* gif_ = nullptr;
  bool started_ = false;
  bool failed_ = false;
  std::string bytes_;
  long frames_ = 0;
  std::vector<std::uint8_t> previous_;  // the indices of the picture shown so far
  std::vector<std::uint8_t> current_;
  std::vector<std::uint8_t> line_;
};

}  // namespace lumafex::render
