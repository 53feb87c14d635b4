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

#include "obsfeed_benchmarks/result_line.hpp"

#include <cmath>
#include <cstdio>

namespace obsfeed_benchmarks
{

namespace
{

std::string quoted(const std::string & text)
{
  std::string json = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      json += '\\';
    }
    json += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  }
  return json + "\"";
}

}  // namespace

ResultLine & ResultLine::add(const std::string & key, const std::string & value)
{
  add_raw(key, quoted(value));
  return *this;
}

ResultLine & ResultLine::add(const std::string & key, uint64_t value)
{
  add_raw(key, std::to_string(value));
  return *this;
}

ResultLine & ResultLine::add(const std::string & key, double value)
{
  if (!std::isfinite(value)) {
    add_raw(key, "null");  // JSON has no NaN
    return *this;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  add_raw(key, text);
  return *this;
}

void ResultLine::add_raw(const std::string & key, const std::string & json_value)
{
  if (!fields_.empty()) {
    fields_ += ", ";
  }
  fields_ += quoted(key) + ": " + json_value;
}

}  // namespace obsfeed_benchmarks
