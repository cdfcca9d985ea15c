#pragma once
// The program's own toolbar and application icons, drawn with QPainter on a transparent background.
// They are made to stand out on the teal face of the buttons: light and coloured shapes with a dark
// outline. The keys are the names of the toolbar buttons ("新建", "打开", "保存", "标志设计", "图案设计",
// "运行", "暂停", "停止", "属性", "后期处理", "撤销", "帮助") and "应用" for the application icon.

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

namespace lumafex::controls {

// Every key that toolbarIcon() draws, the toolbar's in their left-to-right order, then "应用".
QStringList toolbarIconKeys();

// The icon `key` as a square pixmap of `size` x `size` device-independent pixels, drawn at
// `devicePixelRatio` (0: the highest ratio of the screens, so the icon stays sharp on a high-density
// screen). A null pixmap for an unknown key or a size below 1.
QPixmap toolbarIcon(const QString& key, int size, qreal devicePixelRatio = 0);

// The icon `key` at the usual sizes (16, 24, 32, 48, and 64 to 256 for the application icon); a null
// icon for an unknown key.
QIcon toolbarIconSet(const QString& key);

}  // namespace lumafex::controls
