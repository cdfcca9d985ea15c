// The compile road for the largest board: every entry of the two-colour list at 300 channels,
// assembled into the total program and compiled to both image layouts, through the working files
// as the program does it; beside a plain read-and-write copy of a file of the same size.

#include <benchmark/benchmark.h>

#include "BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

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

// One compile through the files; returns the size of the total program.
std::size_t compileOnce() {
  const fs::path dir = workDirectory();
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
  }
  return total.bytes.size();
}

// A plain copy: read the file, write it anew.
void copyOnce(const fs::path& from, const fs::path& to) {
  auto bytes = std::move(*platform::readBytes(from));
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void BM_CompileWholeTwoColourList(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) bytes += compileOnce();
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_CompileWholeTwoColourList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  using lumafex::bench::bestSeconds;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const std::size_t size = compileOnce();
  const fs::path source = workDirectory() / "copy-source.txt";
  (void)platform::writeBytesSafely(source, std::string(size, 'X'));
  const double compileSeconds = bestSeconds(5, [] { compileOnce(); });
  const double copySeconds = bestSeconds(5, [&] { copyOnce(source, workDirectory() / "copy-target.txt"); });
  std::error_code ec;
  fs::remove_all(workDirectory(), ec);
  std::printf("total program bytes: %zu; copy seconds: %.4f\n", size, copySeconds);
  std::printf("compile seconds: %.4f; ratio to copy: %.2f\n", compileSeconds, compileSeconds / copySeconds);
  return 0;
}
