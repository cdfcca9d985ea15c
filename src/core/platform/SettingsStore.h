#pragma once
// The per-user settings store: string values by section and key. The program keeps everything in
// section "参数" of application "Velarn霓虹灯"; the Qt implementation stores it with QSettings, tests
// use the in-memory one.

#include <map>
#include <string>
#include <utility>

namespace lumafex::platform {

inline constexpr const char* kSettingsApplication = "Velarn霓虹灯";
inline constexpr const char* kSettingsSection = "参数";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // A missing key reads as `fallback`.
  virtual std::string get(const std::string& section, const std::string& key,
                          const std::string& fallback) const = 0;
  virtual void set(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual bool contains(const std::string& section, const std::string& key) const = 0;

  std::string get(const std::string& key, const std::string& fallback = {}) const {
    return get(kSettingsSection, key, fallback);
  }
  void set(const std::string& key, const std::string& value) { set(kSettingsSection, key, value); }
};

class MemorySettings : public SettingsStore {
 public:
  std::string get(const std::string& section, const std::string& key,
                  const std::string& fallback) const override {
    const auto it = values_.find({section, key});
    return it == values_.end() ? fallback : it->second;
  }
  void set(const std::string& section, const std::string& key, const std::string& value) override {
    values_[{section, key}] = value;
  }
  bool contains(const std::string& section, const std::string& key) const override {
    return values_.count({section, key}) != 0;
  }
  using SettingsStore::get;
  using SettingsStore::set;

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace lumafex::platform
