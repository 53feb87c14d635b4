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

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/detail/dds_transport.hpp"
#include "rclcpp/detail/in_process_transport.hpp"

namespace rclcpp
{
namespace detail
{
namespace
{

using Message = std::shared_ptr<const void>;

/// Keep-last queues never hold fewer than one message, as DDS resolves a zero depth.
size_t queue_limit(const QoS & qos)
{
  if (qos.history() == HistoryPolicy::KeepAll) {
    return 0;  // unbounded
  }
  return std::max<size_t>(qos.depth(), 1);
}

/// Appends to a history, dropping the oldest entries beyond `limit` (0: no limit).
void push_bounded(std::deque<Message> & queue, Message message, size_t limit)
{
  queue.push_back(std::move(message));
  while (limit != 0 && queue.size() > limit) {
    queue.pop_front();
  }
}

class InProcessPublisher;
class InProcessSubscription;

}  // namespace

struct InProcessTransport::Registry
{
  struct Topic
  {
    std::vector<std::weak_ptr<InProcessPublisher>> publishers;
    std::vector<std::weak_ptr<InProcessSubscription>> subscriptions;
    /// Subscriptions alive on the topic, whatever their type and QoS. Read without the lock,
    /// so that a publisher whose messages only leave the process takes no lock at all.
    std::atomic<size_t> live_subscriptions{0};
  };

  // Guards the topic map and every publisher's transient-local history. Subscription queues
  // have their own lock (taken inside this one) so that take() never waits for a publish.
  // Topics are never erased, so an endpoint may keep a reference to its own.
  mutable std::mutex mutex;
  std::map<std::string, Topic> topics;
};

namespace
{

using Registry = InProcessTransport::Registry;

/// A duration policy of 0 is unspecified: DDS's default, infinite.
int64_t effective_ns(const rclcpp::Duration & duration)
{
  return duration.nanoseconds() == 0 ? INT64_MAX : duration.nanoseconds();
}

/// DDS orders liveliness kinds: manual by topic promises more than automatic.
int liveliness_rank(LivelinessPolicy policy)
{
  return policy == LivelinessPolicy::ManualByTopic ? 2 : 0;
}

/// The policy by which a publisher's offer fails a subscription's request, in the order Cyclone
/// DDS checks them; Invalid when the offer satisfies the request. A reliable publisher serves a
/// best-effort subscription but not the reverse, a transient-local subscription needs a
/// transient-local publisher; system defaults count as reliable and volatile.
QosPolicyKind incompatible_policy(const QoS & publisher_qos, const QoS & subscription_qos)
{
  if (publisher_qos.reliability() == ReliabilityPolicy::BestEffort &&
    subscription_qos.reliability() != ReliabilityPolicy::BestEffort)
  {
    return QosPolicyKind::Reliability;
  }
  if (publisher_qos.durability() != DurabilityPolicy::TransientLocal &&
    subscription_qos.durability() == DurabilityPolicy::TransientLocal)
  {
    return QosPolicyKind::Durability;
  }
  if (effective_ns(subscription_qos.deadline()) < effective_ns(publisher_qos.deadline())) {
    return QosPolicyKind::Deadline;
  }
  if (
    liveliness_rank(subscription_qos.liveliness()) > liveliness_rank(publisher_qos.liveliness()) ||
    effective_ns(subscription_qos.liveliness_lease_duration()) <
    effective_ns(publisher_qos.liveliness_lease_duration()))
  {
    return QosPolicyKind::Liveliness;
  }
  return QosPolicyKind::Invalid;
}

bool endpoints_match(const TopicEndpointInfo & publisher, const TopicEndpointInfo & subscription)
{
  return publisher.type_name == subscription.type_name &&
         incompatible_policy(publisher.qos, subscription.qos) == QosPolicyKind::Invalid;
}

/// What tells a publisher and a subscription of one type whose QoS do not fit that they do not,
/// and by which policy; null when they fit (or differ in type, which is no QoS matter). The
/// caller runs it once it holds no lock.
std::function<void()> incompatibility_notice(
  const TopicEndpointInfo & publisher, const TopicEndpointInfo & subscription)
{
  if (publisher.type_name != subscription.type_name) {
    return nullptr;
  }
  const QosPolicyKind policy = incompatible_policy(publisher.qos, subscription.qos);
  if (policy == QosPolicyKind::Invalid) {
    return nullptr;
  }
  return [policy, on_publisher = publisher.on_incompatible_qos,
           on_subscription = subscription.on_incompatible_qos]() {
           if (on_publisher) {
             on_publisher(policy);
           }
           if (on_subscription) {
             on_subscription(policy);
           }
         };
}

/// Runs the notices collected under a lock.
void deliver_notices(const std::vector<std::function<void()>> & notices)
{
  for (const auto & notice : notices) {
    notice();
  }
}

/// Live endpoints of `topic_name`'s list `endpoints_of` that `matches`; the registry's lock is
/// taken here.
template<typename EndpointT, typename MatchT>
size_t count_matching(
  const Registry & registry, const std::string & topic_name,
  std::vector<std::weak_ptr<EndpointT>> Registry::Topic::* endpoints_of, MatchT matches)
{
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto topic = registry.topics.find(topic_name);
  if (topic == registry.topics.end()) {
    return 0;
  }
  const auto & endpoints = topic->second.*endpoints_of;
  return static_cast<size_t>(
    std::count_if(
      endpoints.begin(), endpoints.end(),
      [&matches](const std::weak_ptr<EndpointT> & weak_endpoint) {
        auto endpoint = weak_endpoint.lock();
        return endpoint && matches(*endpoint);
      }));
}

template<typename EndpointT>
void erase_expired(std::vector<std::weak_ptr<EndpointT>> & endpoints)
{
  endpoints.erase(
    std::remove_if(
      endpoints.begin(), endpoints.end(),
      [](const std::weak_ptr<EndpointT> & endpoint) {return endpoint.expired();}),
    endpoints.end());
}

class InProcessSubscription : public SubscriptionEndpoint
{
public:
  InProcessSubscription(
    std::shared_ptr<Registry> registry, TopicEndpointInfo info,
    std::function<void()> on_message_ready)
  : registry_(std::move(registry)), info_(std::move(info)),
    on_message_ready_(std::move(on_message_ready)), limit_(queue_limit(info_.qos))
  {}

  ~InProcessSubscription() override
  {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    auto & topic = registry_->topics[info_.topic_name];
    erase_expired(topic.subscriptions);
    --topic.live_subscriptions;
  }

  Message take() override
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (queue_.empty()) {
      return nullptr;
    }
    Message message = std::move(queue_.front());
    queue_.pop_front();
    return message;
  }

  bool has_message() const override
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    return !queue_.empty();
  }

  size_t get_publisher_count() const override;

  const TopicEndpointInfo & info() const {return info_;}

  /// Called with the registry lock held; the caller notifies afterwards, without locks.
  void enqueue(Message message)
  {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    push_bounded(queue_, std::move(message), limit_);
  }

  void notify_message_ready() const
  {
    if (on_message_ready_) {
      on_message_ready_();
    }
  }

private:
  std::shared_ptr<Registry> registry_;
  TopicEndpointInfo info_;
  std::function<void()> on_message_ready_;
  size_t limit_;
  mutable std::mutex queue_mutex_;
  std::deque<Message> queue_;
};

class InProcessPublisher : public PublisherEndpoint
{
public:
  /// `topic`: the publisher's entry in `registry`.
  InProcessPublisher(
    std::shared_ptr<Registry> registry, Registry::Topic & topic, TopicEndpointInfo info)
  : registry_(std::move(registry)), topic_(topic), info_(std::move(info)),
    keeps_history_(info_.qos.durability() == DurabilityPolicy::TransientLocal),
    history_limit_(queue_limit(info_.qos))
  {}

  ~InProcessPublisher() override
  {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    erase_expired(topic_.publishers);
  }

  void publish(Message message) override
  {
    deliver([&message]() {return message;});
  }

  void publish_lent(const void * message, MessageCopier copy) override
  {
    Message copied;
    deliver(
      [&]() {
        if (!copied) {
          copied = copy(message);
        }
        return copied;
      });
  }

  size_t get_subscription_count() const override
  {
    return count_matching(
      *registry_, info_.topic_name, &Registry::Topic::subscriptions,
      [this](const InProcessSubscription & subscription) {
        return endpoints_match(info_, subscription.info());
      });
  }

  const TopicEndpointInfo & info() const {return info_;}

  /// Registry lock held by the caller.
  const std::deque<Message> & history() const {return history_;}

private:
  /// Hands the message (`shared()` gives it, and is not called when nothing keeps it) to the
  /// history and to every matching subscription.
  template<typename SharedMessage>
  void deliver(SharedMessage shared)
  {
    // A subscription that exists when this call starts has been counted.
    if (!keeps_history_ && topic_.live_subscriptions.load() == 0) {
      return;
    }
    std::vector<std::shared_ptr<InProcessSubscription>> receivers;
    {
      std::lock_guard<std::mutex> lock(registry_->mutex);
      if (keeps_history_) {
        push_bounded(history_, shared(), history_limit_);
      }
      for (const auto & weak_subscription : topic_.subscriptions) {
        auto subscription = weak_subscription.lock();
        if (subscription && endpoints_match(info_, subscription->info())) {
          subscription->enqueue(shared());
          receivers.push_back(std::move(subscription));
        }
      }
    }
    // Waking executors outside the lock: they take() right away, and may publish themselves.
    for (const auto & subscription : receivers) {
      subscription->notify_message_ready();
    }
  }

  std::shared_ptr<Registry> registry_;
  Registry::Topic & topic_;
  TopicEndpointInfo info_;
  bool keeps_history_;
  size_t history_limit_;
  std::deque<Message> history_;
};

size_t InProcessSubscription::get_publisher_count() const
{
  return count_matching(
    *registry_, info_.topic_name, &Registry::Topic::publishers,
    [this](const InProcessPublisher & publisher) {
      return endpoints_match(publisher.info(), info_);
    });
}

}  // namespace

InProcessTransport::InProcessTransport()
: registry_(std::make_shared<Registry>())
{}

InProcessTransport::~InProcessTransport() = default;

std::shared_ptr<PublisherEndpoint> InProcessTransport::create_publisher(
  const TopicEndpointInfo & info)
{
  Registry::Topic * topic = nullptr;
  {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    topic = &registry_->topics[info.topic_name];
  }
  // Made without the lock, which its destructor takes.
  auto publisher = std::make_shared<InProcessPublisher>(registry_, *topic, info);
  std::vector<std::function<void()>> notices;
  {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    topic->publishers.push_back(publisher);
    for (const auto & weak_subscription : topic->subscriptions) {
      auto subscription = weak_subscription.lock();
      if (subscription) {
        if (auto notice = incompatibility_notice(info, subscription->info())) {
          notices.push_back(std::move(notice));
        }
      }
    }
  }
  deliver_notices(notices);
  return publisher;
}

std::shared_ptr<SubscriptionEndpoint> InProcessTransport::create_subscription(
  const TopicEndpointInfo & info, std::function<void()> on_message_ready)
{
  auto subscription =
    std::make_shared<InProcessSubscription>(registry_, info, std::move(on_message_ready));
  bool received_history = false;
  std::vector<std::function<void()>> notices;
  {
    std::lock_guard<std::mutex> lock(registry_->mutex);
    auto & topic = registry_->topics[info.topic_name];
    // Counted first: if the list cannot grow, the subscription's destructor uncounts it.
    ++topic.live_subscriptions;
    topic.subscriptions.push_back(subscription);
    for (const auto & weak_publisher : topic.publishers) {
      auto publisher = weak_publisher.lock();
      if (publisher) {
        if (auto notice = incompatibility_notice(publisher->info(), info)) {
          notices.push_back(std::move(notice));
        }
      }
    }
    // A late-joining transient-local subscription gets what matching publishers kept.
    if (info.qos.durability() == DurabilityPolicy::TransientLocal) {
      for (const auto & weak_publisher : topic.publishers) {
        auto publisher = weak_publisher.lock();
        if (!publisher || !endpoints_match(publisher->info(), info)) {
          continue;
        }
        for (const auto & message : publisher->history()) {
          subscription->enqueue(message);
          received_history = true;
        }
      }
    }
  }
  deliver_notices(notices);
  if (received_history) {
    subscription->notify_message_ready();
  }
  return subscription;
}

Transport & get_transport()
{
  // Never destroyed: nodes held in static objects may still release endpoints at exit.
  // DDS between processes, this file's in-process delivery within one.
  static auto * transport = DdsTransport::create_for_process();
  return *transport;
}

}  // namespace detail
}  // namespace rclcpp
