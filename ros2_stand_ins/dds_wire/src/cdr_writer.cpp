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

#include "dds_wire/cdr_writer.hpp"

#include <algorithm>
#include <stdexcept>

// Samples are copied between memory and the wire without byte swapping.
static_assert(
  __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
  "the CDR writer emits the host's byte order and labels it little endian");

namespace dds_wire
{

void CdrWriter::make_room(size_t length)
{
  if (growable_ == nullptr) {
    throw std::logic_error("CDR writer ran past the buffer it was sized for");
  }
  growable_->resize(std::max<size_t>({offset_ + length, 2 * growable_->size(), 256}));
  buffer_ = growable_->data();
  capacity_ = growable_->size();
}

}  // namespace dds_wire
