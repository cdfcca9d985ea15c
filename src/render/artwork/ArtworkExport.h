#pragma once
// The artwork as a moving picture: the frames the chip drives (the steps, the image channels and
// the title state exactly as the sign's animation export plays them), drawn on the artwork, as a
// PNG of one step, an animated GIF or an H.264 MP4 video at a constant frame rate.

#include <QSize>
#include <QString>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "render/AnimationExport.h"
#include "render/artwork/ArtworkScene.h"

namespace lumafex::render {

inline constexpr int kDefaultVideoFps = 25;

struct ArtworkAnimation {
  Animation animation;
  std::shared_ptr<const ArtworkScene> scene;
};

// The animation of a project with the artwork of its directory. The title follows the title
// effect whenever a compile merges it into the chip's frames.
Result<ArtworkAnimation> artworkAnimationOf(const AnimationSource& source);

// The channels a step lights (lit[c - 1] for channel c): the characters of the step line up to the
// line's channels, then the title channels of `titleState` ("□" dark; empty: every character lit).
std::vector<bool> chipChannelsOf(const ChannelLayout& layout, std::string_view line,
                                 const QString& titleState);
std::vector<bool> chipChannelsOf(const ChannelLayout& layout, const SignStep& step);

// The size of a frame: the artwork's size times `scale` (at least a pixel each way).
QSize artworkFrameSize(const ArtworkScene& scene, double scale);
// The scale checked against the largest frame drawn.
Status checkArtworkScale(const ArtworkScene& scene, double scale);

Status exportArtworkPng(const ArtworkAnimation& animation, long step, double scale,
                        const std::filesystem::path& file);
ExportResult exportArtworkGif(const ArtworkAnimation& animation, const ExportOptions& options,
                              const std::filesystem::path& file, const Progress& progress = {});
// A video of constant `fps`: frame f shows the step due at f / fps seconds, so every step is held
// for its duration at the project's speed and the video lasts as long as the steps.
ExportResult exportArtworkMp4(const ArtworkAnimation& animation, const ExportOptions& options, int fps,
                              const std::filesystem::path& file, const Progress& progress = {});
// The frame count of such a video: the steps' duration in frames, rounded, at least one.
long videoFrameCount(long steps, int msPerStep, int fps);

}  // namespace lumafex::render
