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

#include <functional>
#include <memory>

#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

/// A service no client can reach: nothing ever waits, and there is nobody to answer.
class UnreachableServiceEndpoint : public ServiceEndpoint
{
public:
  std::shared_ptr<const void> take() override {return nullptr;}
  bool has_message() const override {return false;}
  size_t get_publisher_count() const override {return 0;}
  void send_response(const ServiceRequest &, const void *) override {}
};

}  // namespace

std::shared_ptr<ServiceEndpoint> Transport::create_service(
  const ServiceEndpointInfo &, std::function<void()>)
{
  return std::make_shared<UnreachableServiceEndpoint>();
}

}  // namespace detail
}  // namespace rclcpp
