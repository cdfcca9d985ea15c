#include "desktop/platform/QtDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace lumafex::platform {

namespace {
const QString kTitle = QStringLiteral("Lumafex");

QMessageBox::StandardButton standard(Answer a) {
  switch (a) {
    case Answer::Ok:
      return QMessageBox::Ok;
    case Answer::Cancel:
      return QMessageBox::Cancel;
    case Answer::Yes:
      return QMessageBox::Yes;
    case Answer::No:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}
}  // namespace

Answer QtDialogs::message(const std::string& text, Buttons buttons, Answer focus) {
  QMessageBox box(parent_);
  box.setWindowTitle(kTitle);
  box.setText(qs(text));
  QMessageBox::StandardButtons set;
  switch (buttons) {
    case Buttons::Ok:
      set = QMessageBox::Ok;
      box.setIcon(QMessageBox::Information);
      break;
    case Buttons::OkCancel:
      set = QMessageBox::Ok | QMessageBox::Cancel;
      box.setIcon(QMessageBox::Question);
      break;
    case Buttons::YesNo:
      set = QMessageBox::Yes | QMessageBox::No;
      box.setIcon(QMessageBox::Question);
      break;
    case Buttons::YesNoCancel:
      set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      box.setIcon(QMessageBox::Question);
      break;
  }
  box.setStandardButtons(set);
  if (set.testFlag(standard(focus))) box.setDefaultButton(standard(focus));
  if (auto* yes = box.button(QMessageBox::Yes)) yes->setText(QStringLiteral("是(&Y)"));
  if (auto* no = box.button(QMessageBox::No)) no->setText(QStringLiteral("否(&N)"));
  if (auto* ok = box.button(QMessageBox::Ok)) ok->setText(QStringLiteral("确定"));
  if (auto* cancel = box.button(QMessageBox::Cancel)) cancel->setText(QStringLiteral("取消"));
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
  }
}

std::optional<std::string> QtDialogs::input(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(qs(title));
  dialog.setLabelText(qs(prompt));
  dialog.setTextValue(qs(defaultText));
  dialog.setOkButtonText(QStringLiteral("确定"));
  dialog.setCancelButtonText(QStringLiteral("取消"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return us(dialog.textValue());
}

QString QtDialogs::qtFilter(const std::string& filter) {
  const QStringList parts = qs(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    if (!description.contains(QLatin1Char('(')))
      description += QStringLiteral(" (") + patterns + QLatin1Char(')');
    out << description;
  }
  return out.join(QStringLiteral(";;"));
}

std::optional<std::string> QtDialogs::openFile(const std::string& title, const std::string& directory,
                                               const std::string& filter) {
  const QString path = QFileDialog::getOpenFileName(parent_, qs(title), qs(directory), qtFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return us(path);
}

std::optional<std::vector<std::string>> QtDialogs::openFiles(const std::string& title,
                                                             const std::string& directory,
                                                             const std::string& filter) {
  const QStringList paths =
      QFileDialog::getOpenFileNames(parent_, qs(title), qs(directory), qtFilter(filter));
  if (paths.isEmpty()) return std::nullopt;
  std::vector<std::string> files;
  for (const QString& path : paths) files.push_back(us(path));
  return files;
}

std::optional<std::string> QtDialogs::saveFile(const std::string& title, const std::string& directory,
                                               const std::string& suggestedPath, const std::string& filter) {
  const QString start = suggestedPath.empty() ? qs(directory) : qs(suggestedPath);
  const QString path = QFileDialog::getSaveFileName(parent_, qs(title), start, qtFilter(filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return std::nullopt;
  return us(path);
}

}  // namespace lumafex::platform
