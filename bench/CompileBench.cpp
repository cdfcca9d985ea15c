// The compile road for the largest board: every entry of the two-colour list at 300 channels,
// assembled into the total program and compiled to both image layouts, through the working files
// as the program does it. Beside it two floors: a plain read-and-write copy of a file of the size
// of the total program, and the floor a compile cannot beat: the same files (the same count and
// sizes: both working files, then each layout's images) written into a fresh folder and published
// with the same durability calls by the simplest loop.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "BenchTiming.h"
#include "core/compiler/EpromImages.h"
#include "core/compiler/OutputBuffer.h"
#include "core/compiler/TotalProgram.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/TextFile.h"

namespace {

namespace fs = std::filesystem;
using namespace lumafex;

fs::path workDirectory() {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("lumafex-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

compiler::AssemblyInput wholeTwoColourBoard() {
  compiler::AssemblyInput in;
  for (const auto& entry : patterns::catalogue(2)) in.board.emplace_back(entry.name);
  in.colours = 2;
  in.channels = 300;
  return in;
}

// What one compile wrote: the working files' sizes and the images of both layouts.
struct Written {
  std::size_t program = 0;
  std::size_t buffer = 0;
  long frames = 0;
  int bytesPerFrame = 0;
};

// One compile through the files.
Written compileOnce() {
  const fs::path dir = workDirectory() / "compile";
  fs::create_directories(dir);
  Written w;
  const auto total = compiler::assembleTotalProgram(wholeTwoColourBoard());
  (void)platform::writeBytesSafely(dir / platform::pathFromUtf8(compiler::kTotalProgramFile), total.bytes,
                                   false);
  auto program = std::move(*platform::readBytes(dir / platform::pathFromUtf8(compiler::kTotalProgramFile)));
  compiler::BufferInput bin;
  bin.totalProgram = program;
  bin.title = "欢迎光临";
  const auto buffer = compiler::buildOutputBuffer(bin);
  (void)platform::writeBytesSafely(dir / platform::pathFromUtf8(compiler::kOutputBufferFile), buffer.bytes,
                                   false);
  auto bytes = std::move(*platform::readBytes(dir / platform::pathFromUtf8(compiler::kOutputBufferFile)));
  for (auto layout : {compiler::ChipLayout::Single, compiler::ChipLayout::PerEightChannels}) {
    const auto r =
        compiler::writeEpromImages({bytes, compiler::labelValue(buffer.channelsLabel), dir, layout, nullptr});
    benchmark::DoNotOptimize(r.frames);
    w.frames = r.frames;
    w.bytesPerFrame = r.bytes;
  }
  w.program = total.bytes.size();
  w.buffer = buffer.bytes.size();
  return w;
}

// A plain copy: read the file, write it anew.
void copyOnce(const fs::path& from, const fs::path& to) {
  auto bytes = std::move(*platform::readBytes(from));
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void syncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  ::fsync(fd);
  ::close(fd);
}

// The same files as a compile, published as simply as that can be done durably: each working file
// written beside its target and renamed; each layout's images written into a fresh folder (their
// write-out started as each is written, all waited for, one fsync), the files kept from the old
// folder linked, the folders exchanged and the old one removed.
void floorOnce(const Written& w, const std::string& bytes) {
  const fs::path dir = workDirectory() / "floor";
  fs::create_directories(dir);
  for (const auto& [name, size] : {std::pair{"program", w.program}, std::pair{"buffer", w.buffer}}) {
    const fs::path temp = dir / (std::string(name) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    (void)!::write(fd, bytes.data(), size);
    ::close(fd);
    ::rename(temp.c_str(), (dir / name).c_str());
  }
  const fs::path bin = dir / "bin";
  fs::create_directories(bin);
  const auto frames = static_cast<std::size_t>(w.frames);
  const auto b = static_cast<std::size_t>(w.bytesPerFrame);
  for (const bool single : {true, false}) {
    const fs::path stage = dir / "stage";
    fs::create_directory(stage);
    std::vector<int> fds;
    const std::size_t count = single ? 2 : 2 * b;
    const std::size_t size = single ? frames * b : frames;
    for (std::size_t i = 0; i < count; ++i) {
      const int fd = ::open((stage / std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
      (void)!::write(fd, bytes.data(), size);
      ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
      fds.push_back(fd);
    }
    for (const int fd : fds) {
      ::sync_file_range(fd, 0, 0,
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    ::fsync(fds.back());
    for (const int fd : fds) ::close(fd);
    if (!single) {
      // The per-8-channel compile keeps the single-chip images.
      for (const char* kept : {"single0", "single1"}) ::link((bin / kept).c_str(), (stage / kept).c_str());
    } else {
      // The single-chip images under names the other layout keeps.
      ::rename((stage / "0").c_str(), (stage / "single0").c_str());
      ::rename((stage / "1").c_str(), (stage / "single1").c_str());
    }
    syncDirectory(stage);
    ::renameat2(AT_FDCWD, stage.c_str(), AT_FDCWD, bin.c_str(), RENAME_EXCHANGE);
    syncDirectory(dir);
    fs::remove_all(stage);
  }
}

void BM_CompileWholeTwoColourList(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) bytes += compileOnce().program;
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_CompileWholeTwoColourList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  using lumafex::bench::bestSeconds;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const Written written = compileOnce();
  const fs::path source = workDirectory() / "copy-source.txt";
  (void)platform::writeBytesSafely(source, std::string(written.program, 'X'));
  const std::string bytes(std::max(written.buffer, written.program), 'X');
  // Once before timing, so that every timed floor, like every timed compile, replaces the set of the
  // run before it (removing the old files is a large part of the work).
  floorOnce(written, bytes);
  // Taken in turns, so that a busy moment of the machine falls on both alike.
  double compileSeconds = 1e30;
  double floorSeconds = 1e30;
  for (int round = 0; round < 7; ++round) {
    compileSeconds = std::min(compileSeconds, bestSeconds(1, [] { compileOnce(); }));
    floorSeconds = std::min(floorSeconds, bestSeconds(1, [&] { floorOnce(written, bytes); }));
  }
  const double copySeconds = bestSeconds(5, [&] { copyOnce(source, workDirectory() / "copy-target.txt"); });
  std::error_code ec;
  fs::remove_all(workDirectory(), ec);
  std::printf("total program bytes: %zu; copy seconds: %.4f\n", written.program, copySeconds);
  std::printf("compile seconds: %.4f; ratio to copy: %.2f\n", compileSeconds, compileSeconds / copySeconds);
  std::printf("durable floor seconds: %.4f (%d image files, %zu + %zu working bytes)\n", floorSeconds,
              2 + 2 * written.bytesPerFrame, written.program, written.buffer);
  std::printf("ratio to durable floor: %.2f\n", compileSeconds / floorSeconds);
  return 0;
}
