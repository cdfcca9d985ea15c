#include "desktop/design/SequenceHandOff.h"

#include "core/compiler/ProjectCompile.h"
#include "core/compiler/TotalProgram.h"
#include "core/design/Rules.h"
#include "core/patterns/Catalogue.h"
#include "core/platform/ScratchFile.h"
#include "core/platform/TextCodec.h"
#include "core/platform/TextFile.h"
#include "desktop/app/Application.h"
#include "desktop/design/BoardPanel.h"
#include "desktop/design/ProjectDocument.h"
#include "desktop/design/RunPlayer.h"
#include "desktop/platform/QtDialogs.h"
#include "desktop/postedit/PostEditWindow.h"

namespace lumafex::design {

namespace {

using platform::qs;
using platform::us;

std::filesystem::path toPath(const QString& s) {
  return platform::pathFromUtf8(us(s));
}

}  // namespace

void SequenceHandOff::openSequence(const SequenceOpening& opening) {
  app_.postEditWindow().openSequence(opening);
}

bool SequenceHandOff::assemble() {
  if (board_.boardCount() == 0) {
    app_.dialogs().message("请先选择花式到编程板。");
    return false;
  }
  const auto assembly = compiler::assemblyInputOf(document_.compileInputs());
  if (!assembly) {
    app_.dialogs().message(assembly.error());
    return false;
  }
  player_.stopAll();
  player_.closeStepReader();
  app_.stopPostEditRun();
  document_.edit(ProjectDocument::ChannelsPart, [&](Project& p) { setChannels(p, assembly->channels); });

  compiler::AssemblyInput input = *assembly;
  if (auto before = platform::readBytes(toPath(app_.scratchFile()))) input.scratchBefore = *before;
  const auto assembled = compiler::assembleTotalProgram(input);
  if (assembled.tooLarge) {
    app_.dialogs().message(compiler::kProgramTooLargeMessage);
    return false;
  }
  // The post-processing window, the compile and the export work on this file: when it cannot be
  // written, nothing goes on (an older file would be taken for this board).
  if (const auto written = platform::writeBytesSafely(
          toPath(app_.appFile(QString::fromUtf8(compiler::kTotalProgramFile))), assembled.bytes, false);
      !written) {
    app_.dialogs().message(written.error());
    return false;
  }
  // The scratch step file holds the last effect generated, as after a click on it.
  if (const auto scratch = platform::overwriteFile(toPath(app_.scratchFile()), assembled.scratchAfter);
      !scratch) {
    app_.dialogs().message(scratch.error());
  }
  const int last = board_.boardCount() - 1;
  board_.selectBoardEntry(last);
  board_.showCatalogueEntry(static_cast<int>(patterns::leadingNumber(us(board_.boardText(last)))) - 1);

  document_.edit(ProjectDocument::Settings, [&](Project& p) {
    setSetting(p, &ProjectSettings::baseChannels, std::to_string(assembled.width));
  });
  const auto& s = document_.settings();
  SequenceOpening opening;
  opening.text = QString::fromLatin1(assembled.bytes.data(), static_cast<qsizetype>(assembled.bytes.size()));
  opening.steps = assembled.steps;
  const int width =
      columnsOf(s) + (s.imagesOn == 1 && s.tubesOn == 1 ? document_.project().pictures.imageCount : 0);
  opening.points = lineTextPoints(width);
  opening.startRun = true;
  openSequence(opening);
  return true;
}

void SequenceHandOff::extract() {
  player_.stopRun(true);
  player_.closeStepReader();
  QString text;
  if (auto bytes = platform::readBytes(toPath(app_.scratchFile()))) {
    auto decoded = platform::gbkToUtf8(*bytes);
    text = decoded ? qs(*decoded) : QString::fromLatin1(bytes->data(), static_cast<qsizetype>(bytes->size()));
  }
  SequenceOpening opening;
  opening.text = text;
  openSequence(opening);
}

}  // namespace lumafex::design
