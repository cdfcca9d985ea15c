#pragma once
// The settings store on QSettings: an INI file in the user's configuration directory
// (application "Velarn霓虹灯"), one group per section.

#include <QSettings>

#include "core/platform/SettingsStore.h"

namespace lumafex::platform {

class QtSettings : public SettingsStore {
 public:
  QtSettings();
  std::string get(const std::string& section, const std::string& key,
                  const std::string& fallback) const override;
  void set(const std::string& section, const std::string& key, const std::string& value) override;
  bool contains(const std::string& section, const std::string& key) const override;
  using SettingsStore::get;
  using SettingsStore::set;

 private:
  mutable QSettings settings_;
};

}  // namespace lumafex::platform
