// A 1 MB chip (27C080) read back into a project: frames out of the image, the padding found, the
// manual sequence text made and, for the whole road, the file read and the project written.
// Three images: a 64-channel sequence repeated over the chip ("repeat" padding), the same followed
// by dark bytes ("dark"), and one that fills the chip with 8 channels, one frame a byte (the most
// frames, and the longest manual file, a chip can give).

#include <benchmark/benchmark.h>

#include "BenchTiming.h"

#include <cstdio>
#include <filesystem>
#include <random>

#include "core/app/ImportedProject.h"
#include "core/compiler/ChipImage.h"
#include "core/compiler/ChipImport.h"
#include "core/compiler/EpromImages.h"
#include "core/patterns/Catalogue.h"
#include "core/patterns/StepText.h"
#include "core/platform/TextFile.h"

namespace {

namespace fs = std::filesystem;
using namespace lumafex;

constexpr std::size_t kChipBytes = std::size_t{1} << 20;

// The positive single-chip image of a board of real effects at `channels` channels.
std::string boardImage(int channels) {
  std::string lines;
  for (const char* generator : {"S1", "S10", "S14", "S24", "S11", "S28"}) {
    patterns::StepWriter out;
    (void)patterns::runGenerator(*patterns::findGenerator(generator), channels, 1, out);
    lines += out.bytes();
  }
  const int b = compiler::bytesPerFrame(channels);
  std::string image;
  std::string frame;
  platform::forEachLine(lines, [&](std::string_view line) {
    (void)compiler::frameBytes(line, b, frame);
    image += frame;
  });
  return image;
}

std::string repeatChip() {
  return compiler::padImage(boardImage(64), kChipBytes, compiler::Padding::Repeat, false);
}
std::string darkChip() {
  return compiler::padImage(boardImage(64), kChipBytes, compiler::Padding::Dark, false);
}
std::string fullChip() {
  std::mt19937 rng(27080);
  std::string image(kChipBytes, '\0');
  for (char& c : image) c = static_cast<char>(rng() & 0xFF);
  return image;
}

// The frames and the manual text of one image, in memory; returns the text's size.
std::size_t importInMemory(const std::string& image, int channels) {
  compiler::ImportRequest request;
  request.chips.push_back({"chip.bin", image});
  request.channels = channels;
  auto sequence = compiler::importChips(std::move(request));
  if (!sequence) return 0;
  return compiler::sequenceText(*sequence).size();
}

fs::path workDirectory() {
  static const fs::path dir = [] {
    fs::path d =
        fs::temp_directory_path() / ("lumafex-bench-import-" + std::to_string(std::random_device{}()));
    fs::create_directories(d);
    return d;
  }();
  return dir;
}

// What lumafex-cli import does after reading its arguments: the file read, its frames found, the
// project written (the project removed again afterwards, outside the timing's concern).
void importThroughFiles(const fs::path& chipFile, int channels, int round) {
  auto chip = compiler::readChipFile(chipFile);
  compiler::ImportRequest request;
  request.chips.push_back(std::move(*chip));
  request.channels = channels;
  auto sequence = compiler::importChips(std::move(request));
  const fs::path project = workDirectory() / ("p" + std::to_string(round) + ".hs");
  (void)app::createImportedProject(project, *sequence);
}

void BM_ImportRepeatPadded(benchmark::State& state) {
  const std::string image = repeatChip();
  for (auto _ : state) benchmark::DoNotOptimize(importInMemory(image, 64));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kChipBytes));
}
BENCHMARK(BM_ImportRepeatPadded)->Unit(benchmark::kMillisecond);

void BM_ImportDarkPadded(benchmark::State& state) {
  const std::string image = darkChip();
  for (auto _ : state) benchmark::DoNotOptimize(importInMemory(image, 64));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kChipBytes));
}
BENCHMARK(BM_ImportDarkPadded)->Unit(benchmark::kMillisecond);

void BM_ImportFullChipOneBytePerFrame(benchmark::State& state) {
  const std::string image = fullChip();
  for (auto _ : state) benchmark::DoNotOptimize(importInMemory(image, 8));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(kChipBytes));
}
BENCHMARK(BM_ImportFullChipOneBytePerFrame)->Unit(benchmark::kMillisecond);

void BM_LikelyWidths(benchmark::State& state) {
  const std::string image = darkChip();
  for (auto _ : state) benchmark::DoNotOptimize(compiler::likelyWidths(image, false).size());
}
BENCHMARK(BM_LikelyWidths)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  using lumafex::bench::bestSeconds;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  const fs::path dark = workDirectory() / "dark.bin";
  const fs::path full = workDirectory() / "full.bin";
  (void)platform::writeBytesSafely(dark, darkChip(), false);
  (void)platform::writeBytesSafely(full, fullChip(), false);
  int round = 0;
  const double darkSeconds = bestSeconds(5, [&] { importThroughFiles(dark, 64, round++); });
  const double fullSeconds = bestSeconds(5, [&] { importThroughFiles(full, 8, round++); });
  std::error_code ec;
  fs::remove_all(workDirectory(), ec);
  std::printf(
      "import of a 1 MB chip (27C080) into a new project: %.1f ms padded (64 channels), %.1f ms full "
      "(8 channels, 1048576 frames)\n",
      darkSeconds * 1000, fullSeconds * 1000);
  return 0;
}
