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

#ifndef OBSFEED_BENCHMARKS__READING_TAG_HPP_
#define OBSFEED_BENCHMARKS__READING_TAG_HPP_

#include <cstdint>

namespace obsfeed_benchmarks
{

/// Tells which reading a scan answers, through the only thing a scan carries back: its range.
///
/// The driver sends reading 1 + (sequence mod 60000) mm to every sensor; with the node's
/// horizontal range_max raised to `range_max_metres`, every such reading is inside the range,
/// so the scan's range is the reading times cos(safe angle) / 1000, and the reading can be read
/// back from it exactly (neighbouring readings lie 0.5 mm apart, a float resolves microns).
class ReadingTag
{
public:
  /// What the benchmark sets ultrasonic.hor_range_max to.
  static constexpr double range_max_metres = 65.0;
  /// The node's default ultrasonic.hor_safe_angle, which the benchmark leaves alone.
  static constexpr double safe_angle = 1.047;
  /// Sequences per run before tags repeat.
  static constexpr uint64_t distinct_tags = 60000;

  static uint16_t reading_for(uint64_t sequence);
  /// The range a horizontal sensor publishes for `reading` mm, computed as the node does.
  static float range_for(uint16_t reading);
  /// The reading that `range` answers; 0 for a range no tagged reading gives.
  static uint16_t reading_of(float range);
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__READING_TAG_HPP_
