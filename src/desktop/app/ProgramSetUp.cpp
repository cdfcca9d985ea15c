#include "desktop/app/ProgramSetUp.h"

#include <QApplication>

#include "desktop/app/CommandLine.h"
#include "desktop/platform/FileDialogLook.h"
#include "desktop/platform/QtTranslations.h"

namespace lumafex::app {

void setUpProgram(QApplication& qt) {
  nameApplication();
  platform::installQtTranslations(qt);
  qt.installEventFilter(new platform::FileDialogFitter(&qt));
}

}  // namespace lumafex::app
