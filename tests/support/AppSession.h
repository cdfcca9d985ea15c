#pragma once
// One run of the desktop program for a window test: its own application, temporary and settings
// directories, scripted dialogs and a stand-in for the shortcut helper.

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <memory>

#include "core/platform/SettingsStore.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/design/DesignWindow.h"
#include "support/ScriptedDialogs.h"

namespace lumafex::testing {

using app::Application;

inline QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QStringList listTexts(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

// One run of the program in its own directories.
struct Session {
  QTemporaryDir root;
  platform::MemorySettings settings;
  testing::ScriptedDialogs dialogs;
  std::unique_ptr<Application> app;

  QString appDir() const { return root.path() + QStringLiteral("/app"); }
  QString tempDir() const { return root.path() + QStringLiteral("/tmp"); }
  QString helperMarker() const { return root.path() + QStringLiteral("/helper-ran"); }

  Application& start(bool expectStarted = true) {
    QDir().mkpath(tempDir());
    const QString helper = root.path() + QStringLiteral("/fake-shelllnk");
    QFile script(helper);
    if (script.open(QIODevice::WriteOnly)) {
      script.write("#!/bin/sh\necho \"$1\" >> '" + helperMarker().toUtf8() + "'\n");
      script.close();
      script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    app::StartOptions options;
    options.applicationDirectory = appDir();
    options.temporaryDirectory = tempDir();
    options.showSplash = false;
    options.shortcutHelper = helper;
    app = std::make_unique<Application>(dialogs, settings, options);
    const bool started = app->start();
    if (started != expectStarted) qWarning("start() gave %d", started);
    return *app;
  }
  design::DesignWindow& design() { return app->designWindow(); }
  app::MainWindow& main() { return app->mainWindow(); }
  QStringList scratchFiles() const {
    return QDir(tempDir()).entryList({QStringLiteral("~00*")}, QDir::Files);
  }
};

}  // namespace lumafex::testing
