#pragma once
// Which tube of the artwork lights with which channel, and the orders in which a maker numbers
// them. Pure rules over plain element lists: the drawing layer reads the SVG and hands its elements
// here.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/artwork/ChannelMap.h"

namespace lumafex::artwork {

// An element of the artwork's SVG, in document order (a group before what it holds).
struct Element {
  std::string id;     // empty when it has none
  std::string label;  // inkscape:label, empty when it has none
  int parent = -1;    // the index of the group that holds it, -1 at the top
  bool group = false;
};

struct Resolution {
  // The channel of every element (nullopt: unmapped): the map's entry for the element, else its own
  // id or label ("路N" / "chN"), else what its group has.
  std::vector<std::optional<int>> channels;
  // Ids the map names that no element has, in the map's order, each once.
  std::vector<std::string> unknownIds;
};

Resolution resolveChannels(const std::vector<Element>& elements, const ChannelMap& map);

// The channel an element's own id or label gives (the id first).
std::optional<int> ownChannel(const Element& element);

// The channels 1 … channelCount that nothing shows: no channel in `shown`.
std::vector<int> missingChannels(const std::vector<int>& shown, int channelCount);
// "路3、路5-路9、路12" for a list of channels (ascending runs joined).
std::string channelListText(const std::vector<int>& channels);

// Numbering several tubes in one go.
struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  Point centre() const { return {x + width / 2, y + height / 2}; }
};

enum class NumberingOrder {
  Clicks,       // in the order given (the order the user clicked)
  LeftToRight,  // by the centre's x, then y
  TopToBottom,  // by the centre's y, then x
  AlongLine,    // by where the centre lies along a drawn line (the nearest point of the line)
};

// The indices of `boxes` in the order asked; `line` is the drawn line for AlongLine (two points or
// more; with fewer the order is that of the clicks).
std::vector<std::size_t> numberingOrder(const std::vector<Box>& boxes, NumberingOrder order,
                                        const std::vector<Point>& line = {});

// How far along `line` the point nearest to `p` lies (arc length from its first point).
double distanceAlong(const std::vector<Point>& line, Point p);

}  // namespace lumafex::artwork
