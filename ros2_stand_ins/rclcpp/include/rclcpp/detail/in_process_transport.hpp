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

#ifndef RCLCPP__DETAIL__IN_PROCESS_TRANSPORT_HPP_
#define RCLCPP__DETAIL__IN_PROCESS_TRANSPORT_HPP_

#include <functional>
#include <memory>

#include "rclcpp/detail/transport.hpp"

namespace rclcpp
{
namespace detail
{

/// Delivers messages between publishers and subscriptions of the same process.
/// Endpoints match like DDS readers and writers do: same topic, same type, compatible QoS.
/// A published message is shared (not copied) by every matching subscription queue; a
/// transient-local publisher keeps its last `depth` messages for subscriptions that join later.
class InProcessTransport : public Transport
{
public:
  InProcessTransport();
  ~InProcessTransport() override;

  std::shared_ptr<PublisherEndpoint> create_publisher(const TopicEndpointInfo & info) override;
  std::shared_ptr<SubscriptionEndpoint> create_subscription(
    const TopicEndpointInfo & info, std::function<void()> on_message_ready) override;

  struct Registry;

private:
  // Endpoints share ownership of the registry, so they may outlive the transport object.
  std::shared_ptr<Registry> registry_;
};

}  // namespace detail
}  // namespace rclcpp

#endif  // RCLCPP__DETAIL__IN_PROCESS_TRANSPORT_HPP_
