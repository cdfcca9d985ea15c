#pragma once
// Small pictures of the effects in the catalogue list: each entry shows a strip of its first steps
// for the sign as it is now set (channel count, colour count, tube colours). A strip is made the
// first time its entry is painted, so filling the list costs nothing more than before and only the
// entries scrolled into view are ever generated; the strips are kept until the sign changes.

#include <QImage>
#include <QListWidget>
#include <QPointer>
#include <QStyledItemDelegate>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/platform/SettingsStore.h"

namespace lumafex::design {

// What a strip depends on: the cache holds strips of one such value at a time.
struct ThumbnailKey {
  int channels = 0;  // channels the generators run for
  int colours = 0;   // colour count (the list shown); 0 for no catalogue
  std::array<QRgb, 3> swatches{};
  bool operator==(const ThumbnailKey&) const = default;
};

// The strips of one catalogue list, made on demand.
class ThumbnailCache {
 public:
  // Steps shown, cells across, and the pixels of one step row (plus one between rows).
  static constexpr int kSteps = 10;
  static constexpr int kCells = 96;
  static constexpr int kRowPixels = 2;
  static QSize imageSize() { return {kCells, kSteps * (kRowPixels + 1) - 1}; }

  // Forgets every strip when the key differs from the one the strips were made for.
  // Returns true when it did.
  bool setKey(const ThumbnailKey& key);
  const ThumbnailKey& key() const { return key_; }

  // The strip of list position `position` (0-based), made now if it was not yet; a null image
  // when the position lies outside the list or the effect has no rule for this sign.
  const QImage& image(int position);
  bool has(int position) const;
  // How many strips were made since the last change of key.
  int made() const { return made_; }

 private:
  ThumbnailKey key_;
  std::vector<std::optional<QImage>> images_;
  int made_ = 0;
};

// The delegate that paints the strips into the catalogue list. Switched off, the list keeps the
// delegate it had, and looks and behaves as it did without strips.
class CatalogueThumbnails : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // `key` tells the sign as it is now.
  CatalogueThumbnails(QListWidget* list, std::function<ThumbnailKey()> key);

  void setShown(bool on);
  bool shown() const { return shown_; }
  // Called when the sign may have changed: the visible strips are made again if it did.
  void refresh();

  ThumbnailCache& cache() { return cache_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  // Room for a strip where an icon would go.
  static void withStrip(QStyleOptionViewItem& option);

  QPointer<QListWidget> list_;
  QAbstractItemDelegate* plain_;
  std::function<ThumbnailKey()> key_;
  bool shown_ = false;
  mutable ThumbnailCache cache_;
};

// The setting of the view menu's "花式缩略图" (group "参数"); on unless turned off.
bool catalogueThumbnailsWanted(const platform::SettingsStore& settings);
void setCatalogueThumbnailsWanted(platform::SettingsStore& settings, bool on);

}  // namespace lumafex::design
