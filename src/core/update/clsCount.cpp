#include "core/update/clsCount.h"

#include <chrono>
#include <cmath>

namespace lumafex::update {

namespace {

// Bytes over milliseconds as bytes a second, halves to the even neighbour.
std::int64_t perSecond(std::int64_t bytes, std::int64_t milliseconds) {
  return static_cast<std::int64_t>(
      std::nearbyint(static_cast<double>(bytes) / (static_cast<double>(milliseconds) / 1000.0)));
}

}  // namespace

std::int64_t clsCount::steadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

clsCount::clsCount(Clock clock) : clock_(std::move(clock)) {
  Clear();
}

void clsCount::Clear() {
  countStart_ = countEnd_ = speedCount_ = lastSpeed_ = 0;
  clearTick_ = lastCountTick_ = speedTick_ = clock_();
}

void clsCount::CountStart(std::int64_t v) {
  countStart_ = v;
  countEnd_ = v;
}

void clsCount::Count(std::int64_t n) {
  countEnd_ += n;
  lastCountTick_ = clock_();
}

std::int64_t clsCount::TotalSpeed() const {
  const std::int64_t elapsed = clock_() - clearTick_;
  if (elapsed <= 0) return 0;
  return perSecond(countEnd_ - countStart_, elapsed);
}

std::int64_t clsCount::Speed() {
  if (lastCountTick_ == speedTick_) return lastSpeed_;
  lastSpeed_ = perSecond(countEnd_ - speedCount_, lastCountTick_ - speedTick_);
  speedTick_ = lastCountTick_;
  speedCount_ = countEnd_;
  return lastSpeed_;
}

}  // namespace lumafex::update
