#include "render/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace lumafex::render {

namespace {

// The nearest colours found are remembered; a picture with very many colours would otherwise grow
// the table without end.
constexpr std::size_t kMaxRemembered = 1u << 16;

std::string reasonOf(int code) {
  const char* reason = GifErrorString(code);
  return reason ? reason : "错误" + std::to_string(code);
}

int distance(QRgb a, QRgb b) {
  const int r = qRed(a) - qRed(b);
  const int g = qGreen(a) - qGreen(b);
  const int bl = qBlue(a) - qBlue(b);
  return r * r + g * g + bl * bl;
}

// The colours a picture uses most keep their own entry when there are too many colours.
constexpr std::size_t kExactColours = 32;

using Counted = std::vector<std::pair<QRgb, std::uint64_t>>;

int channel(QRgb c, int k) {
  return k == 0 ? qRed(c) : k == 1 ? qGreen(c) : qBlue(c);
}

// `boxes` colours standing for the counted colours: the box with the widest channel is split at
// its weighted median until there are enough; each box gives its weighted mean.
std::vector<QRgb> medianCut(Counted colours, std::size_t boxes) {
  std::vector<Counted> parts;
  parts.push_back(std::move(colours));
  while (parts.size() < boxes) {
    std::size_t widest = parts.size();
    int widestChannel = 0;
    int widestRange = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (parts[i].size() < 2) continue;
      for (int k = 0; k < 3; ++k) {
        int lo = 255;
        int hi = 0;
        for (const auto& entry : parts[i]) {
          lo = std::min(lo, channel(entry.first, k));
          hi = std::max(hi, channel(entry.first, k));
        }
        if (hi - lo > widestRange) {
          widestRange = hi - lo;
          widest = i;
          widestChannel = k;
        }
      }
    }
    if (widest == parts.size()) break;
    Counted& part = parts[widest];
    std::sort(part.begin(), part.end(), [k = widestChannel](const auto& a, const auto& b) {
      return channel(a.first, k) < channel(b.first, k);
    });
    std::uint64_t total = 0;
    for (const auto& entry : part) total += entry.second;
    std::uint64_t running = 0;
    std::size_t cut = 1;
    for (; cut < part.size() - 1; ++cut) {
      running += part[cut - 1].second;
      if (running * 2 >= total) break;
    }
    Counted upper(part.begin() + static_cast<std::ptrdiff_t>(cut), part.end());
    part.resize(cut);
    parts.push_back(std::move(upper));
  }
  std::vector<QRgb> means;
  for (const Counted& part : parts) {
    double r = 0;
    double g = 0;
    double b = 0;
    double n = 0;
    for (const auto& [c, count] : part) {
      const auto w = static_cast<double>(count);
      r += qRed(c) * w;
      g += qGreen(c) * w;
      b += qBlue(c) * w;
      n += w;
    }
    if (n > 0) {
      means.push_back(qRgb(static_cast<int>(std::lround(r / n)), static_cast<int>(std::lround(g / n)),
                           static_cast<int>(std::lround(b / n))));
    }
  }
  return means;
}

}  // namespace

GifPalette::GifPalette(const std::vector<QRgb>& colours) {
  for (const QRgb c : colours) {
    const QRgb rgb = c & RGB_MASK;
    if (colours_.size() >= kMaxColours) break;
    if (index_.emplace(rgb, static_cast<std::uint8_t>(colours_.size())).second) colours_.push_back(rgb);
  }
  if (colours_.empty()) {
    colours_.push_back(0);
    index_.emplace(0, 0);
  }
}

void GifPalette::Counter::add(const QImage& sample) {
  const QImage image =
      sample.format() == QImage::Format_RGB32 ? sample : sample.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QRgb last = row[0] & RGB_MASK;
    std::uint64_t run = 0;
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = row[x] & RGB_MASK;
      if (c != last) {
        counts_[last] += run;
        last = c;
        run = 0;
      }
      ++run;
    }
    counts_[last] += run;
  }
}

GifPalette GifPalette::fromImages(const std::vector<QImage>& samples) {
  Counter counter;
  for (const QImage& sample : samples) counter.add(sample);
  return counter.palette();
}

GifPalette GifPalette::Counter::palette() const {
  const auto& counts = counts_;
  std::vector<std::pair<QRgb, std::uint64_t>> ranked(counts.begin(), counts.end());
  std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  std::vector<QRgb> colours;
  if (ranked.size() <= kMaxColours) {
    for (const auto& entry : ranked) colours.push_back(entry.first);
    return GifPalette(colours);
  }
  // More colours than a GIF holds (photographs among the pictures): the most used keep their exact
  // value, the others are shared out by median cut.
  const std::size_t exact = kExactColours;
  for (std::size_t i = 0; i < exact; ++i) colours.push_back(ranked[i].first);
  for (const QRgb c :
       medianCut({ranked.begin() + static_cast<std::ptrdiff_t>(exact), ranked.end()}, kMaxColours - exact)) {
    colours.push_back(c);
  }
  return GifPalette(colours);
}

int GifPalette::bits() const {
  int bits = 1;
  while ((std::size_t{1} << bits) < colours_.size() + 1) ++bits;
  return bits;
}

std::uint8_t GifPalette::indexOf(QRgb colour) {
  const QRgb rgb = colour & RGB_MASK;
  const auto found = index_.find(rgb);
  if (found != index_.end()) return found->second;
  std::uint8_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < colours_.size(); ++i) {
    const int d = distance(rgb, colours_[i]);
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<std::uint8_t>(i);
    }
  }
  if (index_.size() < kMaxRemembered) index_.emplace(rgb, best);
  return best;
}

GifWriter::GifWriter(QSize size, GifPalette palette, bool loop)
    : size_(size.expandedTo(QSize(1, 1))), palette_(std::move(palette)), loop_(loop) {}

GifWriter::~GifWriter() {
  if (gif_) {
    int error = 0;
    EGifCloseFile(gif_, &error);
  }
}

int GifWriter::write(GifFileType* gif, const unsigned char* bytes, int length) {
  auto* self = static_cast<GifWriter*>(gif->UserData);
  self->bytes_.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
  return length;
}

Status GifWriter::fail(const char* what) {
  failed_ = true;
  return Status::fail(std::string("GIF文件不能生成（") + what + "：" + reasonOf(gif_ ? gif_->Error : 0) +
                      "）。");
}

Status GifWriter::start() {
  started_ = true;
  int error = 0;
  gif_ = EGifOpen(this, &GifWriter::write, &error);
  if (!gif_) {
    failed_ = true;
    return Status::fail("GIF文件不能生成（" + reasonOf(error) + "）。");
  }
  EGifSetGifVersion(gif_, true);
  const int entries = 1 << palette_.bits();
  ColorMapObject* map = GifMakeMapObject(entries, nullptr);
  if (!map) return fail("调色板");
  for (int i = 0; i < entries; ++i) {
    const QRgb c = static_cast<std::size_t>(i) < palette_.colours().size() ? palette_.colours()[i] : 0;
    map->Colors[i].Red = static_cast<GifByteType>(qRed(c));
    map->Colors[i].Green = static_cast<GifByteType>(qGreen(c));
    map->Colors[i].Blue = static_cast<GifByteType>(qBlue(c));
  }
  const int put = EGifPutScreenDesc(gif_, size_.width(), size_.height(), 8, 0, map);
  GifFreeMapObject(map);
  if (put != GIF_OK) return fail("文件头");
  if (loop_) {
    // NETSCAPE2.0, sub-block 1: the loop count, 0 for ever.
    static const char kApplication[] = "NETSCAPE2.0";
    const GifByteType loopCount[3] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
        EGifPutExtensionBlock(gif_, 11, kApplication) != GIF_OK ||
        EGifPutExtensionBlock(gif_, 3, loopCount) != GIF_OK || EGifPutExtensionTrailer(gif_) != GIF_OK) {
      return fail("循环播放");
    }
  }
  const std::size_t pixels =
      static_cast<std::size_t>(size_.width()) * static_cast<std::size_t>(size_.height());
  previous_.assign(pixels, 0);
  current_.assign(pixels, 0);
  line_.resize(static_cast<std::size_t>(size_.width()));
  return success();
}

Status GifWriter::addFrame(const QImage& frame, int delay) {
  if (failed_) return Status::fail("GIF文件不能生成。");
  if (!started_) {
    if (auto s = start(); !s) return s;
  }
  if (frame.size() != size_) return Status::fail("GIF文件不能生成（画面大小不一致）。");
  const QImage image = frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB32);
  const int width = size_.width();
  const int height = size_.height();
  const auto w = static_cast<std::size_t>(width);

  // The indices of the new picture, and the rectangle in which they differ from the old one.
  int top = height;
  int bottom = -1;
  int left = width;
  int right = -1;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::uint8_t* out = current_.data() + static_cast<std::size_t>(y) * w;
    // Signs are runs of one colour: the index of the last colour is reused along a run.
    QRgb last = ~row[0];
    std::uint8_t lastIndex = 0;
    for (int x = 0; x < width; ++x) {
      if (row[x] != last) {
        last = row[x];
        lastIndex = palette_.indexOf(last);
      }
      out[x] = lastIndex;
    }
    if (frames_ == 0) continue;
    const std::uint8_t* before = previous_.data() + static_cast<std::size_t>(y) * w;
    if (std::memcmp(out, before, w) == 0) continue;
    top = std::min(top, y);
    bottom = y;
    int l = 0;
    while (out[l] == before[l]) ++l;
    int r = width - 1;
    while (out[r] == before[r]) --r;
    left = std::min(left, l);
    right = std::max(right, r);
  }
  if (frames_ == 0) {
    top = 0;
    bottom = height - 1;
    left = 0;
    right = width - 1;
  }
  const bool unchanged = bottom < 0;
  if (unchanged) {
    // Nothing changed: one transparent pixel carries the delay.
    top = bottom = left = right = 0;
  }

  GraphicsControlBlock control;
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = std::clamp(delay, 0, 65535);
  control.TransparentColor = frames_ == 0 ? NO_TRANSPARENT_COLOR : palette_.transparentIndex();
  GifByteType extension[4];
  const std::size_t length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) != GIF_OK) {
    return fail("画面");
  }
  const int rectWidth = right - left + 1;
  if (EGifPutImageDesc(gif_, left, top, rectWidth, bottom - top + 1, false, nullptr) != GIF_OK) {
    return fail("画面");
  }
  for (int y = top; y <= bottom; ++y) {
    const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(left);
    const std::uint8_t* now = current_.data() + at;
    const std::uint8_t* before = previous_.data() + at;
    for (int x = 0; x < rectWidth; ++x) {
      line_[static_cast<std::size_t>(x)] =
          frames_ == 0 || unchanged || now[x] != before[x] ? now[x] : palette_.transparentIndex();
    }
    if (unchanged) line_[0] = palette_.transparentIndex();
    if (EGifPutLine(gif_, line_.data(), rectWidth) != GIF_OK) return fail("画面");
  }
  std::swap(previous_, current_);
  ++frames_;
  return success();
}

Result<std::string> GifWriter::finish() {
  if (failed_) return Result<std::string>::fail("GIF文件不能生成。");
  if (!started_) {
    if (auto s = start(); !s) return Result<std::string>::fail(s.error());
  }
  int error = 0;
  const int closed = EGifCloseFile(gif_, &error);
  gif_ = nullptr;
  failed_ = true;  // nothing more can be added
  if (closed != GIF_OK) {
    return Result<std::string>::fail("GIF文件不能生成（" + reasonOf(error) + "）。");
  }
  return Result<std::string>::ok(std::move(bytes_));
}

}  // namespace lumafex::render
