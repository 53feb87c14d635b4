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

#include "dds_wire/message_type.hpp"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "rosidl_typesupport_introspection_cpp/identifier.hpp"

namespace dds_wire
{

namespace
{

const rosidl_message_type_support_t * introspection_handle(
  const rosidl_message_type_support_t * type_support)
{
  if (type_support == nullptr) {
    throw std::invalid_argument("message type support is null");
  }
  const char * wanted = rosidl_typesupport_introspection_cpp::typesupport_identifier;
  // Generated handles compare by pointer, but a handle from another shared object that
  // carries its own copy of the identifier string must work too.
  if (type_support->typesupport_identifier == wanted ||
    std::strcmp(type_support->typesupport_identifier, wanted) == 0)
  {
    return type_support;
  }
  // A dispatching handle (rosidl_typesupport_cpp) hands out the introspection one on request.
  const rosidl_message_type_support_t * resolved =
    type_support->func != nullptr ? type_support->func(type_support, wanted) : nullptr;
  if (resolved == nullptr) {
    throw std::invalid_argument(
            std::string("message type support '") + type_support->typesupport_identifier +
            "' is not rosidl_typesupport_introspection_cpp and cannot provide it");
  }
  return resolved;
}

}  // namespace

MessageType::MessageType(const rosidl_message_type_support_t * type_support)
: type_support_(introspection_handle(type_support)),
  members_(&members_of(type_support_))
{
}

const rosidl_typesupport_introspection_cpp::MessageMembers &
MessageType::members_of(const rosidl_message_type_support_t * type_support)
{
  const auto * members = static_cast<const rosidl_typesupport_introspection_cpp::MessageMembers *>(
    introspection_handle(type_support)->data);
  if (members == nullptr) {
    throw std::invalid_argument("introspection type support carries no member description");
  }
  return *members;
}

std::shared_ptr<void> MessageType::create_message() const
{
  // operator new gives memory aligned for any fundamental type, which every generated
  // struct's members are.
  void * memory = ::operator new(members_->size_of_);
  try {
    members_->init_function(memory, rosidl_runtime_cpp::MessageInitialization::ALL);
  } catch (...) {
    ::operator delete(memory);
    throw;
  }
  const auto * members = members_;
  return std::shared_ptr<void>(
    memory, [members](void * message) {
      members->fini_function(message);
      ::operator delete(message);
    });
}

std::string MessageType::dds_type_name() const
{
  return std::string(members_->message_namespace_) + "::dds_::" + members_->message_name_ + "_";
}

std::string MessageType::ros_type_name() const
{
  std::string name(members_->message_namespace_);
  for (size_t at = name.find("::"); at != std::string::npos; at = name.find("::", at + 1)) {
    name.replace(at, 2, "/");
  }
  return name + "/" + members_->message_name_;
}

}  // namespace dds_wire
