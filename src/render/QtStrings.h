#pragma once
// Text conversions between the core's UTF-8 strings and Qt's.

#include <QString>
#include <string>

namespace lumafex::platform {

inline QString qs(const std::string& utf8) {
  return QString::fromStdString(utf8);
}
inline std::string us(const QString& text) {
  return text.toStdString();
}

}  // namespace lumafex::platform
