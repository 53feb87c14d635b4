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

// Requests to the six parameter services every node serves: the first byte picks the service,
// the rest is the request as it arrives from DDS (encapsulation and request headers included).

#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "wire_round_trip.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  if (size == 0) {
    return 0;
  }
  using namespace rcl_interfaces::srv;  // NOLINT(build/namespaces)
  const std::uint8_t * request = data + 1;
  const std::size_t request_size = size - 1;
  switch (data[0] % 6) {
    case 0:
      obsfeed_fuzz::decodeServiceRequest<GetParameters::Request>(request, request_size);
      break;
    case 1:
      obsfeed_fuzz::decodeServiceRequest<GetParameterTypes::Request>(request, request_size);
      break;
    case 2:
      obsfeed_fuzz::decodeServiceRequest<SetParameters::Request>(request, request_size);
      break;
    case 3:
      obsfeed_fuzz::decodeServiceRequest<SetParametersAtomically::Request>(request, request_size);
      break;
    case 4:
      obsfeed_fuzz::decodeServiceRequest<DescribeParameters::Request>(request, request_size);
      break;
    default:
      obsfeed_fuzz::decodeServiceRequest<ListParameters::Request>(request, request_size);
      break;
  }
  return 0;
}
