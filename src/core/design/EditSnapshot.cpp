#include "core/design/EditSnapshot.h"

#include <tuple>
#include <type_traits>

namespace lumafex::design {

namespace {

// Every settings field, in record order.
constexpr auto kSettingsFields = std::make_tuple(
    &ProjectSettings::title, &ProjectSettings::columns, &ProjectSettings::titleColour,
    &ProjectSettings::tubeColours, &ProjectSettings::speed, &ProjectSettings::hollow,
    &ProjectSettings::colourCount, &ProjectSettings::font, &ProjectSettings::bold, &ProjectSettings::rows,
    &ProjectSettings::spacing, &ProjectSettings::italic, &ProjectSettings::logosOn,
    &ProjectSettings::imagesOn, &ProjectSettings::tubesOn, &ProjectSettings::titleOff,
    &ProjectSettings::horizontalWidth, &ProjectSettings::horizontalHeight, &ProjectSettings::horizontalLock,
    &ProjectSettings::horizontalTitleEffect, &ProjectSettings::showHorizontal, &ProjectSettings::showVertical,
    &ProjectSettings::verticalTitleEffect, &ProjectSettings::fontSize, &ProjectSettings::horizontalLeft,
    &ProjectSettings::verticalHeight, &ProjectSettings::verticalWidth, &ProjectSettings::mainWidth,
    &ProjectSettings::mainHeight, &ProjectSettings::verticalLock, &ProjectSettings::manualEdit,
    &ProjectSettings::baseChannels);

static_assert(std::tuple_size_v<decltype(kSettingsFields)> <= 64);

// Calls f(bit, field) for every settings field.
template <class F>
void forEachField(F&& f) {
  std::apply(
      [&](auto... fields) {
        int bit = 0;
        (f(bit++, fields), ...);
      },
      kSettingsFields);
}

bool sameBlocks(const Placeholders& a, const Placeholders& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].left != b[i].left || a[i].top != b[i].top || a[i].width != b[i].width ||
        a[i].height != b[i].height)
      return false;
  }
  return true;
}

bool samePlacements(const Placements& a, const Placements& b) {
  return sameBlocks(a.horizontal, b.horizontal) && sameBlocks(a.vertical, b.vertical);
}

void restoreBlocks(Placeholders& blocks, const Placeholders& from, const Placeholders& to) {
  for (std::size_t i = 0; i < blocks.size() && i < from.size() && i < to.size(); ++i) {
    if (from[i].left != to[i].left) blocks[i].left = to[i].left;
    if (from[i].top != to[i].top) blocks[i].top = to[i].top;
  }
}

void restorePlacements(Placements& placements, const Placements& from, const Placements& to) {
  restoreBlocks(placements.horizontal, from.horizontal, to.horizontal);
  restoreBlocks(placements.vertical, from.vertical, to.vertical);
}

}  // namespace

EditSnapshot snapshotOf(const Project& project) {
  return {project.settings, project.board, project.pictures.logos, project.pictures.images, project.channels};
}

std::uint64_t changedSettings(const ProjectSettings& a, const ProjectSettings& b) {
  std::uint64_t mask = 0;
  forEachField([&](int bit, auto field) {
    if (!(a.*field == b.*field)) mask |= std::uint64_t{1} << bit;
  });
  return mask;
}

namespace {

template <class T>
std::uint64_t bitOf(T ProjectSettings::*wanted) {
  std::uint64_t result = 0;
  forEachField([&](int bit, auto field) {
    if constexpr (std::is_same_v<decltype(field), T ProjectSettings::*>) {
      if (field == wanted) result = std::uint64_t{1} << bit;
    }
  });
  return result;
}

}  // namespace

std::uint64_t settingsBit(std::string ProjectSettings::*field) {
  return bitOf(field);
}
std::uint64_t settingsBit(double ProjectSettings::*field) {
  return bitOf(field);
}

bool sameState(const EditSnapshot& a, const EditSnapshot& b) {
  return changedSettings(a.settings, b.settings) == 0 && a.board == b.board && a.channels == b.channels &&
         samePlacements(a.logos, b.logos) && samePlacements(a.images, b.images);
}

void restoreChanges(Project& project, const EditSnapshot& from, const EditSnapshot& to) {
  forEachField([&](int, auto field) {
    if (!(from.settings.*field == to.settings.*field)) project.settings.*field = to.settings.*field;
  });
  if (from.board != to.board) project.board = to.board;
  if (from.channels != to.channels) project.channels = to.channels;
  restorePlacements(project.pictures.logos, from.logos, to.logos);
  restorePlacements(project.pictures.images, from.images, to.images);
}

}  // namespace lumafex::design
