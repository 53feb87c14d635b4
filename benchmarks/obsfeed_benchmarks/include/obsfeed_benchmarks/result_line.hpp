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

#ifndef OBSFEED_BENCHMARKS__RESULT_LINE_HPP_
#define OBSFEED_BENCHMARKS__RESULT_LINE_HPP_

#include <cstdint>
#include <string>

namespace obsfeed_benchmarks
{

/// One measurement as a line of JSON (a flat object), which the report script collects.
class ResultLine
{
public:
  ResultLine & add(const std::string & key, const std::string & value);
  ResultLine & add(const std::string & key, uint64_t value);
  ResultLine & add(const std::string & key, double value);

  /// The object, without a line break.
  std::string text() const {return "{" + fields_ + "}";}

private:
  void add_raw(const std::string & key, const std::string & json_value);

  std::string fields_;
};

}  // namespace obsfeed_benchmarks

#endif  // OBSFEED_BENCHMARKS__RESULT_LINE_HPP_
