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

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/executors.hpp"
#include "rclcpp/node.hpp"
#include "rclcpp/utilities.hpp"
#include "std_msgs/msg/header.hpp"
#include "runtime_test_support.hpp"

using std_msgs::msg::Header;
using namespace std::chrono_literals;

namespace
{

class ExecutorTest : public test_support::ContextTest
{
protected:
  void SetUp() override
  {
    ContextTest::SetUp();
    node_ = std::make_shared<rclcpp::Node>("executor", test_support::options_for(context_));
    options_.context = context_;
  }

  void TearDown() override
  {
    node_.reset();
    ContextTest::TearDown();
  }

  rclcpp::SubscriptionOptions in_group(const rclcpp::CallbackGroup::SharedPtr & group)
  {
    rclcpp::SubscriptionOptions options;
    options.callback_group = group;
    return options;
  }

  void publish(const std::string & topic, int count = 1)
  {
    auto publisher = node_->create_publisher<Header>(topic, rclcpp::QoS(rclcpp::KeepAll()));
    for (int i = 0; i < count; ++i) {
      publisher->publish(test_support::header_with_frame(std::to_string(i)));
    }
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::ExecutorOptions options_;
};

}  // namespace

TEST_F(ExecutorTest, MutuallyExclusiveGroupNeverRunsTwoCallbacksAtOnce)
{
  constexpr int kMessagesPerTopic = 200;
  rclcpp::executors::MultiThreadedExecutor executor(options_, 4);
  auto group = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  std::atomic<int> running{0};
  std::atomic<int> most_running{0};
  std::atomic<int> done{0};
  auto run_alone = [&]() {
      const int now_running = ++running;
      int seen = most_running.load();
      while (now_running > seen && !most_running.compare_exchange_weak(seen, now_running)) {}
      for (int i = 0; i < 100; ++i) {
        std::this_thread::yield();  // widen the window in which an overlap would show
      }
      --running;
    };
  // A timer of the group waits its turn too, however often it expires.
  constexpr int kExpiries = 20;
  std::atomic<int> expiries{0};
  auto finish_when_all_ran = [&]() {
      if (done.load() == 2 * kMessagesPerTopic && expiries.load() >= kExpiries) {
        executor.cancel();
      }
    };
  auto callback = [&](const Header &) {
      run_alone();
      ++done;
      finish_when_all_ran();
    };
  auto first = node_->create_subscription<Header>(
    "first", rclcpp::QoS(rclcpp::KeepAll()), callback, in_group(group));
  auto second = node_->create_subscription<Header>(
    "second", rclcpp::QoS(rclcpp::KeepAll()), callback, in_group(group));
  auto timer = node_->create_wall_timer(
    1ms, [&]() {
      run_alone();
      ++expiries;
      finish_when_all_ran();
    }, group);
  publish("first", kMessagesPerTopic);
  publish("second", kMessagesPerTopic);

  executor.add_node(node_);
  executor.spin();
  EXPECT_EQ(done.load(), 2 * kMessagesPerTopic);
  EXPECT_EQ(most_running.load(), 1);
}

TEST_F(ExecutorTest, CallbacksThatMayOverlapDoOnTheMultiThreadedExecutor)
{
  // Each callback waits inside itself for the others: they only all finish if they overlap.
  // Two mutually exclusive groups run side by side; a reentrant group runs on several threads.
  auto left = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto right = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto reentrant = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  const std::vector<std::vector<rclcpp::CallbackGroup::SharedPtr>> cases = {
    {left, right}, {reentrant, reentrant, reentrant}};
  for (const auto & groups : cases) {
    rclcpp::executors::MultiThreadedExecutor executor(options_, groups.size());
    std::atomic<size_t> inside{0};
    std::atomic<size_t> met{0};
    std::atomic<size_t> done{0};
    auto callback = [&](const Header &) {
        // The time limit only turns a broken executor into a failed test instead of a hung one.
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        for (++inside; inside < groups.size() && std::chrono::steady_clock::now() < deadline; ) {
          std::this_thread::yield();
        }
        met += inside >= groups.size();
        if (++done == groups.size()) {
          executor.cancel();
        }
      };
    std::vector<rclcpp::Subscription<Header>::SharedPtr> subscriptions;
    for (size_t i = 0; i < groups.size(); ++i) {
      const std::string topic = "overlap" + std::to_string(groups.size()) + "_" + std::to_string(i);
      subscriptions.push_back(
        node_->create_subscription<Header>(topic, 10, callback, in_group(groups[i])));
      publish(topic);
    }
    executor.add_node(node_);
    executor.spin();
    EXPECT_EQ(met.load(), groups.size()) << groups.size() << " callbacks";
  }
}

TEST_F(ExecutorTest, EveryMessageIsTakenByExactlyOneThread)
{
  constexpr int kMessages = 500;
  rclcpp::executors::MultiThreadedExecutor executor(options_, 4);
  std::mutex seen_mutex;
  std::multiset<std::string> seen;
  auto group = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  auto subscription = node_->create_subscription<Header>(
    "work", rclcpp::QoS(rclcpp::KeepAll()), [&](const Header & msg) {
      std::lock_guard<std::mutex> lock(seen_mutex);
      seen.insert(msg.frame_id);
      if (seen.size() == kMessages) {
        executor.cancel();
      }
    }, in_group(group));
  publish("work", kMessages);
  executor.add_node(node_);
  executor.spin();
  ASSERT_EQ(seen.size(), static_cast<size_t>(kMessages));
  for (int i = 0; i < kMessages; ++i) {
    EXPECT_EQ(seen.count(std::to_string(i)), 1u) << "message " << i;
  }
}

TEST_F(ExecutorTest, SpinEndsWhenTheContextShutsDownFromAnotherThread)
{
  for (const size_t threads : {1u, 4u}) {
    auto context = test_support::make_context();
    auto node = std::make_shared<rclcpp::Node>("shutdown", test_support::options_for(context));
    rclcpp::ExecutorOptions options;
    options.context = context;
    std::unique_ptr<rclcpp::Executor> executor(threads == 1 ?
      static_cast<rclcpp::Executor *>(new rclcpp::executors::SingleThreadedExecutor(options)) :
      new rclcpp::executors::MultiThreadedExecutor(options, threads));
    std::promise<void> spinning;
    auto subscription = node->create_subscription<Header>(
      "ping", 10, [&](const Header &) {spinning.set_value();});
    // The executor waits for this expiry when the shutdown comes.
    auto timer = node->create_wall_timer(1h, []() {});
    auto publisher = node->create_publisher<Header>("ping", 10);
    publisher->publish(Header());

    std::thread stopper([&spinning, context]() {
        spinning.get_future().wait();
        rclcpp::shutdown(context);
      });
    executor->add_node(node);
    executor->spin();
    stopper.join();
    EXPECT_FALSE(rclcpp::ok(context));
    EXPECT_FALSE(executor->is_spinning());
  }
}

TEST_F(ExecutorTest, SpinOnAShutDownContextReturnsAtOnce)
{
  rclcpp::executors::MultiThreadedExecutor executor(options_, 2);
  executor.add_node(node_);
  context_->shutdown("before spinning");
  executor.spin();
  executor.spin_some();
  executor.spin_once();
}

TEST_F(ExecutorTest, ACallbackExceptionLeavesASingleThreadedSpinAndEndsAMultiThreadedOne)
{
  auto subscription = node_->create_subscription<Header>(
    "fails", 10, [](const Header & msg) {
      throw std::logic_error("callback failed: " + msg.frame_id);
    });
  {
    rclcpp::executors::SingleThreadedExecutor executor(options_);
    executor.add_node(node_);
    publish("fails");
    EXPECT_THROW(executor.spin(), std::logic_error);
    EXPECT_FALSE(executor.is_spinning());
  }
  // There it leaves a thread's function, or spin() while the other threads still run: either
  // way the process terminates, as in Humble.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
  {
    rclcpp::executors::MultiThreadedExecutor executor(options_, 4);
    executor.add_node(node_);
    publish("fails");
    executor.spin();
  },
    "terminate called");
}

TEST_F(ExecutorTest, SpinningTwiceIsRefused)
{
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  std::string error_from_spin;
  std::string error_from_spin_some;
  auto subscription = node_->create_subscription<Header>(
    "reenter", 10, [&](const Header &) {
      error_from_spin = test_support::what_of<std::runtime_error>([&]() {executor.spin();});
      error_from_spin_some = test_support::what_of<std::runtime_error>(
        [&]() {executor.spin_some();});
      executor.cancel();
    });
  executor.add_node(node_);
  publish("reenter");
  executor.spin();
  EXPECT_EQ(error_from_spin, "spin() called while already spinning");
  EXPECT_EQ(error_from_spin_some, "spin_some() called while already spinning");
}

TEST_F(ExecutorTest, GroupsAddedWithTheNodeAreServedEvenWhenMadeLaterAndOthersAreNot)
{
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  auto manual = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, false);
  int received_in_manual = 0;
  auto not_served = node_->create_subscription<Header>(
    "manual", 10, [&](const Header &) {++received_in_manual;}, in_group(manual));
  executor.add_node(node_);
  publish("manual");
  executor.spin_some();
  EXPECT_EQ(received_in_manual, 0);
  EXPECT_EQ(executor.get_all_callback_groups().size(), 1u);  // the node's default group

  // A group made while the executor spins is served.
  std::promise<std::string> received;
  std::thread spinner([&executor]() {executor.spin();});
  auto group = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto subscription = node_->create_subscription<Header>(
    "late", 10, [&](const Header & msg) {received.set_value(msg.frame_id);}, in_group(group));
  publish("late");
  auto future = received.get_future();
  const bool served = future.wait_for(20s) == std::future_status::ready;
  executor.cancel();
  spinner.join();
  ASSERT_TRUE(served);
  EXPECT_EQ(future.get(), "0");
}

TEST_F(ExecutorTest, ANodeBelongsToOneExecutorAtATime)
{
  rclcpp::executors::SingleThreadedExecutor second(options_);
  {
    rclcpp::executors::MultiThreadedExecutor first(options_, 2);
    first.add_node(node_);
    EXPECT_EQ(
      test_support::what_of<std::runtime_error>([&]() {second.add_node(node_);}),
      "Node '/executor' has already been added to an executor.");
    EXPECT_THROW(second.remove_node(node_), std::runtime_error);
    first.remove_node(node_);
    EXPECT_NO_THROW(second.add_node(node_));
    second.remove_node(node_);
    first.add_node(node_);
  }
  // A destroyed executor releases its node.
  EXPECT_NO_THROW(second.add_node(node_));
  int received = 0;
  auto subscription = node_->create_subscription<Header>(
    "after", 10, [&](const Header &) {++received;});
  publish("after");
  second.spin_some();
  EXPECT_EQ(received, 1);
}

TEST_F(ExecutorTest, SpinUntilFutureComplete)
{
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  std::promise<int> promise;
  auto future = promise.get_future().share();
  auto subscription = node_->create_subscription<Header>(
    "complete", 10, [&](const Header &) {promise.set_value(42);});
  executor.add_node(node_);
  publish("complete");
  EXPECT_EQ(executor.spin_until_future_complete(future), rclcpp::FutureReturnCode::SUCCESS);
  EXPECT_EQ(future.get(), 42);

  std::promise<void> never;
  EXPECT_EQ(
    executor.spin_until_future_complete(never.get_future(), 10ms),
    rclcpp::FutureReturnCode::TIMEOUT);
  EXPECT_EQ(rclcpp::to_string(rclcpp::FutureReturnCode::TIMEOUT), "TIMEOUT (2)");
}

TEST_F(ExecutorTest, SpinSomeLeavesWorkCausedDuringItForTheNextSpin)
{
  // Humble fixes the round when spin_some starts; code that passes there must not depend on a
  // chain of callbacks completing within one spin_some.
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  auto relay = node_->create_publisher<Header>("relayed", 10);
  int relayed = 0;
  auto first_hop = node_->create_subscription<Header>(
    "origin", 10, [&](const Header & msg) {relay->publish(msg);});
  auto second_hop = node_->create_subscription<Header>(
    "relayed", 10, [&](const Header &) {++relayed;});
  executor.add_node(node_);

  publish("origin");
  executor.spin_some();
  EXPECT_EQ(relayed, 0);
  executor.spin_some();
  EXPECT_EQ(relayed, 1);

  publish("origin");
  executor.spin_all(10s);
  EXPECT_EQ(relayed, 2);
}

// Each expiry runs once, never before its time, on either executor and in either kind of group
// (a reentrant group's callbacks may run side by side); spin_until_future_complete wakes for it
// like any other work.
TEST_F(ExecutorTest, ATimerRunsOncePerPeriodNeverEarly)
{
  constexpr auto kPeriod = 20ms;
  auto reentrant = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  for (const auto & group : {rclcpp::CallbackGroup::SharedPtr(), reentrant}) {
    for (const size_t threads : {1u, 3u}) {
      const std::string what = std::to_string(threads) + " threads, " +
        (group ? "reentrant group" : "default group");
      std::unique_ptr<rclcpp::Executor> executor(threads == 1 ?
        static_cast<rclcpp::Executor *>(new rclcpp::executors::SingleThreadedExecutor(options_)) :
        new rclcpp::executors::MultiThreadedExecutor(options_, threads));
      std::mutex runs_mutex;
      std::vector<std::chrono::steady_clock::duration> runs;
      std::promise<void> fourth_run;
      const auto created = std::chrono::steady_clock::now();
      auto timer = node_->create_wall_timer(
        kPeriod, [&]() {
          std::lock_guard<std::mutex> lock(runs_mutex);
          runs.push_back(std::chrono::steady_clock::now() - created);
          if (runs.size() == 4) {
            fourth_run.set_value();
          }
        }, group);
      EXPECT_TRUE(timer->is_steady());
      executor->add_node(node_);
      ASSERT_EQ(
        executor->spin_until_future_complete(fourth_run.get_future(), 20s),
        rclcpp::FutureReturnCode::SUCCESS) << what;
      executor->remove_node(node_);
      std::lock_guard<std::mutex> lock(runs_mutex);
      ASSERT_EQ(runs.size(), 4u) << what;
      for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_GE(runs[i], (i + 1) * kPeriod) << "run " << i << ", " << what;
      }
    }
  }
}

// Expiries missed while nobody spins are not made up for; a canceled timer waits for reset().
TEST_F(ExecutorTest, ATimerSkipsMissedExpiriesAndStopsUntilReset)
{
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  int runs = 0;
  rclcpp::TimerBase * seen = nullptr;
  std::promise<void> ran_again;
  auto timer = node_->create_wall_timer(
    50ms, [&](rclcpp::TimerBase & expired) {
      seen = &expired;
      if (++runs == 2) {
        ran_again.set_value();
      }
    });
  executor.add_node(node_);
  std::this_thread::sleep_for(160ms);  // three expiries missed; the next is at 200 ms
  EXPECT_TRUE(timer->is_ready());
  executor.spin_some();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(seen, timer.get());
  EXPECT_FALSE(timer->is_ready());
  EXPECT_GT(timer->time_until_trigger(), 0ns);
  EXPECT_LE(timer->time_until_trigger(), 50ms);

  timer->cancel();
  EXPECT_TRUE(timer->is_canceled());
  EXPECT_EQ(timer->time_until_trigger(), std::chrono::nanoseconds::max());
  executor.spin_once(150ms);
  EXPECT_EQ(runs, 1);

  // reset() wakes an executor that had no expiry to wait for.
  std::thread resetter([&timer]() {
      std::this_thread::sleep_for(50ms);
      timer->reset();
    });
  EXPECT_EQ(
    executor.spin_until_future_complete(ran_again.get_future(), 20s),
    rclcpp::FutureReturnCode::SUCCESS);
  resetter.join();
  EXPECT_FALSE(timer->is_canceled());
}

TEST_F(ExecutorTest, SpinOnceSpinSomeAndSpinAllServeDifferentAmounts)
{
  rclcpp::executors::SingleThreadedExecutor executor(options_);
  std::vector<std::string> received;
  auto first = node_->create_subscription<Header>(
    "first", 10, [&](const Header & msg) {received.push_back("first" + msg.frame_id);});
  auto second = node_->create_subscription<Header>(
    "second", 10, [&](const Header & msg) {received.push_back("second" + msg.frame_id);});
  executor.add_node(node_);
  publish("first", 3);
  publish("second", 3);

  executor.spin_once(0ns);
  EXPECT_EQ(received.size(), 1u);
  // Like Humble, spin_some serves each subscription with waiting messages once.
  received.clear();
  executor.spin_some();
  ASSERT_EQ(received.size(), 2u);
  std::sort(received.begin(), received.end());
  EXPECT_EQ(received[0].rfind("first", 0), 0u);
  EXPECT_EQ(received[1].rfind("second", 0), 0u);
  // spin_all goes on until nothing waits.
  received.clear();
  executor.spin_all(10s);
  EXPECT_EQ(received.size(), 3u);
  received.clear();
  executor.spin_once(1ms);  // nothing ready: times out
  EXPECT_TRUE(received.empty());
  EXPECT_THROW(executor.spin_all(-1ns), std::invalid_argument);
}
