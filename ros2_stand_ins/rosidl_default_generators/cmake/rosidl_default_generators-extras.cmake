# Copyright 2026 obsfeed developers
#
# Licensed under the Apache License, Version 2.0 (the "License");
# you may not use this file except in compliance with the License.
# You may obtain a copy of the License at
#
#     http://www.apache.org/licenses/LICENSE-2.0
#
# Unless required by applicable law or agreed to in writing, software
# distributed under the License is distributed on an "AS IS" BASIS,
# WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
# See the License for the specific language governing permissions and
# limitations under the License.

# Humble's rosidl_default_generators finds every generator package so that
# rosidl_generate_interfaces() runs them all. Debian ships the C and C++
# generators and the introspection type supports; those are what a message
# package built against this workspace gets.
find_package(rosidl_cmake REQUIRED)
foreach(_generator
    rosidl_generator_c
    rosidl_generator_cpp
    rosidl_typesupport_introspection_c
    rosidl_typesupport_introspection_cpp)
  find_package(${_generator} REQUIRED)
endforeach()
