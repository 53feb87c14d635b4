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

# Generated message packages export a dependency on this package; their
# exported targets link against the runtime and type support libraries found
# here, so a consumer's find_package(<msg package>) resolves them.
foreach(_runtime
    rosidl_runtime_c
    rosidl_runtime_cpp
    rosidl_typesupport_interface
    rosidl_typesupport_introspection_c
    rosidl_typesupport_introspection_cpp)
  find_package(${_runtime} REQUIRED)
endforeach()
