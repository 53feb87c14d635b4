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

#ifndef DDS_WIRE__DESERIALIZATION_ERROR_HPP_
#define DDS_WIRE__DESERIALIZATION_ERROR_HPP_

#include <cstddef>
#include <stdexcept>
#include <string>

namespace dds_wire
{

/// Why a received sample could not be decoded, and in which field.
///
/// The field path is built while the error travels up through the nested members, so the
/// innermost code only has to say what was wrong ("sequence length 9 exceeds its bound 4")
/// and the log line still reads "layout.dim[1].label: ...".
class DeserializationError : public std::runtime_error
{
public:
  explicit DeserializationError(const std::string & reason);

  /// Called by the member that contained the failing field.
  void prepend_field(const std::string & name);
  /// Called by the sequence or array element that contained the failing field.
  void prepend_index(size_t index);

  const std::string & path() const {return path_;}
  const std::string & reason() const {return reason_;}
  const char * what() const noexcept override {return message_.c_str();}

private:
  void update_message();

  std::string path_;
  std::string reason_;
  std::string message_;
};

}  // namespace dds_wire

#endif  // DDS_WIRE__DESERIALIZATION_ERROR_HPP_
