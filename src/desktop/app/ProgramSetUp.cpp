#include "desktop/app/ProgramSetUp.h"

#include <QApplication>

#include "Version.h"
#include "desktop/platform/FileDialogLook.h"
#include "desktop/platform/QtTranslations.h"

namespace lumafex::app {

void setUpProgram(QApplication& qt) {
  QApplication::setApplicationName(QStringLiteral("Lumafex"));
  QApplication::setOrganizationName(QStringLiteral("Lumafex"));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                          .arg(lumafex::kVersionMajor)
                                          .arg(lumafex::kVersionMinor)
                                          .arg(lumafex::kVersionRevision));
  platform::installQtTranslations(qt);
  qt.installEventFilter(new platform::FileDialogFitter(&qt));
}

}  // namespace lumafex::app
