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

#include "dds_wire/deserialization_error.hpp"

#include <string>

namespace dds_wire
{

DeserializationError::DeserializationError(const std::string & reason)
: std::runtime_error(reason), reason_(reason), message_(reason)
{
}

void DeserializationError::prepend_field(const std::string & name)
{
  const bool joins_with_dot = !path_.empty() && path_.front() != '[';
  path_ = name + (joins_with_dot ? "." : "") + path_;
  update_message();
}

void DeserializationError::prepend_index(size_t index)
{
  const bool joins_with_dot = !path_.empty() && path_.front() != '[';
  path_ = "[" + std::to_string(index) + "]" + (joins_with_dot ? "." : "") + path_;
  update_message();
}

void DeserializationError::update_message()
{
  message_ = path_.empty() ? reason_ : path_ + ": " + reason_;
}

}  // namespace dds_wire
