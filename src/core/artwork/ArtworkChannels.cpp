#include "core/artwork/ArtworkChannels.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <set>
#include <unordered_set>

namespace lumafex::artwork {

std::optional<int> ownChannel(const Element& element) {
  if (auto c = channelOfName(element.id)) return c;
  return channelOfName(element.label);
}

Resolution resolveChannels(const std::vector<Element>& elements, const ChannelMap& map) {
  Resolution r;
  r.channels.resize(elements.size());
  std::unordered_set<std::string_view> ids;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Element& e = elements[i];
    if (!e.id.empty()) ids.insert(e.id);
    if (const ElementEntry* entry = e.id.empty() ? nullptr : map.entryFor(e.id)) {
      r.channels[i] = entry->channel;
    } else if (auto own = ownChannel(e)) {
      r.channels[i] = own;
    } else if (e.parent >= 0 && static_cast<std::size_t>(e.parent) < i) {
      // Groups come before what they hold, so the group's channel is known.
      r.channels[i] = r.channels[static_cast<std::size_t>(e.parent)];
    }
  }
  std::set<std::string_view> reported;
  for (const ElementEntry& entry : map.elements) {
    if (!ids.count(entry.id) && reported.insert(entry.id).second) r.unknownIds.push_back(entry.id);
  }
  return r;
}

std::vector<int> missingChannels(const std::vector<int>& shown, int channelCount) {
  std::vector<bool> seen(static_cast<std::size_t>(std::max(0, channelCount)) + 1);
  for (int c : shown) {
    if (c >= 1 && c <= channelCount) seen[static_cast<std::size_t>(c)] = true;
  }
  std::vector<int> missing;
  for (int c = 1; c <= channelCount; ++c) {
    if (!seen[static_cast<std::size_t>(c)]) missing.push_back(c);
  }
  return missing;
}

std::string channelListText(const std::vector<int>& channels) {
  std::vector<int> sorted = channels;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::string text;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) ++j;
    if (!text.empty()) text += "、";
    text += channelName(sorted[i]);
    if (j > i) text += "-" + channelName(sorted[j]);
    i = j + 1;
  }
  return text;
}

double distanceAlong(const std::vector<Point>& line, Point p) {
  double best = std::numeric_limits<double>::infinity();
  double bestAlong = 0;
  double walked = 0;
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const Point a = line[i];
    const Point b = line[i + 1];
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double qx = a.x + t * dx - p.x;
    const double qy = a.y + t * dy - p.y;
    const double d2 = qx * qx + qy * qy;
    const double length = std::sqrt(length2);
    if (d2 < best) {
      best = d2;
      bestAlong = walked + t * length;
    }
    walked += length;
  }
  return bestAlong;
}

std::vector<std::size_t> numberingOrder(const std::vector<Box>& boxes, NumberingOrder order,
                                        const std::vector<Point>& line) {
  std::vector<std::size_t> indices(boxes.size());
  std::iota(indices.begin(), indices.end(), std::size_t{0});
  if (order == NumberingOrder::Clicks || (order == NumberingOrder::AlongLine && line.size() < 2)) {
    return indices;
  }
  std::vector<double> first(boxes.size());
  std::vector<double> second(boxes.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const Point c = boxes[i].centre();
    switch (order) {
      case NumberingOrder::LeftToRight:
        first[i] = c.x;
        second[i] = c.y;
        break;
      case NumberingOrder::TopToBottom:
        first[i] = c.y;
        second[i] = c.x;
        break;
      default:
        first[i] = distanceAlong(line, c);
        second[i] = 0;
        break;
    }
  }
  std::stable_sort(indices.begin(), indices.end(), [&](std::size_t a, std::size_t b) {
    if (first[a] != first[b]) return first[a] < first[b];
    return second[a] < second[b];
  });
  return indices;
}

}  // namespace lumafex::artwork
