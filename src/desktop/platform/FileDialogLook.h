#pragma once
// Qt's own file dialog as the program shows it: it opens large enough for its columns, and the
// size, type and date columns take the width their entries need (the name column the rest), so no
// entry is cut to "378…tes".

#include <QObject>

class QFileDialog;

namespace lumafex::platform {

// Sizes the dialog (within its screen) and its detail columns.
void fitFileDialog(QFileDialog& dialog);

// Fits every file dialog of the program as it is shown. Installed on the application.
class FileDialogFitter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lumafex::platform
