// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0.

#ifndef OBSFEED_DEMO__SCENE_PAINTER_HPP_
#define OBSFEED_DEMO__SCENE_PAINTER_HPP_

#include <string>

#include "obsfeed_demo/mark_scene.hpp"

namespace obsfeed_demo
{

/// Draws a scene seen from above, the robot's forward direction up, and writes it as a PNG
/// to @p path: the marked cells, the footprint, each sensor's fan, the returns, a scale and a
/// legend. Throws std::runtime_error if the file cannot be written.
void paintScenePng(const MarkScene & scene, const std::string & path);

}  // namespace obsfeed_demo

#endif  // OBSFEED_DEMO__SCENE_PAINTER_HPP_
