#include "desktop/platform/QtSettings.h"

#include "desktop/platform/QtDialogs.h"

namespace lumafex::platform {

QtSettings::QtSettings()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Lumafex"),
                QString::fromUtf8(kSettingsApplication)) {}

std::string QtSettings::get(const std::string& section, const std::string& key,
                            const std::string& fallback) const {
  const QString k = qs(section) + QLatin1Char('/') + qs(key);
  if (!settings_.contains(k)) return fallback;
  return us(settings_.value(k).toString());
}

void QtSettings::set(const std::string& section, const std::string& key, const std::string& value) {
  settings_.setValue(qs(section) + QLatin1Char('/') + qs(key), qs(value));
  settings_.sync();
}

bool QtSettings::contains(const std::string& section, const std::string& key) const {
  return settings_.contains(qs(section) + QLatin1Char('/') + qs(key));
}

}  // namespace lumafex::platform
