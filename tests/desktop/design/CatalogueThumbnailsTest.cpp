// The strips of effect steps beside the catalogue entries: made for every entry of the three lists,
// only for the entries in view, following the sign's channels, colour count and colours, and
// switched off from the view menu, which leaves the list as it is without them.

#include <QtTest>

#include <set>

#include "core/patterns/Catalogue.h"
#include "desktop/design/CatalogueThumbnails.h"
#include "render/LampRenderer.h"
#include "support/AppSession.h"
#include "support/Widgets.h"

using lumafex::design::CatalogueThumbnails;
using lumafex::design::ThumbnailCache;
using lumafex::testing::child;
using lumafex::testing::Session;

namespace {

struct Sample : Session {
  explicit Sample(bool thumbnails = true) {
    if (!thumbnails) settings.set("花式缩略图", "0");
    start();
    design().stopCommand();
    design().stopBoardTimer();
  }
  QListWidget* list() { return child<QListWidget>(design(), "List2"); }
  CatalogueThumbnails& thumbnails() { return design().catalogueThumbnails(); }
  void setColours(int colours) { child<QComboBox>(design(), "色数")->setCurrentIndex(colours - 1); }
  void setColumns(int columns) { child<QLineEdit>(design(), "列数")->setText(QString::number(columns)); }
  QColor swatch(int k) { return child<lumafex::design::ColourSample>(design(), "色彩样品", k + 1)->colour(); }
};

// The colours of the pixels of an image.
std::set<QRgb> coloursOf(const QImage& image) {
  std::set<QRgb> out;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) out.insert(image.pixel(x, y));
  return out;
}

// Cells of the first pixel row that show a lamp (lit or dark), runs of them counted as lamps.
int lampsInFirstRow(const QImage& image) {
  int lamps = 0;
  bool inLamp = false;
  for (int x = 0; x < image.width(); ++x) {
    const bool lamp = image.pixel(x, 0) != qRgb(0, 0, 0);
    if (lamp && !inLamp) ++lamps;
    inLamp = lamp;
  }
  return lamps;
}

}  // namespace

class CatalogueThumbnailsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyEntryOfTheThreeListsHasAStrip() {
    Sample s;
    for (int colours = 1; colours <= 3; ++colours) {
      s.setColours(colours);
      const auto entries = lumafex::patterns::catalogue(colours);
      QCOMPARE(s.list()->count(), static_cast<int>(entries.size()));
      for (int columns : {4, 300, 64}) {
        s.setColumns(columns);
        s.list()->scrollToBottom();
        (void)s.list()->grab();  // paints what is in view
        s.thumbnails().refresh();
        std::set<QRgb> allowed{qRgb(0, 0, 0), lumafex::preview::kDarkLamp};
        for (int k = 0; k < colours; ++k) allowed.insert(s.swatch(k).rgb());
        for (int row = 0; row < s.list()->count(); ++row) {
          const QImage& strip = s.thumbnails().cache().image(row);
          const QByteArray what = QByteArray(entries[static_cast<std::size_t>(row)].name.data()) + " at " +
                                  QByteArray::number(columns);
          // An effect without a rule for this sign (13追逐 on 4 channels) has no strip.
          lumafex::patterns::StepWriter out;
          const auto* generator = lumafex::patterns::generatorAt(colours == 2 ? 2 : 1, row);
          const bool steps =
              lumafex::patterns::runGenerator(*generator, columns, colours, out) && out.lineCount();
          QVERIFY2(strip.isNull() != steps, what.constData());
          if (!steps) continue;
          QCOMPARE(strip.size(), ThumbnailCache::imageSize());
          for (QRgb c : coloursOf(strip)) QVERIFY2(allowed.count(c), what.constData());
        }
        QCOMPARE(s.thumbnails().cache().made(), s.list()->count());
      }
    }
  }

  void fillingTheListMakesNoStripAndPaintingOnlyThoseInView() {
    Sample s;
    s.setColumns(40);
    QCOMPARE(s.thumbnails().cache().made(), 0);
    child<QPushButton>(s.design(), "调入基本花式")->click();
    QCOMPARE(s.thumbnails().cache().made(), 0);
    s.list()->resize(s.list()->width(), 300);
    s.list()->scrollToTop();
    (void)s.list()->grab();
    const int made = s.thumbnails().cache().made();
    QVERIFY(made > 0);
    QVERIFY(made < s.list()->count());
    QVERIFY(s.thumbnails().cache().has(0));
    QVERIFY(!s.thumbnails().cache().has(s.list()->count() - 1));
    // Painting again makes nothing new.
    (void)s.list()->grab();
    QCOMPARE(s.thumbnails().cache().made(), made);
  }

  void stripsFollowTheChannelsTheColourCountAndTheColours() {
    Sample s;
    s.setColours(2);
    s.setColumns(8);
    const int allOn = 64;  // "65全亮_色彩混合": every lamp lit
    QCOMPARE(lampsInFirstRow(s.thumbnails().cache().image(allOn)), 8);
    s.setColumns(16);
    s.thumbnails().refresh();
    QCOMPARE(lampsInFirstRow(s.thumbnails().cache().image(allOn)), 16);
    QCOMPARE(coloursOf(s.thumbnails().cache().image(allOn)),
             (std::set<QRgb>{qRgb(0, 0, 0), s.swatch(0).rgb(), s.swatch(1).rgb()}));

    // A colour picked for swatch 1 is the colour of the lamps of colour 1.
    const QColor picked(12, 200, 34);
    child<QRadioButton>(s.design(), "颜色选择内容", 1)->setChecked(true);
    emit child<lumafex::design::PalettePicture>(s.design(), "调色板")->picked(picked);
    s.thumbnails().refresh();
    QCOMPARE(s.thumbnails().cache().image(allOn).pixel(ThumbnailCache::kCells / 32, 0), picked.rgb());

    // One colour: the list of 30 entries, every lamp in swatch 1.
    s.setColours(1);
    s.thumbnails().refresh();
    QCOMPARE(s.list()->count(), 30);
    QCOMPARE(coloursOf(s.thumbnails().cache().image(26)), (std::set<QRgb>{qRgb(0, 0, 0), picked.rgb()}));
  }

  void switchedOffTheListIsAsItWasWithoutStrips() {
    Sample s;
    QListWidget* list = s.list();
    QAction* option = child<QAction>(s.main(), "花式缩略图");
    QVERIFY(option->isCheckable());
    QVERIFY(option->isChecked());
    QCOMPARE(list->itemDelegate(), static_cast<QAbstractItemDelegate*>(&s.thumbnails()));
    const int withStrips = list->sizeHintForRow(0);

    option->setChecked(false);
    QCOMPARE(s.settings.get("花式缩略图"), std::string("0"));
    QVERIFY(list->itemDelegate() != static_cast<QAbstractItemDelegate*>(&s.thumbnails()));
    // A row is as high as in a list that never had strips.
    QListWidget plain(list->parentWidget());
    plain.setFont(list->font());
    plain.addItem(list->item(0)->text());
    QCOMPARE(list->sizeHintForRow(0), plain.sizeHintForRow(0));
    QVERIFY(withStrips > list->sizeHintForRow(0));
    // Nothing is generated for a list without strips, and a click still plays the effect.
    s.setColumns(12);
    (void)list->grab();
    QCOMPARE(s.thumbnails().cache().made(), 0);
    list->setCurrentRow(2);
    QVERIFY(child<QTimer>(s.design(), "Timer1")->isActive());
    lumafex::patterns::StepWriter out;
    QVERIFY(lumafex::patterns::runGenerator(*lumafex::patterns::generatorAt(2, 2), 12, 2, out));
    QCOMPARE(lumafex::testing::fileBytes(s.app->scratchFile()),
             QByteArray(out.bytes().data(), static_cast<int>(out.bytes().size())));

    option->setChecked(true);
    QCOMPARE(s.settings.get("花式缩略图"), std::string("1"));
    QCOMPARE(list->itemDelegate(), static_cast<QAbstractItemDelegate*>(&s.thumbnails()));
    QCOMPARE(list->sizeHintForRow(0), withStrips);
  }

  void theSettingIsReadAtStart() {
    Sample s(false);
    QVERIFY(!child<QAction>(s.main(), "花式缩略图")->isChecked());
    QVERIFY(!s.thumbnails().shown());
    QVERIFY(s.list()->itemDelegate() != static_cast<QAbstractItemDelegate*>(&s.thumbnails()));
  }
};

QTEST_MAIN(CatalogueThumbnailsTest)
#include "CatalogueThumbnailsTest.moc"
