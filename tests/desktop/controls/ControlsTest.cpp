// The custom controls as a user and the windows meet them: defaults, property bags, clicks by mouse
// and keyboard, the bar's range handling, the transparent copy and the toolbar icons.

#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

#include "core/platform/Dialogs.h"
#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/ButtonPictureStore.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/ToolbarIcons.h"
#include "desktop/controls/VelarnButton.h"
#include "render/TransparentCopy.h"

using namespace lumafex::controls;
namespace platform = lumafex::platform;

namespace {

// Answers every message box with OK and records it; any other question is unexpected.
class ScriptedDialogs : public platform::Dialogs {
 public:
  platform::Answer message(const std::string& text, platform::Buttons buttons, platform::Answer) override {
    messages << QString::fromStdString(text);
    okOnly = okOnly && buttons == platform::Buttons::Ok;
    return platform::Answer::Ok;
  }
  std::optional<std::string> input(const std::string& prompt, const std::string&,
                                   const std::string&) override {
    unexpected << QString::fromStdString(prompt);
    return std::nullopt;
  }
  std::optional<std::string> openFile(const std::string& title, const std::string&,
                                      const std::string&) override {
    unexpected << QString::fromStdString(title);
    return std::nullopt;
  }
  std::optional<std::string> saveFile(const std::string& title, const std::string&, const std::string&,
                                      const std::string&) override {
    unexpected << QString::fromStdString(title);
    return std::nullopt;
  }

  QStringList messages;
  QStringList unexpected;
  bool okOnly = true;
};

QList<double> doublesOf(const QSignalSpy& spy) {
  QList<double> values;
  for (const QList<QVariant>& arguments : spy) values << arguments.at(0).toDouble();
  return values;
}

QImage filled(int width, int height, const QColor& colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QImage render(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int countPixels(const QImage& image, const std::function<bool(QColor)>& wanted) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += wanted(QColor(image.pixel(x, y))) ? 1 : 0;
  }
  return count;
}

bool containsColour(const QImage& image, const QColor& colour) {
  return countPixels(image, [&](QColor pixel) { return pixel.rgb() == colour.rgb(); }) > 0;
}

// A paint device whose engine runs a callback whenever a picture is drawn on it: a copy onto it is
// still in progress while the callback runs.
class CallbackEngine : public QPaintEngine {
 public:
  CallbackEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
  bool begin(QPaintDevice*) override { return true; }
  bool end() override { return true; }
  void updateState(const QPaintEngineState&) override {}
  void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { onDraw(); }
  void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { onDraw(); }
  Type type() const override { return QPaintEngine::User; }
  std::function<void()> onDraw = [] {};
};

class CallbackDevice : public QPaintDevice {
 public:
  QPaintEngine* paintEngine() const override { return &engine; }
  mutable CallbackEngine engine;

 protected:
  int metric(PaintDeviceMetric metric) const override {
    if (metric == PdmDevicePixelRatio) return 1;
    if (metric == PdmDevicePixelRatioScaled) return static_cast<int>(devicePixelRatioFScale());
    if (metric == PdmDepth) return 32;
    return metric == PdmWidth || metric == PdmHeight ? 16 : 96;
  }
};

// A left click delivered straight to the widget, as the window system would, also when it is disabled.
void sendClick(QWidget& widget, QPointF at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &press);
  QCoreApplication::sendEvent(&widget, &release);
}

QStringList sorted(QStringList list) {
  list.sort();
  return list;
}

}  // namespace

class ControlsTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- VelarnButton ------------------------------------------------------------------------------

  void buttonDefaultsWithoutStoredSettings() {
    VelarnButton fresh;
    VelarnButton loaded;
    loaded.setFaceColor(Qt::yellow);
    loaded.setCornerRadius(12);
    loaded.setCaption(QStringLiteral("x"));
    loaded.setEnabled(false);
    loaded.setToolbarStyle(true);
    loaded.readProperties({});  // every key missing: every property back to its default
    for (VelarnButton* button : {&fresh, &loaded}) {
      QCOMPARE(button->faceColor(), QColor(0, 128, 128));
      QCOMPARE(button->cornerRadius(), 5);
      QCOMPARE(button->captionColor(), QColor(0, 0, 0));
      QVERIFY(button->isEnabled());
      QCOMPARE(button->iconMaskColor(), QColor(0, 0, 254));
      QCOMPARE(button->brightness(), 18);
      QCOMPARE(button->picturePosition(), 0);
      QVERIFY(!button->toolbarStyle());
      QVERIFY(button->caption().isEmpty());
      QVERIFY(button->picture().isNull());
    }
    QCOMPARE(fresh.writeProperties().keys(),
             sorted({QStringLiteral("图案.BackColor"), QStringLiteral("圆角宽度"), QStringLiteral("Caption"),
                     QStringLiteral("标题色"), QStringLiteral("图片的位置"), QStringLiteral("有效"),
                     QStringLiteral("Picture"), QStringLiteral("按键颜色"), QStringLiteral("按键的亮度"),
                     QStringLiteral("是工具棒")}));
  }

  void buttonPropertyBagRoundTrip() {
    const QImage pictureImage = filled(8, 6, QColor(10, 200, 30));
    VelarnButton original;
    original.setIconMaskColor(QColor(1, 2, 3));
    original.setCornerRadius(9);
    original.setCaption(QStringLiteral("生成TXT文件"));
    original.setCaptionColor(QColor(250, 250, 0));
    original.setPicturePosition(VelarnButton::PictureAbove);
    original.setEnabled(false);
    original.setPicture(QPixmap::fromImage(pictureImage));
    original.setFaceColor(QColor(90, 20, 60));
    original.setBrightness(30);
    original.setToolbarStyle(true);
    VelarnButton copy;
    copy.readProperties(original.writeProperties());
    QCOMPARE(copy.iconMaskColor(), QColor(1, 2, 3));
    QCOMPARE(copy.cornerRadius(), 9);
    QCOMPARE(copy.caption(), QStringLiteral("生成TXT文件"));
    QCOMPARE(copy.captionColor(), QColor(250, 250, 0));
    QCOMPARE(copy.picturePosition(), static_cast<int>(VelarnButton::PictureAbove));
    QVERIFY(!copy.isEnabled());
    QCOMPARE(copy.picture().toImage().convertToFormat(QImage::Format_RGB32), pictureImage);
    QCOMPARE(copy.faceColor(), QColor(90, 20, 60));
    QCOMPARE(copy.brightness(), 30);
    QVERIFY(copy.toolbarStyle());
  }

  void bagValuesInTheirStoredForms_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QColor>("colour");  // fallback (9, 9, 9)
    QTest::addColumn<int>("integer");    // fallback -7
    QTest::addColumn<bool>("boolean");   // fallback true
    QTest::newRow("QColor") << QVariant(QColor(1, 2, 3)) << QColor(1, 2, 3) << -7 << true;
    QTest::newRow("colour name") << QVariant(QStringLiteral("#102030")) << QColor(16, 32, 48) << -7 << true;
    QTest::newRow("number, red low") << QVariant(0x302010) << QColor(16, 32, 48) << 0x302010 << true;
    QTest::newRow("zero") << QVariant(0) << QColor(0, 0, 0) << 0 << false;
    QTest::newRow("fraction") << QVariant(2.6) << QColor(9, 9, 9) << 3 << true;
    QTest::newRow("False as text") << QVariant(QStringLiteral("False")) << QColor(9, 9, 9) << -7 << false;
    QTest::newRow("garbage") << QVariant(QStringLiteral("abc")) << QColor(9, 9, 9) << -7 << true;
  }

  void bagValuesInTheirStoredForms() {
    QFETCH(QVariant, stored);
    QFETCH(QColor, colour);
    QFETCH(int, integer);
    QFETCH(bool, boolean);
    const QVariantMap bag{{QStringLiteral("k"), stored}};
    QCOMPARE(bagColour(bag, QStringLiteral("k"), QColor(9, 9, 9)), colour);
    QCOMPARE(bagInt(bag, QStringLiteral("k"), -7), integer);
    QCOMPARE(bagBool(bag, QStringLiteral("k"), true), boolean);
  }

  void buttonClickNeedsPressAndReleaseOnTheSameButton() {
    QWidget window;
    auto* first = new VelarnButton(QStringLiteral("甲"), &window);
    auto* second = new VelarnButton(QStringLiteral("乙"), &window);
    first->setGeometry(0, 0, 80, 30);
    second->setGeometry(100, 0, 80, 30);
    window.resize(200, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy firstClicks(first, &VelarnButton::clicked);
    QSignalSpy secondClicks(second, &VelarnButton::clicked);
    QTest::mouseClick(first, Qt::LeftButton);
    QCOMPARE(firstClicks.count(), 1);
    // Pressed on the first, released over the second: neither clicks.
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseMove(first, QPoint(140, 15));
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(140, 15));
    QCOMPARE(firstClicks.count(), 1);
    QCOMPARE(secondClicks.count(), 0);
    // Pressed on the button, released beside it.
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(40, 15));
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(40, 60));
    QCOMPARE(firstClicks.count(), 1);
  }

  void buttonValueTrueClicks() {
    VelarnButton button;
    QSignalSpy clicks(&button, &VelarnButton::clicked);
    button.setValue(false);
    QCOMPARE(clicks.count(), 0);
    button.setValue(true);
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(button.value(), false);  // momentary: the next true clicks again
    button.setProperty("value", true);
    QCOMPARE(clicks.count(), 2);
  }

  void disabledButtonIgnoresMouseAndValue() {
    VelarnButton button(QStringLiteral("停止"));
    button.resize(80, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    button.readProperties({{QStringLiteral("有效"), false}});
    QSignalSpy clicks(&button, &VelarnButton::clicked);
    sendClick(button, QPointF(40, 15));
    button.setValue(true);
    button.变色处理();
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!button.isHovered());
    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
  }

  void buttonKeyboardActivation_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Space") << static_cast<int>(Qt::Key_Space) << 1;
    QTest::newRow("Return") << static_cast<int>(Qt::Key_Return) << 1;
    QTest::newRow("Enter") << static_cast<int>(Qt::Key_Enter) << 1;
    QTest::newRow("a letter") << static_cast<int>(Qt::Key_A) << 0;
  }

  void buttonKeyboardActivation() {
    QFETCH(int, key);
    QFETCH(int, clicks);
    VelarnButton button(QStringLiteral("运行"));
    button.show();
    QVERIFY(QTest::qWaitForWindowActive(&button));
    button.setFocus();
    QSignalSpy spy(&button, &VelarnButton::clicked);
    QTest::keyClick(&button, static_cast<Qt::Key>(key));
    QCOMPARE(spy.count(), clicks);
  }

  void toolbarButtonLeavesTheFocusWhereItWas() {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* undo = new VelarnButton(&window);
    undo->setToolbarStyle(true);
    undo->setPicture(toolbarIcon(QStringLiteral("撤销"), 24));
    QCOMPARE(undo->sizeHint(), QSize(36, 36));
    undo->setGeometry(110, 0, 36, 36);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QSignalSpy clicks(undo, &VelarnButton::clicked);
    QTest::mouseClick(undo, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(edit->hasFocus());  // the undo command acts on the text box
  }

  void buttonHoverEndsWhenTheMouseHasLeft() {
    QWidget window;
    auto* button = new VelarnButton(QStringLiteral("帮助"), &window);
    button->setGeometry(10, 10, 80, 30);
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseMove(button, QPoint(40, 15));
    QTRY_VERIFY(button->isHovered());
    // The position check keeps the lit face while the mouse is over the button and drops it once
    // the mouse is elsewhere, without waiting for a leave event.
    QCursor::setPos(button->mapToGlobal(QPoint(40, 15)));
    button->鼠标位置检测与响应();
    QVERIFY(button->isHovered());
    QCursor::setPos(window.mapToGlobal(QPoint(150, 80)));
    button->鼠标位置检测与响应();
    QVERIFY(!button->isHovered());
    // Lit again by 变色处理; the timer's check finds the mouse outside and ends it.
    button->变色处理();
    QVERIFY(button->isHovered());
    QTRY_VERIFY(!button->isHovered());
  }

  void buttonFacesAreShaded() {
    auto faceAt = [](ButtonLook::State state, int y) {
      QImage image = filled(60, 40, Qt::white);
      ButtonLook look;
      look.rect = QRectF(0, 0, 60, 40);
      look.state = state;
      QPainter painter(&image);
      paintVelarnButton(painter, look);
      return QColor(image.pixel(30, y));
    };
    using State = ButtonLook::State;
    const QColor normal = faceAt(State::Normal, 20);
    QVERIFY(qAbs(normal.green() - 128) <= 4 && normal.red() <= 12);                 // teal
    QVERIFY(faceAt(State::Normal, 6).green() > faceAt(State::Normal, 34).green());  // raised
    QVERIFY(faceAt(State::Hover, 20).green() > normal.green());                     // lit
    const QColor disabled = faceAt(State::Disabled, 20);
    QVERIFY(disabled.red() == disabled.green() && disabled.green() == disabled.blue());  // greyed
  }

  void buttonPictureMaskColourIsTransparent() {
    QImage picture = filled(20, 20, QColor(0, 0, 254));
    for (int y = 6; y < 14; ++y) {
      for (int x = 6; x < 14; ++x) picture.setPixel(x, y, qRgb(255, 0, 0));
    }
    VelarnButton button;
    button.setPicture(QPixmap::fromImage(picture));
    button.resize(40, 40);
    const QImage shown = render(button);
    QVERIFY(containsColour(shown, QColor(255, 0, 0)));
    QVERIFY(!containsColour(shown, QColor(0, 0, 254)));
    button.setIconMaskColor(QColor(1, 1, 1));  // now the blue belongs to the picture
    QVERIFY(containsColour(render(button), QColor(0, 0, 254)));
  }

  void buttonCaptionIsDrawn() {
    // A Chinese caption is drawn in the caption colour, on a button wide enough for it.
    for (const QString& caption : {QStringLiteral("编译"), QStringLiteral("显示总程序")}) {
      VelarnButton button(caption);
      button.setCaptionColor(QColor(255, 255, 0));
      button.resize(button.sizeHint());
      QVERIFY(button.width() > QFontMetrics(button.font()).horizontalAdvance(caption));
      const int ink = countPixels(render(button), [](QColor pixel) {
        return pixel.red() > 200 && pixel.green() > 200 && pixel.blue() < 80;
      });
      QVERIFY2(ink > 10 * caption.size(), qPrintable(caption));
    }
  }

  void theDefaultCaptionStaysReadable_data() {
    QTest::addColumn<QColor>("face");
    QTest::addColumn<QColor>("caption");
    QTest::addColumn<QColor>("drawn");
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    QTest::newRow("default black on the default teal") << QColor(0, 128, 128) << black << white;
    QTest::newRow("default black on dark blue") << QColor(0, 0, 128) << black << white;
    QTest::newRow("default black on a light face") << QColor(212, 208, 200) << black << black;
    QTest::newRow("default black on yellow") << QColor(255, 255, 0) << black << black;
    QTest::newRow("a chosen colour is kept")
        << QColor(0, 128, 128) << QColor(255, 255, 0) << QColor(255, 255, 0);
    QTest::newRow("a chosen dark colour is kept")
        << QColor(0, 0, 128) << QColor(0, 0, 64) << QColor(0, 0, 64);
  }

  void theDefaultCaptionStaysReadable() {
    // The given colours stay; only the default black caption turns white on a dark face.
    QFETCH(QColor, face);
    QFETCH(QColor, caption);
    QFETCH(QColor, drawn);
    QCOMPARE(captionInk(caption, face), drawn);
    VelarnButton button(QStringLiteral("编译"));
    button.setFaceColor(face);
    button.setCaptionColor(caption);
    button.resize(button.sizeHint());
    QCOMPARE(button.captionColor(), caption);
    const int ink = countPixels(render(button), [&](QColor pixel) {
      return std::abs(pixel.red() - drawn.red()) < 24 && std::abs(pixel.green() - drawn.green()) < 24 &&
             std::abs(pixel.blue() - drawn.blue()) < 24;
    });
    QVERIFY(ink > 20);
  }

  // ---- CheckBoxControl ---------------------------------------------------------------------------

  void checkBoxDefaultsAndPropertyBag() {
    CheckBoxControl fresh;
    CheckBoxControl loaded(QStringLiteral("启用横显示"));
    loaded.setValue(1);
    loaded.setBackColor(Qt::red);
    loaded.readProperties({});
    for (CheckBoxControl* box : {&fresh, &loaded}) {
      QCOMPARE(box->value(), 0);
      QCOMPARE(box->caption(), QStringLiteral("Check"));
      QVERIFY(box->isEnabled());
      QCOMPARE(box->backColor(), box->palette().color(QPalette::Button));
      QCOMPARE(box->foreColor(), box->palette().color(QPalette::ButtonText));
    }
    QCOMPARE(fresh.writeProperties().keys(),
             sorted({QStringLiteral("Check_值"), QStringLiteral("Enabled"), QStringLiteral("Caption"),
                     QStringLiteral("背景颜色"), QStringLiteral("文字颜色")}));

    CheckBoxControl original(QStringLiteral("启用竖列显示"));
    original.setValue(1);
    original.setEnabled(false);
    original.setBackColor(QColor(0, 128, 128));
    original.setForeColor(QColor(255, 255, 255));
    CheckBoxControl copy;
    copy.readProperties(original.writeProperties());
    QCOMPARE(copy.value(), 1);
    QVERIFY(!copy.isEnabled());
    QCOMPARE(copy.caption(), QStringLiteral("启用竖列显示"));
    QCOMPARE(copy.backColor(), QColor(0, 128, 128));
    QCOMPARE(copy.foreColor(), QColor(255, 255, 255));
  }

  void checkBoxMouseClickToggles() {
    CheckBoxControl box(QStringLiteral("启用横显示"));
    box.resize(box.sizeHint());
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy clicks(&box, &CheckBoxControl::clicked);
    QSignalSpy changes(&box, &CheckBoxControl::valueChanged);
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(box.value(), 1);
    QTest::mouseClick(&box, Qt::LeftButton);
    QCOMPARE(box.value(), 0);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(doublesOf(changes), (QList<double>{1, 0}));
    // Released outside, or a right click: nothing.
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(box.width() + 20, 5));
    QTest::mouseClick(&box, Qt::RightButton);
    QCOMPARE(box.value(), 0);
    QCOMPARE(clicks.count(), 2);
    // Disabled: mouse and keys are ignored.
    box.setEnabled(false);
    sendClick(box, QPointF(5, 5));
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(&box, &space);
    QCOMPARE(box.value(), 0);
  }

  void checkBoxKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("expectedValue");
    QTest::newRow("Space") << static_cast<int>(Qt::Key_Space) << QStringLiteral(" ") << false << 1;
    QTest::newRow("full-width blank") << 0 << QStringLiteral("　") << false << 1;
    QTest::newRow("blank as text only") << 0 << QStringLiteral(" ") << false << 1;
    QTest::newRow("held Space repeating")
        << static_cast<int>(Qt::Key_Space) << QStringLiteral(" ") << true << 0;
    QTest::newRow("a letter") << static_cast<int>(Qt::Key_A) << QStringLiteral("a") << false << 0;
    QTest::newRow("full-width letter") << 0 << QStringLiteral("Ａ") << false << 0;
  }

  void checkBoxKeys() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, autoRepeat);
    QFETCH(int, expectedValue);
    CheckBoxControl box;
    QSignalSpy clicks(&box, &CheckBoxControl::clicked);
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text, autoRepeat);
    QCoreApplication::sendEvent(&box, &event);
    QCOMPARE(box.value(), expectedValue);
    QCOMPARE(clicks.count(), expectedValue);
  }

  void checkBoxClickOperationAndValue() {
    CheckBoxControl box;
    QSignalSpy clicks(&box, &CheckBoxControl::clicked);
    QSignalSpy changes(&box, &CheckBoxControl::valueChanged);
    box.Click_操作();
    QCOMPARE(box.value(), 1);
    box.Click_操作();
    QCOMPARE(box.value(), 0);
    QCOMPARE(clicks.count(), 2);
    // Setting the value is a change, not a click; any non-zero number checks.
    box.setValue(5);
    QCOMPARE(box.value(), 1);
    box.setValue(1);
    box.setProperty("value", 0);
    QCOMPARE(box.value(), 0);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(changes.count(), 4);
  }

  // ---- AdjustableBar -----------------------------------------------------------------------------

  void barDefaultsWithoutStoredSettings() {
    AdjustableBar fresh;
    AdjustableBar loaded;
    loaded.setRange(5, 50);
    loaded.setValue(20);
    loaded.setShowValue(false);
    loaded.setBarColor(Qt::blue);
    loaded.readProperties({});
    for (AdjustableBar* bar : {&fresh, &loaded}) {
      QCOMPARE(bar->barColor(), QColor(255, 0, 0));
      QCOMPARE(bar->backColor(), QColor(192, 192, 192));
      QVERIFY(bar->showValue());
      QCOMPARE(bar->maximum(), 100);
      QCOMPARE(bar->minimum(), 0);
      QCOMPARE(bar->value(), 0.0);
      QCOMPARE(bar->barText(), QStringLiteral("0"));
    }
  }

  void barClampsIntoRange_data() {
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<double>("set");
    QTest::addColumn<double>("kept");
    QTest::addColumn<QList<double>>("signalled");
    QTest::addColumn<QString>("text");
    QTest::newRow("above max") << 0 << 100 << 150.0 << 100.0 << QList<double>{150, 100}
                               << QStringLiteral("100");
    QTest::newRow("below Min") << 10 << 100 << -5.0 << 10.0 << QList<double>{-5, 10} << QStringLiteral("10");
    QTest::newRow("inside") << 0 << 100 << 37.5 << 37.5 << QList<double>{37.5} << QStringLiteral("37.5");
    QTest::newRow("unchanged") << 0 << 100 << 0.0 << 0.0 << QList<double>{} << QStringLiteral("0");
    QTest::newRow("negative range") << -50 << -10 << 0.0 << -10.0 << QList<double>{0, -10}
                                    << QStringLiteral("-10");
    QTest::newRow("max equals Min") << 7 << 7 << 3.0 << 7.0 << QList<double>{3, 7} << QString();
  }

  void barClampsIntoRange() {
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(double, set);
    QFETCH(double, kept);
    QFETCH(QList<double>, signalled);
    QFETCH(QString, text);
    AdjustableBar bar;
    ScriptedDialogs dialogs;
    bar.setDialogs(&dialogs);
    bar.setRange(minimum, maximum);
    QSignalSpy changes(&bar, &AdjustableBar::valueChanged);
    bar.setValue(set);
    QCOMPARE(bar.value(), kept);
    QCOMPARE(doublesOf(changes), signalled);
    QCOMPARE(bar.barText(), text);
    QVERIFY(dialogs.messages.isEmpty());
  }

  void barReportsAValueOutsideAReversedRange() {
    AdjustableBar bar;
    ScriptedDialogs dialogs;
    bar.setDialogs(&dialogs);
    bar.setMinimum(10);
    bar.setMaximum(0);  // reversed: no value fits; changing the range alone says nothing
    QVERIFY(dialogs.messages.isEmpty());
    QSignalSpy changes(&bar, &AdjustableBar::valueChanged);
    bar.setValue(5);
    QCOMPARE(bar.value(), 5.0);
    QCOMPARE(doublesOf(changes), QList<double>{5});
    bar.setValue(-2.5);
    QCOMPARE(dialogs.messages,
             (QStringList{QStringLiteral("Velarn进度条的值“5”超出最小值“10”与最大值“0”之外！"),
                          QStringLiteral("Velarn进度条的值“-2.5”超出最小值“10”与最大值“0”之外！")}));
    QVERIFY(dialogs.okOnly);
    QVERIFY(dialogs.unexpected.isEmpty());
    AdjustableBar quiet;  // without dialogs the value is kept and nothing is shown
    quiet.setRange(10, 0);
    quiet.setValue(5);
    QCOMPARE(quiet.value(), 5.0);
  }

  void barRangeChangeKeepsTheValueInside() {
    AdjustableBar bar;
    bar.setValue(80);
    QSignalSpy changes(&bar, &AdjustableBar::valueChanged);
    bar.setMaximum(50);
    QCOMPARE(bar.value(), 50.0);
    QCOMPARE(doublesOf(changes), QList<double>{50});
    // Moving the range up one end at a time passes through a reversed range without a message.
    ScriptedDialogs dialogs;
    bar.setDialogs(&dialogs);
    bar.setMinimum(200);
    QCOMPARE(bar.value(), 50.0);
    bar.setMaximum(300);
    QCOMPARE(bar.value(), 200.0);
    QVERIFY(dialogs.messages.isEmpty());
  }

  void barPropertyBagRoundTripAndLoadClamps() {
    AdjustableBar original;
    original.setBarColor(QColor(0, 0, 160));
    original.setBackColor(QColor(255, 255, 255));
    original.setShowValue(false);
    original.setRange(-20, 400);
    original.setValue(123.5);
    AdjustableBar copy;
    QSignalSpy changes(&copy, &AdjustableBar::valueChanged);
    copy.readProperties(original.writeProperties());
    QCOMPARE(copy.barColor(), QColor(0, 0, 160));
    QCOMPARE(copy.backColor(), QColor(255, 255, 255));
    QVERIFY(!copy.showValue());
    QCOMPARE(copy.minimum(), -20);
    QCOMPARE(copy.maximum(), 400);
    QCOMPARE(copy.value(), 123.5);
    QCOMPARE(doublesOf(changes), QList<double>{123.5});
    // A value stored as text, outside the stored range, is brought into it.
    AdjustableBar stored;
    stored.readProperties({{QStringLiteral("值"), QStringLiteral("250")}, {QStringLiteral("最大值"), 200}});
    QCOMPARE(stored.value(), 200.0);
  }

  void barMouseAdjustment() {
    AdjustableBar bar;
    bar.setRange(0, 200);
    bar.resize(204, 20);  // the inner bar is 200 pixels wide, from x = 2
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy changes(&bar, &AdjustableBar::valueChanged);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(102, 10));
    QCOMPARE(bar.value(), 100.0);
    // Dragging follows the mouse and stops at the ends, in whole numbers.
    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(52, 10));
    QCOMPARE(bar.value(), 50.0);
    QTest::mouseMove(&bar, QPoint(77, 10));
    QCOMPARE(bar.value(), 75.0);
    QTest::mouseMove(&bar, QPoint(400, 10));
    QCOMPARE(bar.value(), 200.0);
    QTest::mouseMove(&bar, QPoint(-30, 10));
    QCOMPARE(bar.value(), 0.0);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(-30, 10));
    QCOMPARE(doublesOf(changes), (QList<double>{100, 50, 75, 200, 0}));
    // A move without a press, and a bar with nothing to adjust, leave the value alone.
    QTest::mouseMove(&bar, QPoint(150, 10));
    QCOMPARE(bar.value(), 0.0);
    bar.setRange(30, 30);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(150, 10));
    QCOMPARE(bar.value(), 30.0);
    // Rounded to the nearest whole value on an odd width.
    bar.setRange(0, 100);
    bar.resize(137, 20);
    QCOMPARE(bar.valueAt(2 + 133.0 / 2), 50.0);
    QCOMPARE(bar.valueAt(134), 99.0);
  }

  void barKeyboardAdjustment_data() {
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("result");
    QTest::newRow("Right") << 40.0 << static_cast<int>(Qt::Key_Right) << 41.0;
    QTest::newRow("Left from a fraction") << 40.5 << static_cast<int>(Qt::Key_Left) << 40.0;
    QTest::newRow("Right at max") << 100.0 << static_cast<int>(Qt::Key_Right) << 100.0;
    QTest::newRow("PageUp") << 40.0 << static_cast<int>(Qt::Key_PageUp) << 50.0;
    QTest::newRow("PageDown near Min") << 4.0 << static_cast<int>(Qt::Key_PageDown) << 0.0;
    QTest::newRow("End") << 40.0 << static_cast<int>(Qt::Key_End) << 100.0;
  }

  void barKeyboardAdjustment() {
    QFETCH(double, start);
    QFETCH(int, key);
    QFETCH(double, result);
    AdjustableBar bar;
    bar.setValue(start);
    QTest::keyClick(&bar, static_cast<Qt::Key>(key));
    QCOMPARE(bar.value(), result);
  }

  void barDrawsTheFilledPart() {
    AdjustableBar bar;
    bar.resize(204, 24);
    bar.setShowValue(false);
    bar.setValue(50);
    const QImage shown = render(bar);
    const QColor filledPart(shown.pixel(50, 12));
    QVERIFY(filledPart.red() > 200 && filledPart.green() < 40 && filledPart.blue() < 40);
    QCOMPARE(QColor(shown.pixel(150, 12)), QColor(192, 192, 192));
    QVERIFY(bar.barText().isEmpty());
    bar.setShowValue(true);
    QCOMPARE(bar.barText(), QStringLiteral("50"));
    bar.setValue(std::nan(""));  // not a number: ignored
    QCOMPARE(bar.value(), 50.0);
  }

  // ---- transparent copy --------------------------------------------------------------------------

  void transparentCopyLeavesOutTheKeyColour() {
    QImage source(4, 1, QImage::Format_RGB32);
    const QList<QRgb> pixels = {qRgb(255, 0, 0), qRgb(0, 0, 0), qRgb(0, 255, 0), qRgb(1, 0, 0)};
    for (int x = 0; x < 4; ++x) source.setPixel(x, 0, pixels.at(x));
    QImage target = filled(6, 3, QColor(0, 0, 255));
    {
      QPainter painter(&target);
      QVERIFY(绘透明图(painter, 1, 1, 4, 1, source, 0, 0, Qt::black));
    }
    const QRgb blue = qRgb(0, 0, 255);
    const QList<QRgb> row = {blue, qRgb(255, 0, 0), blue, qRgb(0, 255, 0), qRgb(1, 0, 0), blue};
    for (int x = 0; x < 6; ++x) {
      QCOMPARE(target.pixel(x, 1), row.at(x));
      QCOMPARE(target.pixel(x, 0), blue);
      QCOMPARE(target.pixel(x, 2), blue);
    }
    // A painter set to replace whole pixels still leaves the key colour out.
    QImage alphaTarget(4, 1, QImage::Format_ARGB32);
    alphaTarget.fill(QColor(9, 9, 9));
    {
      QPainter painter(&alphaTarget);
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      QVERIFY(绘透明图(painter, 0, 0, 4, 1, source, 0, 0, Qt::black));
    }
    QCOMPARE(alphaTarget.pixel(1, 0), qRgba(9, 9, 9, 255));
    QCOMPARE(alphaTarget.pixel(0, 0), qRgba(255, 0, 0, 255));
  }

  void transparentCopyOfAnAllKeyPictureChangesNothing() {
    QImage target(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) target.setPixel(x, y, qRgb(x * 16, y * 16, 77));
    }
    const QImage before = target;
    {
      QPainter painter(&target);
      QVERIFY(绘透明图(painter, 0, 0, 16, 16, filled(16, 16, Qt::black), 0, 0, Qt::black));
      QVERIFY(绘透明图(painter, 3, 2, 10, 10, filled(16, 16, QColor(0, 0, 254)), 0, 0, QColor(0, 0, 254)));
    }
    QCOMPARE(target, before);
  }

  void transparentCopyClipsTheSourceRectangle() {
    QImage source(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) source.setPixel(x, y, qRgb(100 + x, 100 + y, 0));
    }
    QImage target = filled(10, 10, Qt::white);
    {
      QPainter painter(&target);
      // From source (2, 1) a 5 x 5 rectangle of which only 2 x 3 lies in the picture.
      QVERIFY(绘透明图(painter, 5, 5, 5, 5, source, 2, 1, Qt::black));
      QVERIFY(绘透明图(painter, 0, 0, -4, 3, source, 0, 0, Qt::black));  // nothing to copy
    }
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const bool copied = x >= 5 && x < 7 && y >= 5 && y < 8;
        QCOMPARE(target.pixel(x, y), copied ? qRgb(97 + x, 96 + y, 0) : qRgb(255, 255, 255));
      }
    }
  }

  void transparentCopyDoesNotNest() {
    const QImage source = filled(4, 4, Qt::red);
    CallbackDevice device;
    int nestedCalls = 0;
    bool nestedResult = true;
    QImage nestedTarget = filled(4, 4, Qt::white);
    device.engine.onDraw = [&] {
      ++nestedCalls;
      QPainter inner(&nestedTarget);
      nestedResult = 绘透明图(inner, 0, 0, 4, 4, source, 0, 0, Qt::black);
    };
    {
      QPainter outer(&device);
      QVERIFY(绘透明图(outer, 0, 0, 4, 4, source, 0, 0, Qt::black));
    }
    QCOMPARE(nestedCalls, 1);
    QVERIFY(!nestedResult);
    QCOMPARE(nestedTarget.pixel(1, 1), qRgb(255, 255, 255));
    // Once the first copy has finished, copies work again; an inactive painter is refused.
    QPainter painter(&nestedTarget);
    QVERIFY(绘透明图(painter, 0, 0, 4, 4, source, 0, 0, Qt::black));
    painter.end();
    QCOMPARE(nestedTarget.pixel(1, 1), qRgb(255, 0, 0));
    QVERIFY(!绘透明图(painter, 0, 0, 4, 4, source, 0, 0, Qt::black));
  }

  // ---- icons -------------------------------------------------------------------------------------

  void thePictureStoreKeepsTheToolbarPicturesByNumber() {
    auto& store = lumafex::controls::ButtonPictureStore::instance();
    QCOMPARE(store.objectName(), QStringLiteral("按钮控件图片窗"));
    auto* list = store.findChild<QListWidget*>(QStringLiteral("控件特征list"));
    QVERIFY(list != nullptr);
    QCOMPARE(list->count(), store.count());
    const int stop = store.numberOf(QStringLiteral("停止"));
    QVERIFY(stop >= 0);
    store.按钮控件编号_写(stop);
    QCOMPARE(store.按钮控件编号_读(), stop);
    const auto pictures = store.pictures();
    QVERIFY(!pictures.normal.isNull() && !pictures.disabled.isNull() && !pictures.pressed.isNull());
    QVERIFY(pictures.normal.toImage() != pictures.disabled.toImage());
    QCOMPARE(pictures.normalBackup.toImage(), pictures.normal.toImage());
    // A new picture keeps the old one as its backup.
    QPixmap red(24, 24);
    red.fill(Qt::red);
    store.setPictures(red, red, red);
    QCOMPARE(store.pictures().normal.toImage(), red.toImage());
    QCOMPARE(store.pictures().normalBackup.toImage(), pictures.normal.toImage());
    store.setPictures(pictures.normal, pictures.disabled, pictures.pressed);
    // A button takes its pictures by number, the disabled one when disabled.
    VelarnButton button;
    button.setPictureNumber(stop);
    QCOMPARE(button.picture().toImage(), pictures.normal.toImage());
    QCOMPARE(store.numberOf(QStringLiteral("没有这个")), -1);
  }

  void everyIconIsDrawn_data() {
    QTest::addColumn<QString>("key");
    for (const QString& key : toolbarIconKeys()) QTest::newRow(key.toUtf8().constData()) << key;
  }

  void everyIconIsDrawn() {
    QFETCH(QString, key);
    for (const int size : {16, 24, 37, 64}) {
      const QPixmap pixmap = toolbarIcon(key, size);
      QCOMPARE(pixmap.size(), QSize(size, size));
      const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
      int opaque = 0;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
      }
      QVERIFY2(opaque * 16 > size * size, qPrintable(QStringLiteral("%1 at %2").arg(key).arg(size)));
      QVERIFY(opaque < size * size);  // a shape, not a filled square
    }
    const QPixmap sharp = toolbarIcon(key, 24, 2.0);
    QCOMPARE(sharp.size(), QSize(48, 48));
    QCOMPARE(sharp.deviceIndependentSize(), QSizeF(24, 24));
    QVERIFY(!toolbarIconSet(key).isNull());
  }

  void iconsDifferAndUnknownKeysGiveNothing() {
    const QStringList keys = toolbarIconKeys();
    QCOMPARE(keys.size(), 13);
    for (int i = 0; i < keys.size(); ++i) {
      for (int j = i + 1; j < keys.size(); ++j) {
        QVERIFY2(toolbarIcon(keys.at(i), 24).toImage() != toolbarIcon(keys.at(j), 24).toImage(),
                 qPrintable(keys.at(i) + QStringLiteral(" = ") + keys.at(j)));
      }
    }
    QVERIFY(toolbarIcon(QStringLiteral("灯泡"), 24).isNull());
    QVERIFY(toolbarIcon(QStringLiteral("新建"), 0).isNull());
    QVERIFY(toolbarIconSet(QStringLiteral("灯泡")).isNull());
  }
};

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
