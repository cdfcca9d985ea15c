#include "core/design/ProjectRecord.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"

namespace lumafex::design {

namespace {

enum class Kind { Text, Colour, Real, Switch };

// How each value line is read and written, in record order.
struct Field {
  Kind kind;
  std::string ProjectSettings::*text = nullptr;
  double ProjectSettings::*real = nullptr;
  int ProjectSettings::*flag = nullptr;
  Colour ProjectSettings::*colour = nullptr;
  int tube = -1;  // index into tubeColours
};

Field text(std::string ProjectSettings::*m) {
  return {Kind::Text, m};
}
Field real(double ProjectSettings::*m) {
  return {Kind::Real, nullptr, m};
}
Field flag(int ProjectSettings::*m) {
  return {Kind::Switch, nullptr, nullptr, m};
}
Field colour(Colour ProjectSettings::*m) {
  return {Kind::Colour, nullptr, nullptr, nullptr, m};
}
Field tube(int i) {
  return {Kind::Colour, nullptr, nullptr, nullptr, nullptr, i};
}

const std::array<Field, kRecordValueLines>& fields() {
  using S = ProjectSettings;
  static const std::array<Field, kRecordValueLines> f{
      text(&S::title),
      text(&S::columns),
      colour(&S::titleColour),
      tube(0),
      tube(1),
      tube(2),
      real(&S::speed),
      flag(&S::hollow),
      text(&S::colourCount),
      text(&S::font),
      flag(&S::bold),
      text(&S::rows),
      text(&S::spacing),
      flag(&S::italic),
      flag(&S::logosOn),
      flag(&S::imagesOn),
      flag(&S::tubesOn),
      flag(&S::titleOff),
      real(&S::horizontalWidth),
      real(&S::horizontalHeight),
      flag(&S::horizontalLock),
      flag(&S::horizontalTitleEffect),
      flag(&S::showHorizontal),
      flag(&S::showVertical),
      flag(&S::verticalTitleEffect),
      text(&S::fontSize),
      real(&S::horizontalLeft),
      real(&S::verticalHeight),
      real(&S::verticalWidth),
      real(&S::mainWidth),
      real(&S::mainHeight),
      flag(&S::verticalLock),
      flag(&S::verticalTitleEffect),
      flag(&S::manualEdit),
      text(&S::baseChannels),
  };
  return f;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::optional<double> parseNumber(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty()) return std::nullopt;
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatNumber(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<long long>(value));
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

Result<ProjectRecord> readProjectRecord(const std::filesystem::path& path) {
  auto lines = platform::readGbkLines(path, kMaxRecordFileBytes);
  if (!lines) return Result<ProjectRecord>::fail(lines.error());
  ProjectRecord record;
  record.reserved.clear();
  record.hasBoardMarker = false;
  std::size_t i = 0;
  for (; i < lines->size() && i < kRecordValueLines; ++i) record.values[i] = (*lines)[i];
  for (; i < lines->size(); ++i) {
    const auto& line = (*lines)[i];
    if (line && *line == kBoardMarker) {
      record.hasBoardMarker = true;
      ++i;
      break;
    }
    record.reserved.push_back(line.value_or(""));
  }
  for (; i < lines->size(); ++i) {
    if ((*lines)[i]) record.board.push_back(*(*lines)[i]);
  }
  return Result<ProjectRecord>::ok(std::move(record));
}

Status writeProjectRecord(const std::filesystem::path& path, const ProjectRecord& record) {
  std::vector<std::string> lines;
  lines.reserve(kRecordValueLines + record.reserved.size() + 1 + record.board.size());
  for (const auto& v : record.values) lines.push_back(v.value_or(""));
  lines.insert(lines.end(), record.reserved.begin(), record.reserved.end());
  lines.emplace_back(kBoardMarker);
  lines.insert(lines.end(), record.board.begin(), record.board.end());
  return platform::writeGbkLines(path, lines);
}

void applyRecord(const ProjectRecord& record, ProjectSettings& s) {
  for (std::size_t i = 0; i < kRecordValueLines; ++i) {
    const auto& line = record.values[i];
    if (!line) continue;
    const Field& f = fields()[i];
    if (f.kind == Kind::Text) {
      s.*f.text = *line;
      continue;
    }
    const auto number = parseNumber(*line);
    // A value no setting can hold (1e30, -1e300) is read as a line that is not a number.
    if (!number || std::fabs(*number) > kMaxRecordNumber) continue;
    switch (f.kind) {
      case Kind::Real:
        s.*f.real = *number;
        break;
      case Kind::Switch: {
        const long v = patterns::whole(*number);
        if (v == 0 || v == 1) s.*f.flag = static_cast<int>(v);
        break;
      }
      case Kind::Colour: {
        if (*number < -2147483648.0 || *number > 4294967295.0) break;
        const Colour c = patterns::whole(*number);
        if (f.tube >= 0) {
          s.tubeColours[static_cast<std::size_t>(f.tube)] = c;
        } else {
          s.*f.colour = c;
        }
        break;
      }
      case Kind::Text:
        break;
    }
  }
}

void keepOnePreview(ProjectSettings& s) {
  if (s.showHorizontal != 1) s.showVertical = 1;
  if (s.showVertical != 1) s.showHorizontal = 1;
}

ProjectRecord recordOf(const ProjectSettings& s, const std::vector<std::string>& board) {
  ProjectRecord record;
  for (std::size_t i = 0; i < kRecordValueLines; ++i) {
    const Field& f = fields()[i];
    switch (f.kind) {
      case Kind::Text:
        record.values[i] = s.*f.text;
        break;
      case Kind::Real:
        record.values[i] = formatNumber(s.*f.real);
        break;
      case Kind::Switch:
        record.values[i] = std::to_string(s.*f.flag);
        break;
      case Kind::Colour: {
        const Colour c = f.tube >= 0 ? s.tubeColours[static_cast<std::size_t>(f.tube)] : s.*f.colour;
        record.values[i] = std::to_string(c);
        break;
      }
    }
  }
  record.board = board;
  return record;
}

}  // namespace lumafex::design
