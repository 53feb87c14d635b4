// Copyright 2026 obsfeed developers
// Licensed under the Apache License, Version 2.0

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
