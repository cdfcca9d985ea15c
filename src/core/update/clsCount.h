#pragma once
// The byte counter of one download: how many bytes came, and how fast. Ticks are milliseconds of a
// clock given to the counter (the steady clock in the program, a hand-driven one in tests).

#include <cstdint>
#include <functional>

namespace lumafex::update {

class clsCount {
 public:
  using Clock = std::function<std::int64_t()>;

  // The steady clock in milliseconds.
  static std::int64_t steadyMilliseconds();

  explicit clsCount(Clock clock = steadyMilliseconds);

  std::int64_t CountStart() const { return countStart_; }
  std::int64_t CountEnd() const { return countEnd_; }
  // Bytes a second since Clear: (CountEnd − CountStart) over the seconds since Clear, rounded; 0
  // while no time has passed.
  std::int64_t TotalSpeed() const;
  // Milliseconds from Clear to the last Count.
  std::int64_t TotalTickCount() const { return lastCountTick_ - clearTick_; }
  // All counts and speeds 0, every tick now.
  void Clear();
  // Starts counting from v: CountStart and CountEnd both v.
  void CountStart(std::int64_t v);
  // n more bytes, now.
  void Count(std::int64_t n);
  // Bytes a second since the last speed calculation, rounded; the last speed when nothing was
  // counted since then.
  std::int64_t Speed();
  // Whether the last Count came more than a second after the last speed calculation.
  bool NewSpeed() const { return lastCountTick_ - speedTick_ > 1000; }

 private:
  Clock clock_;
  std::int64_t countStart_ = 0;
  std::int64_t countEnd_ = 0;
  std::int64_t speedCount_ = 0;  // CountEnd at the last speed calculation
  std::int64_t lastSpeed_ = 0;
  std::int64_t clearTick_ = 0;
  std::int64_t lastCountTick_ = 0;
  std::int64_t speedTick_ = 0;
};

}  // namespace lumafex::update
