#include "desktop/design/CatalogueThumbnails.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "core/design/ThumbnailStrip.h"
#include "core/patterns/Catalogue.h"
#include "render/LampRenderer.h"

namespace lumafex::design {

namespace {

constexpr const char* kSettingKey = "花式缩略图";
constexpr QRgb kBackground = 0xff000000;

QImage paintStrip(const ThumbnailStrip& strip, const std::array<QRgb, 3>& swatches) {
  QImage image(ThumbnailCache::imageSize(), QImage::Format_RGB32);
  image.fill(kBackground);
  const std::array<QRgb, 5> colourOf{kBackground, swatches[0], swatches[1], swatches[2], preview::kDarkLamp};
  const int width = std::min(strip.width, image.width());
  for (int step = 0; step < strip.steps; ++step) {
    for (int dy = 0; dy < ThumbnailCache::kRowPixels; ++dy) {
      const int y = step * (ThumbnailCache::kRowPixels + 1) + dy;
      if (y >= image.height()) break;
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < width; ++x) line[x] = colourOf[static_cast<std::size_t>(strip.at(step, x))];
    }
  }
  return image;
}

}  // namespace

bool ThumbnailCache::setKey(const ThumbnailKey& key) {
  if (key == key_) return false;
  key_ = key;
  images_.assign(patterns::catalogue(key.colours).size(), std::nullopt);
  made_ = 0;
  return true;
}

bool ThumbnailCache::has(int position) const {
  return position >= 0 && static_cast<std::size_t>(position) < images_.size() &&
         images_[static_cast<std::size_t>(position)].has_value();
}

const QImage& ThumbnailCache::image(int position) {
  static const QImage none;
  if (position < 0 || static_cast<std::size_t>(position) >= images_.size()) return none;
  auto& slot = images_[static_cast<std::size_t>(position)];
  if (!slot) {
    // A click on the entry runs the generator of this position in the single-colour table for
    // one and three colours and in the two-colour table for two: the strip shows the same.
    const patterns::GeneratorRef* generator = patterns::generatorAt(key_.colours == 2 ? 2 : 1, position);
    const ThumbnailStrip strip =
        generator ? stripOfEffect(*generator, key_.channels, key_.colours, kSteps, kCells) : ThumbnailStrip{};
    slot = strip.steps > 0 ? paintStrip(strip, key_.swatches) : QImage();
    ++made_;
  }
  return *slot;
}

CatalogueThumbnails::CatalogueThumbnails(QListWidget* list, std::function<ThumbnailKey()> key)
    : QStyledItemDelegate(list), list_(list), plain_(list->itemDelegate()), key_(std::move(key)) {
  setObjectName(QStringLiteral("花式缩略图"));
}

void CatalogueThumbnails::setShown(bool on) {
  if (on == shown_ || !list_) return;
  shown_ = on;
  if (on && key_) cache_.setKey(key_());
  list_->setItemDelegate(on ? static_cast<QAbstractItemDelegate*>(this) : plain_);
}

void CatalogueThumbnails::refresh() {
  if (!shown_ || !key_ || !list_) return;
  if (cache_.setKey(key_())) list_->viewport()->update();
}

void CatalogueThumbnails::withStrip(QStyleOptionViewItem& option) {
  // The strip takes the place of an icon; the style lays the text out beside it.
  option.features |= QStyleOptionViewItem::HasDecoration;
  option.decorationSize = ThumbnailCache::imageSize();
  option.decorationPosition = QStyleOptionViewItem::Left;
  option.decorationAlignment = Qt::AlignCenter;
}

void CatalogueThumbnails::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  if (key_) cache_.setKey(key_());
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  const QImage& strip = cache_.image(index.row());
  withStrip(opt);
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  if (strip.isNull()) return;
  // Drawn by hand rather than as an icon: a selected icon would be tinted, and the strip shows the
  // lamps' own colours.
  const QRect place = style->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, widget);
  const QSize size = strip.size();
  painter->drawImage(QPoint(place.left() + (place.width() - size.width()) / 2,
                            place.top() + (place.height() - size.height()) / 2),
                     strip);
}

QSize CatalogueThumbnails::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyleOptionViewItem opt(option);
  initStyleOption(&opt, index);
  withStrip(opt);
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  // Two pixels more so the strips of neighbouring entries stay apart.
  return style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget) + QSize(0, 2);
}

bool catalogueThumbnailsWanted(const platform::SettingsStore& settings) {
  return settings.get(kSettingKey, "1") != "0";
}

void setCatalogueThumbnailsWanted(platform::SettingsStore& settings, bool on) {
  settings.set(kSettingKey, on ? "1" : "0");
}

}  // namespace lumafex::design
