#pragma once
// What the desktop program sets on its QApplication before any window exists: its names and
// version, Qt's own texts in the user's language (Chinese by default), and file dialogs that open
// large enough for their columns.

class QApplication;

namespace lumafex::app {

void setUpProgram(QApplication& qt);

}  // namespace lumafex::app
