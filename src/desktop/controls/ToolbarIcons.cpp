#include "desktop/controls/ToolbarIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numbers>

namespace lumafex::controls {

namespace {

// Every icon is drawn on a 24 x 24 grid and scaled to the size asked for.
constexpr qreal kGrid = 24.0;

const QColor kInk(18, 38, 44);
const QColor kPaper(252, 252, 246);
const QColor kPaperShade(208, 218, 220);
const QColor kYellow(255, 204, 51);
const QColor kYellowDark(226, 164, 20);
const QColor kBlue(70, 156, 240);
const QColor kGreen(104, 226, 98);
const QColor kRed(236, 76, 66);
const QColor kPink(255, 96, 184);
const QColor kCyan(90, 236, 255);
const QColor kWood(244, 206, 150);

QPen inkPen(qreal width = 1.5) {
  return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillAndOutline(QPainter& p, const QPainterPath& path, const QColor& fill, qreal width = 1.5) {
  p.setPen(inkPen(width));
  p.setBrush(fill);
  p.drawPath(path);
}

QPainterPath polygonPath(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
  return path;
}

void line(QPainter& p, QPointF from, QPointF to, const QPen& pen) {
  p.setPen(pen);
  p.drawLine(from, to);
}

// A pencil lying along the x axis with its tip at (10, 0); callers place and turn it.
void pencil(QPainter& p) {
  fillAndOutline(p, roundedRect(-11, -2.6, 3.2, 5.2, 1.0), kPink, 1.3);
  fillAndOutline(p, polygonPath({{-8.2, -2.6}, {5, -2.6}, {5, 2.6}, {-8.2, 2.6}}), kYellow, 1.3);
  line(p, {-8.2, 0}, {5, 0}, QPen(kYellowDark, 1.0));
  fillAndOutline(p, polygonPath({{5, -2.6}, {10, 0}, {5, 2.6}}), kWood, 1.3);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF({{8.3, -0.9}, {10.2, 0}, {8.3, 0.9}}));
}

void drawNew(QPainter& p) {
  fillAndOutline(p, polygonPath({{5, 2.5}, {14.5, 2.5}, {19.5, 7.5}, {19.5, 21.5}, {5, 21.5}}), kPaper);
  fillAndOutline(p, polygonPath({{14.5, 2.5}, {14.5, 7.5}, {19.5, 7.5}}), kPaperShade, 1.2);
  p.setPen(inkPen());
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(17, 17.5), 5, 5);
  const QPen cross = inkPen(2.0);
  line(p, {17, 14.8}, {17, 20.2}, cross);
  line(p, {14.3, 17.5}, {19.7, 17.5}, cross);
}

void drawOpen(QPainter& p) {
  fillAndOutline(p,
                 polygonPath({{2.5, 19.5}, {2.5, 4.5}, {8.5, 4.5}, {10.5, 6.5}, {18.5, 6.5}, {18.5, 19.5}}),
                 kYellowDark);
  fillAndOutline(p, roundedRect(5.5, 8.5, 11, 7, 0.5), kPaper, 1.1);
  fillAndOutline(p, polygonPath({{2.5, 19.5}, {6.2, 11}, {22, 11}, {18.5, 19.5}}), kYellow);
}

void drawSave(QPainter& p) {
  fillAndOutline(p, polygonPath({{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}}), kBlue);
  fillAndOutline(p, roundedRect(7, 3, 9.5, 6.5, 0.4), kPaperShade, 1.2);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRect(QRectF(13, 4.3, 2, 3.8));
  fillAndOutline(p, roundedRect(6, 12.5, 12, 8.5, 0.8), kPaper, 1.2);
  const QPen rule(QColor(120, 140, 150), 1.0, Qt::SolidLine, Qt::RoundCap);
  line(p, {8.2, 15.5}, {15.8, 15.5}, rule);
  line(p, {8.2, 18}, {15.8, 18}, rule);
}

QPolygonF star(QPointF centre, qreal outer, qreal inner) {
  QPolygonF points;
  for (int k = 0; k < 10; ++k) {
    const qreal angle = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
    const qreal radius = k % 2 == 0 ? outer : inner;
    points << QPointF(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
  }
  return points;
}

void drawLogo(QPainter& p) {
  fillAndOutline(p, polygonPath({{8, 13}, {5.5, 22}, {8.7, 20.6}, {10.6, 22.8}, {12.3, 16}}), kBlue, 1.3);
  fillAndOutline(p, polygonPath({{16, 13}, {18.5, 22}, {15.3, 20.6}, {13.4, 22.8}, {11.7, 16}}), kBlue, 1.3);
  p.setPen(inkPen());
  p.setBrush(kYellow);
  p.drawEllipse(QPointF(12, 10), 7.8, 7.8);
  p.setPen(QPen(kYellowDark, 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(12, 10), 5.9, 5.9);
  p.setPen(inkPen(1.1));
  p.setBrush(kPaper);
  p.drawPolygon(star(QPointF(12, 10.4), 4.8, 2.0));
}

void drawPicture(QPainter& p) {
  fillAndOutline(p, roundedRect(2.5, 3.5, 19, 17, 1.5), QColor(44, 48, 58));
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  for (const qreal x : {4.2, 8.0, 11.8, 15.6, 19.0}) {
    p.drawRoundedRect(QRectF(x - 0.3, 4.8, 1.6, 1.6), 0.3, 0.3);
    p.drawRoundedRect(QRectF(x - 0.3, 17.6, 1.6, 1.6), 0.3, 0.3);
  }
  const QRectF window(4.3, 7.8, 15.4, 8.4);
  QLinearGradient sky(window.topLeft(), window.bottomLeft());
  sky.setColorAt(0, QColor(120, 200, 255));
  sky.setColorAt(1, QColor(200, 236, 255));
  p.setBrush(sky);
  p.drawRect(window);
  p.setBrush(kYellow);
  p.drawEllipse(QPointF(16.6, 10.2), 1.5, 1.5);
  p.setPen(QPen(QColor(30, 110, 40), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(kGreen);
  p.drawPolygon(QPolygonF({{4.3, 16.2}, {8.8, 10.6}, {12, 14}, {14.6, 11.8}, {19.7, 16.2}}));
}

void drawRun(QPainter& p) {
  QPainterPath path = polygonPath({{7, 4.5}, {20, 12}, {7, 19.5}});
  p.setPen(QPen(kGreen, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(kGreen);
  p.drawPath(path);
  QPainterPathStroker stroker;
  stroker.setWidth(3.0);
  stroker.setJoinStyle(Qt::RoundJoin);
  const QPainterPath outline = (stroker.createStroke(path) + path).simplified();
  p.setPen(inkPen());
  p.setBrush(Qt::NoBrush);
  p.drawPath(outline);
}

void drawPause(QPainter& p) {
  fillAndOutline(p, roundedRect(5.5, 4.5, 5, 15, 1.4), kYellow);
  fillAndOutline(p, roundedRect(13.5, 4.5, 5, 15, 1.4), kYellow);
}

void drawStop(QPainter& p) {
  fillAndOutline(p, roundedRect(5, 5, 14, 14, 2.5), kRed);
}

void drawProperties(QPainter& p) {
  p.save();
  p.translate(13.5, 10.5);
  p.rotate(135);
  pencil(p);
  p.restore();
  const QPen trail(kPaper, 1.6, Qt::SolidLine, Qt::RoundCap);
  line(p, {3.5, 21.5}, {14, 21.5}, QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap));
  line(p, {3.5, 21.5}, {14, 21.5}, trail);
}

void drawPostEdit(QPainter& p) {
  fillAndOutline(p, roundedRect(3.5, 2.5, 14.5, 19, 1.2), kPaper);
  const QPen text(QColor(64, 110, 122), 1.4, Qt::SolidLine, Qt::RoundCap);
  line(p, {6.5, 6.5}, {15, 6.5}, text);
  line(p, {6.5, 9.5}, {13.5, 9.5}, text);
  line(p, {6.5, 12.5}, {15, 12.5}, text);
  line(p, {6.5, 15.5}, {11, 15.5}, text);
  p.save();
  p.translate(18.3, 13.8);
  p.rotate(135);
  p.scale(0.72, 0.72);
  pencil(p);
  p.restore();
}

void drawUndo(QPainter& p) {
  QPainterPath shaft;
  shaft.moveTo(19.5, 19.5);
  shaft.cubicTo(21, 12, 16.5, 9, 9.6, 9);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kInk, 5.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(shaft);
  fillAndOutline(p, polygonPath({{2.8, 9}, {10, 2.8}, {10, 15.2}}), kBlue);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kBlue, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(shaft);
}

void drawHelp(QPainter& p) {
  p.setPen(inkPen());
  p.setBrush(kBlue);
  p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
  QPainterPath mark;
  mark.moveTo(8.7, 9.2);
  mark.cubicTo(8.7, 5.4, 15.3, 5.4, 15.3, 9.2);
  mark.cubicTo(15.3, 11.6, 12, 11.6, 12, 14.4);
  p.setPen(QPen(kPaper, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(mark);
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  p.drawEllipse(QPointF(12, 17.6), 1.5, 1.5);
}

// A neon tube: a soft wide glow under a bright core.
void tube(QPainter& p, const QPainterPath& path, const QColor& colour) {
  p.setBrush(Qt::NoBrush);
  QColor glow = colour;
  glow.setAlpha(70);
  p.setPen(QPen(glow, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  glow.setAlpha(140);
  p.setPen(QPen(glow, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  const QColor core((colour.red() + 3 * 255) / 4, (colour.green() + 3 * 255) / 4,
                    (colour.blue() + 3 * 255) / 4);
  p.setPen(QPen(core, 1.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

void drawApplication(QPainter& p) {
  QLinearGradient board(QPointF(0, 1.5), QPointF(0, 22.5));
  board.setColorAt(0, QColor(46, 34, 74));
  board.setColorAt(1, QColor(18, 12, 32));
  p.setPen(QPen(QColor(110, 110, 140), 1.0));
  p.setBrush(board);
  p.drawRoundedRect(QRectF(1, 1.5, 22, 21), 3.5, 3.5);
  QPainterPath frame;
  frame.addRoundedRect(QRectF(4, 4.5, 16, 15), 2.5, 2.5);
  tube(p, frame, kCyan);
  QPainterPath heart;
  heart.moveTo(12, 16.2);
  heart.cubicTo(5.6, 12.2, 7.2, 6.4, 12, 9.4);
  heart.cubicTo(16.8, 6.4, 18.4, 12.2, 12, 16.2);
  tube(p, heart, kPink);
  QPainterPath spark;
  spark.moveTo(17.2, 7.2);
  spark.lineTo(17.2, 7.3);
  tube(p, spark, kYellow);
}

struct IconEntry {
  const char* key;
  void (*draw)(QPainter&);
};

const std::array<IconEntry, 13> kIcons = {{
    {"新建", drawNew},
    {"打开", drawOpen},
    {"保存", drawSave},
    {"标志设计", drawLogo},
    {"图案设计", drawPicture},
    {"运行", drawRun},
    {"暂停", drawPause},
    {"停止", drawStop},
    {"属性", drawProperties},
    {"后期处理", drawPostEdit},
    {"撤销", drawUndo},
    {"帮助", drawHelp},
    {"应用", drawApplication},
}};

const IconEntry* findIcon(const QString& key) {
  for (const IconEntry& entry : kIcons) {
    if (key == QString::fromUtf8(entry.key)) return &entry;
  }
  return nullptr;
}

}  // namespace

QStringList toolbarIconKeys() {
  QStringList keys;
  for (const IconEntry& entry : kIcons) keys << QString::fromUtf8(entry.key);
  return keys;
}

QPixmap toolbarIcon(const QString& key, int size, qreal devicePixelRatio) {
  const IconEntry* entry = findIcon(key);
  if (entry == nullptr || size < 1) return {};
  if (!(devicePixelRatio > 0)) devicePixelRatio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
  const int pixels = std::max(1, qRound(size * devicePixelRatio));
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(pixels / kGrid, pixels / kGrid);
    entry->draw(painter);
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(devicePixelRatio);
  return pixmap;
}

QIcon toolbarIconSet(const QString& key) {
  if (findIcon(key) == nullptr) return {};
  QIcon icon;
  // Sizes in pixels: the icon picks the one that suits a screen's density itself.
  for (const int size : {16, 24, 32, 48}) icon.addPixmap(toolbarIcon(key, size, 1.0));
  if (key == QStringLiteral("应用")) {
    for (const int size : {64, 128, 256}) icon.addPixmap(toolbarIcon(key, size, 1.0));
  }
  return icon;
}

}  // namespace lumafex::controls
