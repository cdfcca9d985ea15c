#pragma once
// What a person would see wrong in a window, read from the widget geometry: a control lying
// (partly) outside the widget that holds it, two controls of one parent covering each other, a
// caption that does not fit its label, button or check box, and a laid-out widget squeezed below
// the minimum its layout needs. Each fault names the window, the controls and the rectangles.
//
// Looked at: every visible control of the window, down through plain containers (group boxes,
// frames, the content of a scroll area). Not looked into: the inner parts of Qt's composite
// controls (combo boxes, spin boxes, list and text views, menu, tool and status bars, MDI frames),
// which Qt lays out itself. The children of a scroll area's viewport are the scrolled content and
// may lie outside the viewport.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QToolBar>
#include <QWidget>
#include <functional>

#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/VelarnButton.h"

namespace lumafex::testing {

struct LayoutRules {
  // Widgets whose children are placed on purpose over them (and one another), and are not looked
  // at: the sign canvas with its title picture and placement blocks.
  std::function<bool(const QWidget*)> placesChildrenFreely = [](const QWidget*) { return false; };
  // Widgets that lie under their siblings on purpose (a window background).
  std::function<bool(const QWidget*)> isBackground = [](const QWidget*) { return false; };
};

inline QString describe(const QWidget* w) {
  const QString name = w->objectName().isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(w->objectName());
  QString text;
  if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
  if (auto* box = qobject_cast<const controls::CheckBoxControl*>(w)) text = box->caption();
  if (!text.isEmpty()) text = QStringLiteral(" '%1'").arg(text.left(24));
  const QRect g = w->geometry();
  return QString::fromLatin1(w->metaObject()->className()) + name + text +
         QStringLiteral(" [%1,%2 %3x%4]").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
}

// The text a caption shows: "&&" is one "&", a single "&" marks the access key and is not drawn.
inline QString shownText(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

inline int widestLine(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// The height of the lines as drawn: Chinese characters come from a fallback font whose line is
// taller than the line of the font itself (QFontMetrics::height).
inline int drawnHeight(const QFontMetrics& metrics, const QString& text) {
  int height = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    height += std::max(metrics.height(), metrics.boundingRect(line).height());
  return height;
}

// A caption that does not fit the control showing it, or an empty string.
inline QString captionFault(const QWidget* w) {
  const QFontMetrics metrics(w->font());
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty() || label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()))) {
      return {};
    }
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    const QString text = label->buddy() ? shownText(label->text()) : label->text();
    if (label->wordWrap()) {
      if (label->heightForWidth(label->width()) > label->height()) return QStringLiteral("wrapped text cut");
      return {};
    }
    if (widestLine(metrics, text) > room.width()) return QStringLiteral("text wider than the label");
    if (drawnHeight(metrics, text) > room.height()) return QStringLiteral("text taller than the label");
    return {};
  }
  if (auto* box = qobject_cast<const controls::CheckBoxControl*>(w)) {
    const QRectF square = controls::checkBoxRect(QRectF(box->rect()), box->font());
    if (square.bottom() > box->height() + 0.5 || square.top() < -0.5) return QStringLiteral("check box cut");
    if (square.right() + 5 + metrics.horizontalAdvance(box->caption()) > box->width())
      return QStringLiteral("caption wider than the check box");
    if (drawnHeight(metrics, box->caption()) > box->height())
      return QStringLiteral("caption taller than the check box");
    return {};
  }
  if (auto* list = qobject_cast<const QListWidget*>(w)) {
    // Every entry whole (with its picture): a list does not wrap or cut its entries for the user.
    if (list->count() > 0 && list->sizeHintForColumn(0) > list->viewport()->width())
      return QStringLiteral("entries wider than the list (%1)").arg(list->sizeHintForColumn(0));
    return {};
  }
  if (auto* bar = qobject_cast<const controls::AdjustableBar*>(w)) {
    // The number is drawn inside the sunken frame (two pixels each side).
    const QString text = bar->barText();
    if (!text.isEmpty() && metrics.horizontalAdvance(text) > bar->width() - 4)
      return QStringLiteral("number wider than the bar");
    if (!text.isEmpty() && drawnHeight(metrics, text) > bar->height() - 4)
      return QStringLiteral("number taller than the bar");
    return {};
  }
  if (auto* button = qobject_cast<const controls::VelarnButton*>(w)) {
    const QString text = shownText(button->caption());
    if (!text.isEmpty() && metrics.horizontalAdvance(text) + 4 > button->width())
      return QStringLiteral("caption wider than the button");
    return {};
  }
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
    auto* button = static_cast<const QAbstractButton*>(w);
    if (button->text().isEmpty()) return {};
    const bool radio = qobject_cast<const QRadioButton*>(w) != nullptr;
    QStyle* style = w->style();
    const int indicator = style->pixelMetric(
        radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, w);
    const int spacing = style->pixelMetric(
        radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
    if (indicator + spacing + metrics.horizontalAdvance(shownText(button->text())) > button->width())
      return QStringLiteral("caption wider than the check box");
    return {};
  }
  if (auto* button = qobject_cast<const QPushButton*>(w)) {
    // The style's own measure of the caption with its margins (and icon).
    if (!button->text().isEmpty() && button->width() < button->minimumSizeHint().width())
      return QStringLiteral("caption wider than the button");
    return {};
  }
  return {};
}

// Qt lays the inner parts of these out itself.
inline bool isComposite(const QWidget* w) {
  return (qobject_cast<const QAbstractScrollArea*>(w) && !qobject_cast<const QScrollArea*>(w)) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QMenuBar*>(w) || qobject_cast<const QToolBar*>(w) ||
         qobject_cast<const QStatusBar*>(w) || qobject_cast<const QMdiSubWindow*>(w) ||
         qobject_cast<const QAbstractButton*>(w) || qobject_cast<const controls::CheckBoxControl*>(w);
}

inline void collectFaults(const QString& window, const QWidget* parent, const LayoutRules& rules,
                          QStringList& faults) {
  if (rules.placesChildrenFreely(parent)) return;
  if (auto* scroll = qobject_cast<const QScrollArea*>(parent)) {
    // The content may be larger than the viewport (it scrolls); inside, the usual rules hold.
    if (QWidget* content = scroll->widget(); content && content->isVisibleTo(scroll)) {
      if (content->width() < content->minimumSizeHint().width() ||
          content->height() < content->minimumSizeHint().height())
        faults << window + QStringLiteral(": scrolled content below its minimum size: ") + describe(content);
      collectFaults(window, content, rules, faults);
    }
    return;
  }
  QList<const QWidget*> shown;
  for (const QObject* o : parent->children()) {
    auto* w = qobject_cast<const QWidget*>(o);
    if (!w || w->isWindow() || !w->isVisibleTo(parent) || w->objectName().startsWith(QStringLiteral("qt_")))
      continue;
    if (w->width() <= 0 || w->height() <= 0) continue;
    shown << w;
  }
  for (const QWidget* w : shown) {
    if (!parent->rect().contains(w->geometry()))
      faults << window + QStringLiteral(": outside ") + describe(parent) + QStringLiteral(": ") + describe(w);
    if (const QString fault = captionFault(w); !fault.isEmpty())
      faults << window + QStringLiteral(": ") + fault + QStringLiteral(": ") + describe(w);
    if (w->layout() && !w->layout()->isEmpty() && !isComposite(w)) {
      const QSize least = w->layout()->totalMinimumSize();
      if (w->width() < least.width() || w->height() < least.height())
        faults << window +
                      QStringLiteral(": squeezed below the %1x%2 its layout needs: ")
                          .arg(least.width())
                          .arg(least.height()) +
                      describe(w);
    }
  }
  for (qsizetype i = 0; i < shown.size(); ++i) {
    for (qsizetype j = i + 1; j < shown.size(); ++j) {
      if (rules.isBackground(shown[i]) || rules.isBackground(shown[j])) continue;
      if (shown[i]->geometry().intersects(shown[j]->geometry()))
        faults << window + QStringLiteral(": overlap: ") + describe(shown[i]) + QStringLiteral(" / ") +
                      describe(shown[j]);
    }
  }
  for (const QWidget* w : shown) {
    if (!isComposite(w)) collectFaults(window, w, rules, faults);
  }
}

// Every fault of `window` (a top-level window, or the content of an MDI frame).
inline QStringList layoutFaults(const QWidget* window, const LayoutRules& rules = {}) {
  QStringList faults;
  const QString name = window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                      : window->objectName();
  if (window->layout() && !window->layout()->isEmpty()) {
    const QSize least = window->layout()->totalMinimumSize();
    if (window->width() < least.width() || window->height() < least.height())
      faults << name +
                    QStringLiteral(": window squeezed below the %1x%2 its layout needs: ")
                        .arg(least.width())
                        .arg(least.height()) +
                    describe(window);
  }
  collectFaults(name, window, rules, faults);
  return faults;
}

}  // namespace lumafex::testing
