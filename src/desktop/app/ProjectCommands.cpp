#include "desktop/app/ProjectCommands.h"

#include <QDir>
#include <QFileInfo>

#include "core/app/ProjectPaths.h"
#include "core/app/RecentFiles.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/app/MainWindow.h"
#include "desktop/design/DesignWindow.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/platform/QtDialogs.h"

namespace lumafex::app {

using platform::qs;
using platform::us;

namespace {
constexpr const char* kProjectFilter = "霓虹灯花式文件 (*.hs)|*.hs";
}  // namespace

ProjectCommands::ProjectCommands(Application& app, design::ProjectDocument& document, MainWindow& main)
    : app_(app), document_(document), main_(main) {}

bool ProjectCommands::askToSave() {
  if (!document_.dirty()) return true;
  switch (app_.dialogs().message("原来的工程已经改变，是否存盘？", platform::Buttons::YesNoCancel,
                                 platform::Answer::Yes)) {
    case platform::Answer::Yes:
      save();
      return true;
    case platform::Answer::No:
      return true;
    default:
      return false;
  }
}

void ProjectCommands::open() {
  if (!askToSave()) return;
  const auto path = app_.dialogs().openFile("打开", us(app_.applicationDirectory()), kProjectFilter);
  if (!path) return;
  app_.setCurrentProjectPath(qs(*path));
  main_.showDesign();
  app_.designWindow().打开工程();
  main_.setWindowTitle(qs(windowCaption(*path)));
  main_.备份最近打开的菜单();
  main_.调入最近打开的文件菜单();
}

void ProjectCommands::save() {
  app_.setCurrentProjectPath(app_.currentProjectPath());
  main_.setWindowTitle(qs(windowCaption(us(app_.currentProjectPath()))));
  app_.designWindow().保存工程Click();
  main_.备份最近打开的菜单();
  main_.调入最近打开的文件菜单();
}

void ProjectCommands::saveAs() {
  const QString oldDir = app_.projectDirectory();
  auto path = app_.dialogs().saveFile("另存为", us(app_.applicationDirectory()),
                                      us(app_.currentProjectPath()), kProjectFilter);
  if (!path || path->empty()) return;
  // A project file is a ".hs" file: without it the open dialog would not list the file, and the
  // project's directory would have the file's own name.
  if (!qs(*path).endsWith(QString::fromUtf8(kProjectExtension), Qt::CaseInsensitive))
    *path += kProjectExtension;
  if (QFileInfo::exists(qs(*path)) &&
      app_.dialogs().message("“" + *path + "”已经存在是否覆盖它？", platform::Buttons::YesNo,
                             platform::Answer::Yes) != platform::Answer::Yes) {
    return;
  }
  const QString target = qs(*path);
  const QString oldPath = app_.currentProjectPath();
  app_.setCurrentProjectPath(target);
  app_.setProjectDirectory(oldDir);  // the coordinate files still go to the old directory
  if (!app_.designWindow().保存工程Click()) {
    // The record could not be written there (the user has been told): the project stays where it was.
    app_.setCurrentProjectPath(oldPath);
    return;
  }
  main_.setWindowTitle(qs(windowCaption(*path)));

  app_.setCurrentProjectPath(target);
  const QString newDir = app_.projectDirectory();
  QDir().mkpath(newDir);
  if (QFileInfo(oldDir).absoluteFilePath() != QFileInfo(newDir).absoluteFilePath()) {
    // Each file is written beside its target and renamed over it: a copy that fails leaves the
    // file that was there, and the user learns which files did not come along.
    std::string failures;
    for (const QFileInfo& f : QDir(oldDir).entryInfoList(QDir::Files | QDir::Hidden)) {
      const QString to = newDir + QLatin1Char('/') + f.fileName();
      const auto bytes = platform::readBytes(platform::pathFromUtf8(us(f.filePath())));
      const Status copied = bytes ? platform::writeBytesSafely(platform::pathFromUtf8(us(to)), *bytes)
                                  : Status::fail(bytes.error());
      if (!copied) failures += "\n" + copied.error();
    }
    if (!failures.empty()) {
      app_.dialogs().message("工程目录中有文件没有复制到新的工程目录：" + failures);
      document_.setDirty(true);
    }
  }
  main_.备份最近打开的菜单();
  main_.调入最近打开的文件菜单();
}

void ProjectCommands::openRecent(int slot) {
  const RecentList list = readRecentList(app_.settings());
  const std::string& path = list[static_cast<std::size_t>(slot)];
  if (!QFileInfo(qs(path)).isFile()) {
    app_.dialogs().message("工程“" + path + "”已经不存在！");
    return;
  }
  app_.setCurrentProjectPath(qs(path));
  main_.showDesign();
  app_.designWindow().打开工程();
  main_.setWindowTitle(qs(windowCaption(path)));
  main_.备份最近打开的菜单();
  main_.调入最近打开的文件菜单();
}

}  // namespace lumafex::app
