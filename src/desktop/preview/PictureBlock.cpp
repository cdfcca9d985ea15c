#include "desktop/preview/PictureBlock.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/platform/Twips.h"

namespace lumafex::preview {

namespace {

const QColor kNumberGrey(128, 128, 128);

}  // namespace

PictureBlock::PictureBlock(design::PictureKind kind, int index, QWidget* parent)
    : QWidget(parent), kind_(kind), index_(index) {
  const bool logo = kind == design::PictureKind::Logo;
  setObjectName(logo ? QStringLiteral("标志") : QStringLiteral("图案"));
  setProperty("index", index);
  setToolTip((logo ? QStringLiteral("标志(") : QStringLiteral("图案(")) + QString::number(index) +
             QStringLiteral(")"));
  setCursor(Qt::SizeAllCursor);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBlock::setPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void PictureBlock::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0, 0, 0));
  if (numbered_) {
    // The number in grey, its size in points = the smaller side in twips ÷ 20.
    QFont font = painter.font();
    const double points = platform::toTwips(std::min(width(), height())) / 20.0;
    font.setPointSizeF(std::max(1.0, points));
    painter.setFont(font);
    painter.setPen(kNumberGrey);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, QString::number(index_));
  } else if (!picture_.isNull()) {
    painter.drawImage(QPoint(0, 0), picture_);
  }
  painter.setPen(kNumberGrey);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PictureBlock::mousePressEvent(QMouseEvent* event) {
  // The right button is for the picture designers.
  if (event->button() == Qt::RightButton && rightPressed) rightPressed(*this);
  if (event->button() != Qt::LeftButton) return;
  if (leftPressed) leftPressed(*this);
  dragging_ = true;
  dragStart_ = event->globalPosition().toPoint();
  startPos_ = pos();
}

void PictureBlock::mouseMoveEvent(QMouseEvent* event) {
  if (!numbered_) {
    numbered_ = true;
    update();
  }
  if (!dragging_) return;
  const QPoint offset = event->globalPosition().toPoint() - dragStart_;
  move(startPos_ + offset);
  if (dragging) dragging(*this, offset);
}

void PictureBlock::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return;
  dragging_ = false;
  if (pos() != startPos_ && dropped) dropped(*this);
}

void PictureBlock::hideEvent(QHideEvent* event) {
  numbered_ = false;
  dragging_ = false;
  QWidget::hideEvent(event);
}

}  // namespace lumafex::preview
