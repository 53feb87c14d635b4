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

#ifndef RCLCPP__EXECUTOR_HPP_
#define RCLCPP__EXECUTOR_HPP_

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_set>
#include <utility>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/future_return_code.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/memory_strategy.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp
{

/// One unit of work -- a message, a timer's expiry, a QoS event -- taken from a member of a
/// callback group that is claimed for it.
struct AnyExecutable
{
  std::shared_ptr<rclcpp::detail::Executable> executable;
  rclcpp::CallbackGroup::SharedPtr callback_group;
  std::shared_ptr<const void> data;
};

/// Runs the callbacks of the callback groups it was given, when their messages arrive and their
/// timers expire.
///
/// Executors sleep on a condition variable that the transport, cancel() and the shutdown of the
/// context wake, until the next expiry of their timers at the latest; they never poll. Work is
/// picked round-robin across the groups' members so that one busy topic cannot starve the
/// others. As in Humble, choosing work happens under the executor's lock and taking the message
/// (decoding it, for one from another process) outside it. A message wakes one waiting thread,
/// not all of them: Humble lets only one thread wait for work at a time, and this has the same
/// effect without handing the waiting over from thread to thread.
class Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  explicit Executor(const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());
  virtual ~Executor();

  Executor(const Executor &) = delete;
  Executor & operator=(const Executor &) = delete;

  /// Runs callbacks until the context shuts down or cancel() is called.
  /// Throws std::runtime_error if this executor is already spinning.
  virtual void spin() = 0;

  virtual std::vector<rclcpp::CallbackGroup::WeakPtr> get_all_callback_groups();
  virtual std::vector<rclcpp::CallbackGroup::WeakPtr>
  get_automatically_added_callback_groups_from_nodes();

  /// Takes every automatically added group of the node, including groups created later.
  /// Throws std::runtime_error if the node already belongs to an executor.
  virtual void add_node(rclcpp::Node::SharedPtr node_ptr, bool notify = true);
  /// Throws std::runtime_error if the node was not added to this executor.
  virtual void remove_node(rclcpp::Node::SharedPtr node_ptr, bool notify = true);

  /// Runs the node's ready work once: add, spin_once(timeout), remove.
  template<typename RepT = int64_t, typename T = std::milli>
  void spin_node_once(
    rclcpp::Node::SharedPtr node,
    std::chrono::duration<RepT, T> timeout = std::chrono::duration<RepT, T>(-1))
  {
    add_node(node, false);
    spin_once(std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
    remove_node(node, false);
  }

  void spin_node_some(rclcpp::Node::SharedPtr node);

  /// Runs the work that is ready now without waiting for more: like Humble, at most one message
  /// per subscription and one expiry per timer. A positive `max_duration` bounds the time spent.
  /// Throws std::runtime_error if already spinning.
  virtual void spin_some(std::chrono::nanoseconds max_duration = std::chrono::nanoseconds(0));

  /// Like spin_some, but repeats the round while work keeps arriving, for at most
  /// `max_duration` (0: as long as work keeps arriving; negative: std::invalid_argument).
  virtual void spin_all(std::chrono::nanoseconds max_duration);

  /// Waits up to `timeout` (negative: without limit) for one piece of work and runs it.
  virtual void spin_once(std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  /// Spins until the future is ready, the timeout elapses (negative: no limit) or spinning
  /// ends (INTERRUPTED). The future must be completed by one of the executor's callbacks or
  /// another thread that also causes work, since only work wakes the executor.
  template<typename FutureT, typename TimeRepT = int64_t, typename TimeT = std::milli>
  FutureReturnCode spin_until_future_complete(
    const FutureT & future,
    std::chrono::duration<TimeRepT, TimeT> timeout = std::chrono::duration<TimeRepT, TimeT>(-1))
  {
    if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      return FutureReturnCode::SUCCESS;
    }
    const auto end_time = std::chrono::steady_clock::now() + timeout;
    const auto timeout_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    auto timeout_left = timeout_ns;
    if (spinning.exchange(true)) {
      throw std::runtime_error("spin_until_future_complete() called while already spinning");
    }
    SpinningReset reset_spinning{spinning};
    while (context_->is_valid() && spinning.load()) {
      spin_once_impl(timeout_left);
      if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        return FutureReturnCode::SUCCESS;
      }
      if (timeout_ns < std::chrono::nanoseconds::zero()) {
        continue;
      }
      const auto now = std::chrono::steady_clock::now();
      if (now >= end_time) {
        return FutureReturnCode::TIMEOUT;
      }
      timeout_left = std::chrono::duration_cast<std::chrono::nanoseconds>(end_time - now);
    }
    return FutureReturnCode::INTERRUPTED;
  }

  /// Makes spin() return soon; a callback already running finishes first.
  void cancel();

  void set_memory_strategy(rclcpp::memory_strategy::MemoryStrategy::SharedPtr memory_strategy);

  bool is_spinning();

protected:
  /// Clears the flag on every way out of a spin function.
  struct SpinningReset
  {
    std::atomic_bool & flag;
    ~SpinningReset() {flag.store(false);}
  };

  /// Members of callback groups by identity.
  using ExecutableSet = std::unordered_set<const rclcpp::detail::Executable *>;

  /// Waits (up to `timeout`, negative: no limit) until work is ready and takes it, considering
  /// only the members in `only` (all when null). False on timeout, cancel() or shutdown.
  bool get_next_executable(
    AnyExecutable & any_executable,
    std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1),
    const ExecutableSet * only = nullptr);

  /// Runs the callback; exceptions from it propagate to the caller.
  void execute_any_executable(AnyExecutable & any_exec);

  void spin_once_impl(std::chrono::nanoseconds timeout);
  void spin_some_impl(std::chrono::nanoseconds max_duration, bool exhaustive);

  /// True while the context is valid.
  bool context_is_valid() const;

  std::atomic_bool spinning;
  rclcpp::Context::SharedPtr context_;
  rclcpp::memory_strategy::MemoryStrategy::SharedPtr memory_strategy_;

private:
  struct WaitState;
  struct NodeGroup
  {
    rclcpp::Node::WeakPtr node;
    rclcpp::CallbackGroup::WeakPtr group;
    // The group's members at its last look, which keep their places in the round robin while
    // looks pass the group by.
    size_t members = 0;
  };

  /// Who a wake-up is for: work that one thread can do, news every thread must see, or a node's
  /// new callback group (for one thread, which claims it).
  enum class Wake {One, All, NewGroup};

  /// A hook that wakes this executor while it exists and does nothing afterwards.
  static std::function<void()> make_waker(const std::weak_ptr<WaitState> & weak_state, Wake who);
  /// Makes threads waiting in get_next_executable look for work again.
  void wake(Wake who);
  /// Claims the automatically added groups of the nodes that this executor has not seen yet.
  void collect_node_groups_locked();
  /// Waits until claim_ready_locked succeeds; false on timeout, cancel() or shutdown.
  bool claim_when_ready(
    AnyExecutable & any_executable,
    const std::optional<std::chrono::steady_clock::time_point> & deadline,
    const ExecutableSet * only, bool & more_ready);
  /// Picks one member in `only` (any when null) that has work and whose group can be taken
  /// from, and claims its group; `more_ready` tells whether other work is ready too. Without
  /// work, `next_work_time` tells when a timer will bring some.
  bool claim_ready_locked(
    AnyExecutable & any_executable, const ExecutableSet * only, bool & more_ready,
    std::chrono::steady_clock::time_point & next_work_time);
  /// After `executable`'s work was taken (or found gone): notes what it has left for later and
  /// reopens a mutually exclusive group, waking a thread if the group has work waiting.
  void release_claim(
    const rclcpp::CallbackGroup::SharedPtr & group,
    const std::shared_ptr<rclcpp::detail::Executable> & executable);
  /// The members of this executor's groups that have work waiting now.
  ExecutableSet collect_ready_work();
  void associate_group_locked(const rclcpp::CallbackGroup::SharedPtr & group);
  static void release_group(const rclcpp::CallbackGroup::SharedPtr & group);

  std::shared_ptr<WaitState> wait_state_;
  rclcpp::OnShutdownCallbackHandle shutdown_callback_handle_;
  // Guarded by wait_state_->mutex.
  std::vector<rclcpp::Node::WeakPtr> weak_nodes_;
  std::vector<NodeGroup> node_groups_;
  size_t next_scan_start_ = 0;
  struct Candidate
  {
    rclcpp::CallbackGroup::SharedPtr group;
    std::shared_ptr<rclcpp::detail::Executable> executable;
    size_t place;
  };
  std::vector<Candidate> candidates_;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_HPP_
