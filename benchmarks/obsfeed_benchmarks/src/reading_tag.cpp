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

#include "obsfeed_benchmarks/reading_tag.hpp"

#include <cmath>

namespace obsfeed_benchmarks
{

uint16_t ReadingTag::reading_for(uint64_t sequence)
{
  return static_cast<uint16_t>(1 + sequence % distinct_tags);
}

float ReadingTag::range_for(uint16_t reading)
{
  return static_cast<float>((std::cos(safe_angle) * reading) / 1000.0);
}

uint16_t ReadingTag::reading_of(float range)
{
  const double reading = std::round(range * 1000.0 / std::cos(safe_angle));
  if (!(reading >= 1.0 && reading <= static_cast<double>(distinct_tags))) {
    return 0;
  }
  return static_cast<uint16_t>(reading);
}

}  // namespace obsfeed_benchmarks
