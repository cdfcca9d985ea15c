#pragma once
// Finds a window's control by its given name, as a user finds it on the screen: the windows keep
// their controls private. Controls of an array (色彩样品, 板提示, mnuFileMRU, …) carry their index
// in the property "index".

#include <QObject>
#include <QString>
#include <QVariant>
#include <QtWidgets>

#include "desktop/controls/AdjustableBar.h"
#include "desktop/controls/CheckBoxControl.h"
#include "desktop/controls/VelarnButton.h"
#include "desktop/design/ColourPanel.h"

namespace lumafex::testing {

template <class T>
T* child(const QObject& parent, const char* name, int index = -1) {
  // A window holds other windows (the main window the previews): the control nearest to the
  // window is its own.
  T* best = nullptr;
  int bestDepth = 0;
  for (T* w : parent.findChildren<T*>(QString::fromUtf8(name))) {
    if (index >= 0 && w->property("index").toInt() != index) continue;
    int depth = 0;
    for (const QObject* o = w; o && o != &parent; o = o->parent()) ++depth;
    if (!best || depth < bestDepth) {
      best = w;
      bestDepth = depth;
    }
  }
  if (!best) qFatal("no control %s", name);
  return best;
}

template <class T>
T* child(const QObject* parent, const char* name, int index = -1) {
  return child<T>(*parent, name, index);
}

}  // namespace lumafex::testing
