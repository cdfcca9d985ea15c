#pragma once
// Where bytes go as they are made: a file being written, a string in memory, a checksum. Writers
// that produce large outputs (EPROM images, their HEX and S-record copies, a compile's working
// files) hand their bytes over piece by piece instead of building the whole output first.

#include <string>
#include <string_view>

namespace lumafex::platform {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False once the bytes could not be taken (the sink keeps the reason).
  virtual bool write(std::string_view bytes) = 0;
};

// Collects the bytes in a string.
class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool write(std::string_view bytes) override {
    out_.append(bytes);
    return true;
  }

 private:
  std::string& out_;
};

}  // namespace lumafex::platform
