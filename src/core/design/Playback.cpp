#include "core/design/Playback.h"

namespace lumafex::design {

bool StepCursor::open(const std::filesystem::path& path) {
  close();
  in_.open(path, std::ios::binary);
  position_ = 0;
  return in_.is_open();
}

void StepCursor::close() {
  if (in_.is_open()) in_.close();
  in_.clear();
  position_ = 0;
}

bool StepCursor::atEnd() {
  return !in_.is_open() || in_.peek() == std::ifstream::traits_type::eof();
}

std::optional<std::string> StepCursor::next() {
  if (atEnd()) return std::nullopt;
  std::string line;
  std::getline(in_, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  ++position_;
  return line;
}

void StepCursor::rewind() {
  if (!in_.is_open()) return;
  in_.clear();
  in_.seekg(0);
  position_ = 0;
}

long stepCount(std::uintmax_t fileBytes, long width) {
  if (width <= 0) return 0;
  return static_cast<long>(fileBytes / static_cast<std::uintmax_t>(width + 2));
}

StepParts splitStep(std::string_view line, int channels, bool withImages) {
  StepParts parts;
  const std::size_t n = channels > 0 ? static_cast<std::size_t>(channels) : 0;
  parts.tubes = std::string(line.substr(0, n));
  if (withImages && line.size() > n) parts.images = std::string(line.substr(n));
  return parts;
}

BoardRun::Advance BoardRun::advance(int selected, int count) {
  if (!active_) return Advance::StopTimer;
  if (!entryFinished_) return Advance::None;
  entryFinished_ = false;
  if (selected >= 0 && selected < count - 1) return Advance::Next;
  return Advance::Restart;
}

int CatchUpScheduler::due(long long nowMs, long long intervalMs) {
  if (intervalMs < 1) intervalMs = 1;
  if (nowMs - scheduled_ > 10 * intervalMs) scheduled_ = nowMs - intervalMs;  // after a pause
  int steps = 0;
  while (scheduled_ + intervalMs <= nowMs && steps < kMaxStepsPerTick) {
    scheduled_ += intervalMs;
    ++steps;
  }
  return steps;
}

}  // namespace lumafex::design
