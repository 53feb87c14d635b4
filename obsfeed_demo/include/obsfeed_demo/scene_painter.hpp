// Copyright 2026 obsfeed developers
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.

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
