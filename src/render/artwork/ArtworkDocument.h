#pragma once
// The artwork a sign is made from: the SVG exported from the drawing program, or a photo of the
// built sign. QtSvg draws the SVG; the element list (ids, inkscape labels, groups, stroke and fill
// colours) is read from its XML here, since QSvgRenderer keeps none of that. The channel rules
// themselves are core (core/artwork).

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/artwork/ArtworkChannels.h"
#include "core/platform/Result.h"

class QSvgRenderer;

namespace lumafex::render {

struct ArtworkElement {
  QString tag;    // the SVG element's local name ("path", "g", …)
  QString id;     // empty when it has none
  QString label;  // inkscape:label
  int parent = -1;
  bool group = false;  // g, a, switch, a nested svg: passes its channel to what it holds
  // Its tube colour: the stroke colour (inherited as SVG inherits it), else the fill colour;
  // nothing when both are none, black or not a plain colour (a gradient).
  std::optional<QColor> colour;
};

class ArtworkDocument {
 public:
  enum class Kind { Svg, Photo };

  // The artwork file of a project directory: 实物图.svg, else .png, else .jpg.
  static std::optional<std::filesystem::path> find(const std::filesystem::path& projectDirectory);
  // Reads an SVG (by its content) or a photo; the message when it is neither.
  static Result<ArtworkDocument> load(const std::filesystem::path& file);
  static Result<ArtworkDocument> fromSvg(const QByteArray& bytes);
  static Result<ArtworkDocument> fromPhoto(QImage photo);

  Kind kind() const { return kind_; }
  // The picture's size in pixels: the SVG's width and height (px, pt, pc, mm, cm, in at 96 dpi),
  // its viewBox when those are missing, or the photo's pixels.
  QSize size() const { return size_; }
  const std::vector<ArtworkElement>& elements() const { return elements_; }
  // The elements as the channel rules see them.
  std::vector<artwork::Element> channelElements() const;
  // Whether an element is drawn by itself (a shape, text, image or use; not a group).
  bool drawable(std::size_t element) const { return !elements_[element].group; }
  // The element with this id, or -1.
  int indexOf(const QString& id) const;

  // The SVG's text (decoded).
  const QString& svg() const { return svg_; }
  // The SVG with every drawable element hidden except those with shown[i] (groups stay, so the
  // transforms and styles of the shown elements are kept).
  QString svgShowing(const std::vector<bool>& shown) const;
  // Loads an SVG text into a renderer; false when QtSvg cannot read it.
  static bool loadSvg(QSvgRenderer& renderer, const QString& text);
  const QImage& photo() const { return photo_; }

 private:
  Kind kind_ = Kind::Svg;
  QSize size_;
  std::vector<ArtworkElement> elements_;
  QString svg_;
  // Where each element's text starts and ends in svg_ (characters).
  std::vector<std::pair<qsizetype, qsizetype>> spans_;
  QImage photo_;
};

}  // namespace lumafex::render
