#pragma once
// Qt's own texts (the standard buttons, the file, input and progress dialogs) in the user's
// language, from the catalogues Qt ships in its translation directory (Debian:
// qt6-translations-l10n). The program's own texts are Chinese, so Chinese is taken when none of the
// user's languages has a catalogue (a "C" or "POSIX" locale, or a language Qt does not translate).

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace lumafex::platform {

// The catalogue name Qt's translations use for the first of `languages` (BCP 47 names such as
// "de-CH", or "C") that has a catalogue in `directory`, trying each language with and without its
// region; "zh_CN" when none has one.
QString qtCatalogueLanguage(const QStringList& languages, const QString& directory);

// Installs Qt's catalogues for the user's languages (QLocale::system().uiLanguages()) on `app`,
// Chinese when none of them has one. Returns the catalogue name installed ("de", "zh_CN", …), or
// an empty string when no catalogue could be loaded (Qt then speaks English).
QString installQtTranslations(QCoreApplication& app);
// The same for the languages given.
QString installQtTranslations(QCoreApplication& app, const QStringList& languages);

}  // namespace lumafex::platform
