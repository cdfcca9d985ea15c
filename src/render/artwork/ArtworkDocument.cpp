#include "render/artwork/ArtworkDocument.h"

#include <QFile>
#include <QImageReader>
#include <QStringDecoder>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <array>
#include <cmath>

#include "core/platform/TextFile.h"
#include "render/QtStrings.h"

namespace lumafex::render {

namespace fs = std::filesystem;

namespace {

constexpr auto kSvgNamespace = QLatin1StringView("http://www.w3.org/2000/svg");
constexpr auto kInkscapeNamespace = QLatin1StringView("http://www.inkscape.org/namespaces/inkscape");
// An SVG of a sign is a few hundred kilobytes; anything near this is no drawing of one.
constexpr qint64 kMaxSvgBytes = 64LL * 1024 * 1024;
// Pixels per unit at 96 dpi.
constexpr double kPixelsPerInch = 96;

enum class Role { Group, Drawable, Skipped };

Role roleOf(QStringView name) {
  static const std::array<QLatin1StringView, 4> groups = {
      QLatin1StringView("g"), QLatin1StringView("a"), QLatin1StringView("switch"), QLatin1StringView("svg")};
  static const std::array<QLatin1StringView, 11> drawables = {
      QLatin1StringView("path"),    QLatin1StringView("line"),    QLatin1StringView("polyline"),
      QLatin1StringView("polygon"), QLatin1StringView("rect"),    QLatin1StringView("circle"),
      QLatin1StringView("ellipse"), QLatin1StringView("text"),    QLatin1StringView("image"),
      QLatin1StringView("use"),     QLatin1StringView("textArea")};
  for (const auto g : groups) {
    if (name == g) return Role::Group;
  }
  for (const auto d : drawables) {
    if (name == d) return Role::Drawable;
  }
  // Definitions, gradients, clip paths, markers, metadata and anything unknown draw nothing here.
  return Role::Skipped;
}

// A length in pixels ("210mm", "800", "12pt"); nothing for a percentage or no number.
std::optional<double> pixelsOf(QStringView text) {
  text = text.trimmed();
  struct Unit {
    QLatin1StringView suffix;
    double pixels;
  };
  static const std::array<Unit, 6> units = {Unit{QLatin1StringView("px"), 1},
                                            Unit{QLatin1StringView("pt"), kPixelsPerInch / 72},
                                            Unit{QLatin1StringView("pc"), kPixelsPerInch / 6},
                                            Unit{QLatin1StringView("mm"), kPixelsPerInch / 25.4},
                                            Unit{QLatin1StringView("cm"), kPixelsPerInch / 2.54},
                                            Unit{QLatin1StringView("in"), kPixelsPerInch}};
  double factor = 1;
  for (const Unit& u : units) {
    if (text.endsWith(u.suffix)) {
      factor = u.pixels;
      text.chop(u.suffix.size());
      break;
    }
  }
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v) || v <= 0) return std::nullopt;
  return v * factor;
}

// A plain colour: #rgb, #rrggbb, a colour name or rgb(r, g, b) (numbers or percentages).
std::optional<QColor> colourOf(QStringView value) {
  value = value.trimmed();
  if (value.isEmpty() || value == QLatin1StringView("none")) return std::nullopt;
  if (value.startsWith(QLatin1StringView("rgb(")) && value.endsWith(QLatin1Char(')'))) {
    const auto parts = value.mid(4, value.size() - 5).split(QLatin1Char(','));
    if (parts.size() != 3) return std::nullopt;
    std::array<int, 3> c{};
    for (std::size_t i = 0; i < 3; ++i) {
      QStringView p = parts[static_cast<qsizetype>(i)].trimmed();
      const bool percent = p.endsWith(QLatin1Char('%'));
      if (percent) p.chop(1);
      bool ok = false;
      const double v = p.toDouble(&ok);
      if (!ok || !std::isfinite(v)) return std::nullopt;
      c[i] = std::clamp(static_cast<int>(std::lround(percent ? v * 2.55 : v)), 0, 255);
    }
    return QColor(c[0], c[1], c[2]);
  }
  const QColor colour = QColor::fromString(value);
  if (!colour.isValid()) return std::nullopt;
  return colour;
}

// The value a presentation property has on an element: its style declaration, else its attribute;
// empty when neither says (the value is inherited).
QString propertyOf(const QXmlStreamAttributes& attributes, QLatin1StringView name) {
  const QStringView style = attributes.value(QLatin1StringView("style"));
  QString found;
  for (const QStringView declaration : style.split(QLatin1Char(';'))) {
    const auto colon = declaration.indexOf(QLatin1Char(':'));
    if (colon < 0) continue;
    if (declaration.left(colon).trimmed() == name) found = declaration.mid(colon + 1).trimmed().toString();
  }
  if (!found.isEmpty()) return found;
  return attributes.value(name).trimmed().toString();
}

struct Paint {
  QString stroke = QStringLiteral("none");
  QString fill = QStringLiteral("black");
};

std::optional<QColor> tubeColourOf(const Paint& paint) {
  const auto notBlack = [](std::optional<QColor> c) -> std::optional<QColor> {
    if (c && (c->red() | c->green() | c->blue()) == 0) return std::nullopt;
    return c;
  };
  if (auto stroke = notBlack(colourOf(paint.stroke))) return stroke;
  return notBlack(colourOf(paint.fill));
}

QString decodeSvg(const QByteArray& bytes, QString& error) {
  auto encoding = QStringDecoder::encodingForData(bytes);
  QString name;
  if (!encoding) {
    QXmlStreamReader probe(bytes);
    while (!probe.atEnd() && probe.readNext() != QXmlStreamReader::StartElement) {
      if (probe.tokenType() == QXmlStreamReader::StartDocument) {
        name = probe.documentEncoding().toString();
        break;
      }
    }
  }
  QStringDecoder decoder = encoding         ? QStringDecoder(*encoding)
                           : name.isEmpty() ? QStringDecoder(QStringDecoder::Utf8)
                                            : QStringDecoder(name.toLatin1().constData());
  if (!decoder.isValid()) {
    error = QStringLiteral("SVG图的编码“%1”不认识。").arg(name);
    return {};
  }
  QString text = decoder(bytes);
  if (decoder.hasError()) {
    error = QStringLiteral("SVG图中有不能解码的文字。");
    return {};
  }
  return text;
}

}  // namespace

std::optional<fs::path> ArtworkDocument::find(const fs::path& projectDirectory) {
  for (const char* name : {artwork::kArtworkSvgFile, artwork::kArtworkPngFile, artwork::kArtworkJpgFile}) {
    const fs::path file = projectDirectory / platform::pathFromUtf8(name);
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return file;
  }
  return std::nullopt;
}

Result<ArtworkDocument> ArtworkDocument::load(const fs::path& file) {
  const QString path = platform::qs(platform::pathToUtf8(file));
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return Result<ArtworkDocument>::fail("实物图“" + platform::pathToUtf8(file) + "”不能打开。");
  if (f.size() > kMaxSvgBytes && file.extension() == ".svg") {
    return Result<ArtworkDocument>::fail("实物图“" + platform::pathToUtf8(file) + "”太大。");
  }
  const QByteArray head = f.peek(512);
  if (file.extension() == ".svg" || head.contains("<svg") || head.startsWith("<?xml")) {
    return fromSvg(f.read(kMaxSvgBytes));
  }
  f.close();
  QImageReader reader(path);
  QImage photo = reader.read();
  if (photo.isNull()) {
    return Result<ArtworkDocument>::fail("实物图“" + platform::pathToUtf8(file) + "”不能读取（" +
                                         platform::us(reader.errorString()) + "）。");
  }
  return fromPhoto(std::move(photo));
}

Result<ArtworkDocument> ArtworkDocument::fromPhoto(QImage photo) {
  if (photo.isNull()) return Result<ArtworkDocument>::fail("实物图是空的。");
  ArtworkDocument d;
  d.kind_ = Kind::Photo;
  d.photo_ = photo.convertToFormat(QImage::Format_RGB32);
  d.size_ = d.photo_.size();
  return Result<ArtworkDocument>::ok(std::move(d));
}

Result<ArtworkDocument> ArtworkDocument::fromSvg(const QByteArray& bytes) {
  ArtworkDocument d;
  d.kind_ = Kind::Svg;
  QString error;
  d.svg_ = decodeSvg(bytes, error);
  if (!error.isEmpty()) return Result<ArtworkDocument>::fail(platform::us(error));

  QXmlStreamReader reader(d.svg_);
  struct Open {
    int element = -1;  // the element's index, -1 for the root and for what is skipped
    bool skipped = false;
    Paint paint;
  };
  std::vector<Open> open;
  bool rootSeen = false;
  std::optional<double> width;
  std::optional<double> height;
  std::optional<QSizeF> viewBox;
  while (!reader.atEnd()) {
    const auto token = reader.readNext();
    const qsizetype tokenEnd = reader.characterOffset();
    if (token == QXmlStreamReader::StartElement) {
      const QStringView ns = reader.namespaceUri();
      const bool svgElement = ns.isEmpty() || ns == kSvgNamespace;
      const QXmlStreamAttributes attributes = reader.attributes();
      if (!rootSeen) {
        if (!svgElement || reader.name() != QLatin1StringView("svg")) {
          return Result<ArtworkDocument>::fail("这不是SVG图。");
        }
        rootSeen = true;
        width = pixelsOf(attributes.value(QLatin1StringView("width")));
        height = pixelsOf(attributes.value(QLatin1StringView("height")));
        const auto box = attributes.value(QLatin1StringView("viewBox"))
                             .toString()
                             .simplified()
                             .replace(QLatin1Char(','), QLatin1Char(' '))
                             .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (box.size() == 4) {
          bool okW = false;
          bool okH = false;
          const double w = box[2].toDouble(&okW);
          const double h = box[3].toDouble(&okH);
          if (okW && okH && std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0) viewBox = QSizeF(w, h);
        }
        Open root;
        root.paint.stroke = propertyOf(attributes, QLatin1StringView("stroke"));
        root.paint.fill = propertyOf(attributes, QLatin1StringView("fill"));
        if (root.paint.stroke.isEmpty()) root.paint.stroke = QStringLiteral("none");
        if (root.paint.fill.isEmpty()) root.paint.fill = QStringLiteral("black");
        open.push_back(root);
        continue;
      }
      const Open& outer = open.back();
      const Role role = svgElement ? roleOf(reader.name()) : Role::Skipped;
      // Inside a skipped element or a drawable one nothing is an element of its own.
      const bool inside = outer.skipped ||
                          (outer.element >= 0 && !d.elements_[static_cast<std::size_t>(outer.element)].group);
      Open here;
      here.paint = outer.paint;
      if (const QString s = propertyOf(attributes, QLatin1StringView("stroke"));
          !s.isEmpty() && s != QLatin1StringView("inherit"))
        here.paint.stroke = s;
      if (const QString f = propertyOf(attributes, QLatin1StringView("fill"));
          !f.isEmpty() && f != QLatin1StringView("inherit"))
        here.paint.fill = f;
      if (inside || role == Role::Skipped) {
        here.skipped = true;
      } else {
        ArtworkElement e;
        e.tag = reader.name().toString();
        e.id = attributes.value(QLatin1StringView("id")).toString();
        e.label = attributes.value(kInkscapeNamespace, QLatin1StringView("label")).toString();
        if (e.label.isEmpty()) e.label = attributes.value(QLatin1StringView("inkscape:label")).toString();
        e.group = role == Role::Group;
        // The group that holds it: the nearest open element that is one.
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
          if (it->element >= 0 && !it->skipped) {
            e.parent = it->element;
            break;
          }
        }
        e.colour = tubeColourOf(here.paint);
        here.element = static_cast<int>(d.elements_.size());
        d.elements_.push_back(std::move(e));
        // The reader's offset runs a character past the end of the token before, so the tag's
        // start is found as its "<" (which no attribute value may hold).
        d.spans_.emplace_back(d.svg_.lastIndexOf(QLatin1Char('<'), tokenEnd - 1), -1);
      }
      open.push_back(here);
    } else if (token == QXmlStreamReader::EndElement) {
      if (!open.empty()) {
        const Open closing = open.back();
        open.pop_back();
        if (!closing.skipped && closing.element >= 0) {
          d.spans_[static_cast<std::size_t>(closing.element)].second = tokenEnd;
        }
      }
    }
  }
  if (reader.hasError()) {
    return Result<ArtworkDocument>::fail("SVG图不能读取（第" + std::to_string(reader.lineNumber()) + "行：" +
                                         platform::us(reader.errorString()) + "）。");
  }
  if (!rootSeen) return Result<ArtworkDocument>::fail("这不是SVG图。");

  QSvgRenderer renderer;
  if (!loadSvg(renderer, d.svg_)) return Result<ArtworkDocument>::fail("SVG图不能读取。");
  QSizeF size;
  if (width && height) {
    size = QSizeF(*width, *height);
  } else if (viewBox) {
    size = *viewBox;
    if (width) size = QSizeF(*width, *width * viewBox->height() / viewBox->width());
    if (height) size = QSizeF(*height * viewBox->width() / viewBox->height(), *height);
  } else {
    size = renderer.defaultSize();
  }
  if (!(size.width() >= 0.5 && size.height() >= 0.5) || size.width() > 1e6 || size.height() > 1e6) {
    return Result<ArtworkDocument>::fail("SVG图没有可用的大小（width、height或viewBox）。");
  }
  d.size_ = QSize(static_cast<int>(std::lround(size.width())), static_cast<int>(std::lround(size.height())));
  return Result<ArtworkDocument>::ok(std::move(d));
}

bool ArtworkDocument::loadSvg(QSvgRenderer& renderer, const QString& text) {
  QXmlStreamReader reader(text);
  return renderer.load(&reader) && renderer.isValid();
}

std::vector<artwork::Element> ArtworkDocument::channelElements() const {
  std::vector<artwork::Element> out;
  out.reserve(elements_.size());
  for (const ArtworkElement& e : elements_) {
    out.push_back({platform::us(e.id), platform::us(e.label), e.parent, e.group});
  }
  return out;
}

int ArtworkDocument::indexOf(const QString& id) const {
  if (id.isEmpty()) return -1;
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

QString ArtworkDocument::svgShowing(const std::vector<bool>& shown) const {
  // Hidden drawables are wrapped in a group that is not displayed: nothing else of the document
  // changes, so what is shown lies exactly where the whole drawing has it.
  static const QString hideStart = QStringLiteral("<g display=\"none\">");
  static const QString hideEnd = QStringLiteral("</g>");
  QString out;
  out.reserve(svg_.size() + 32 * static_cast<qsizetype>(elements_.size()));
  qsizetype copied = 0;
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i].group || (i < shown.size() && shown[i])) continue;
    const auto [start, end] = spans_[i];
    if (start < copied || end < start) continue;
    out += QStringView(svg_).mid(copied, start - copied);
    out += hideStart;
    out += QStringView(svg_).mid(start, end - start);
    out += hideEnd;
    copied = end;
  }
  out += QStringView(svg_).mid(copied);
  return out;
}

}  // namespace lumafex::render
