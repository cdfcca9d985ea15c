#pragma once
// A control under its given name: tests and the program find it by objectName.

#include <QPushButton>
#include <QString>

namespace lumafex::controls {

template <class W>
W* named(W* widget, const char* name) {
  widget->setObjectName(QString::fromUtf8(name));
  return widget;
}

// A push button whose caption is its given name.
inline QPushButton* namedButton(const char* name, QWidget* parent, const QString& tip = {}) {
  auto* b = named(new QPushButton(QString::fromUtf8(name), parent), name);
  if (!tip.isEmpty()) b->setToolTip(tip);
  return b;
}

}  // namespace lumafex::controls
