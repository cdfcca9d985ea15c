#include "desktop/platform/QtTranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumafex::platform {

namespace {

const QString kFallback = QStringLiteral("zh_CN");

QString catalogueFile(const QString& directory, const QString& module, const QString& language) {
  return directory + QLatin1Char('/') + module + QLatin1Char('_') + language + QStringLiteral(".qm");
}

bool hasCatalogue(const QString& directory, const QString& language) {
  return QFileInfo::exists(catalogueFile(directory, QStringLiteral("qtbase"), language));
}

}  // namespace

QString qtCatalogueLanguage(const QStringList& languages, const QString& directory) {
  for (QString language : languages) {
    language.replace(QLatin1Char('-'), QLatin1Char('_'));
    // "zh_Hans_CN" names its script; the catalogues are named by language and region only.
    QStringList parts = language.split(QLatin1Char('_'), Qt::SkipEmptyParts);
    if (parts.isEmpty()) continue;
    if (parts.size() == 3) parts.removeAt(1);
    QString full = parts.join(QLatin1Char('_'));
    if (hasCatalogue(directory, full)) return full;
    if (parts.size() > 1 && hasCatalogue(directory, parts.front())) return parts.front();
  }
  return kFallback;
}

QString installQtTranslations(QCoreApplication& app) {
  return installQtTranslations(app, QLocale::system().uiLanguages());
}

QString installQtTranslations(QCoreApplication& app, const QStringList& languages) {
  const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  QString language = qtCatalogueLanguage(languages, directory);
  // "qt_<language>" gathers the catalogues of every Qt module (qtbase among them) where it is
  // shipped; qtbase alone holds every text of the widgets this program uses.
  for (const QString& module : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
    const QString file = catalogueFile(directory, module, language);
    if (!QFileInfo::exists(file)) continue;
    auto* translator = new QTranslator(&app);
    if (translator->load(file) && QCoreApplication::installTranslator(translator)) return language;
    delete translator;
  }
  return {};
}

}  // namespace lumafex::platform
