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

#include "rclcpp/executor.hpp"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/detail/context_checks.hpp"

namespace rclcpp
{

/// Shared with the wake-up hooks given to groups, nodes and the context, which may outlive the
/// executor (they only hold it weakly).
struct Executor::WaitState
{
  /// Wakes the thread that went idle last, or all of them. The last one to go idle has just
  /// run a callback: the transport's and the node's data are still in its core's caches, and
  /// the others stay asleep. Handing the work round all eight threads of obsfeed_node in turn
  /// cost it a tenth more CPU time per readings array and a quarter more latency.
  void wake(Wake who)
  {
    std::lock_guard<std::mutex> lock(mutex);
    ++generation;
    groups_changed |= who == Wake::NewGroup;
    // Notified under the lock: a waiter's condition lives on its stack, and it may return as
    // soon as it sees the generation move.
    if (who == Wake::All) {
      for (std::condition_variable * waiter : idle) {
        waiter->notify_one();
      }
      idle.clear();
    } else if (!idle.empty()) {
      idle.back()->notify_one();
      idle.pop_back();
    }
  }

  /// Waits (with `lock` held on `mutex`) until the generation moves on from `seen`, or past the
  /// deadline (then false).
  bool wait(
    std::unique_lock<std::mutex> & lock, uint64_t seen,
    const std::optional<std::chrono::steady_clock::time_point> & deadline)
  {
    std::condition_variable mine;
    idle.push_back(&mine);
    auto something_happened = [this, seen]() {return generation != seen;};
    bool happened = true;
    if (deadline) {
      happened = mine.wait_until(lock, *deadline, something_happened);
    } else {
      mine.wait(lock, something_happened);
    }
    // Still listed if it woke of its own accord (a deadline, a spurious wake-up).
    idle.erase(std::remove(idle.begin(), idle.end(), &mine), idle.end());
    return happened;
  }

  std::mutex mutex;
  // Bumped by every wake-up, so a waiter can tell whether anything happened since it looked.
  uint64_t generation = 0;
  // The threads waiting for work, each on a condition of its own; the last to go idle at the end.
  std::vector<std::condition_variable *> idle;
  // A node made a callback group since the executor last looked at its nodes' groups.
  bool groups_changed = true;
};

namespace
{

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

int64_t steady_ns(std::chrono::steady_clock::time_point time)
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

std::chrono::steady_clock::time_point steady_time(int64_t ns)
{
  return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ns));
}

}  // namespace

Executor::Executor(const rclcpp::ExecutorOptions & options)
: spinning(false),
  context_(options.context),
  memory_strategy_(options.memory_strategy),
  wait_state_(std::make_shared<WaitState>())
{
  if (!context_) {
    throw std::invalid_argument("context argument unexpectedly nullptr");
  }
  detail::throw_unless_guard_condition_possible(*context_);
  shutdown_callback_handle_ =
    context_->add_on_shutdown_callback(make_waker(wait_state_, Wake::All));
}

Executor::~Executor()
{
  context_->remove_on_shutdown_callback(shutdown_callback_handle_);
  std::lock_guard<std::mutex> lock(wait_state_->mutex);
  for (const auto & entry : node_groups_) {
    if (auto group = entry.group.lock()) {
      release_group(group);
    }
  }
  for (const auto & weak_node : weak_nodes_) {
    if (auto node = weak_node.lock()) {
      node->set_executor_notifier(nullptr);
      node->get_associated_with_executor_atomic().store(false);
    }
  }
}

std::vector<rclcpp::CallbackGroup::WeakPtr> Executor::get_all_callback_groups()
{
  return get_automatically_added_callback_groups_from_nodes();
}

std::vector<rclcpp::CallbackGroup::WeakPtr>
Executor::get_automatically_added_callback_groups_from_nodes()
{
  std::lock_guard<std::mutex> lock(wait_state_->mutex);
  collect_node_groups_locked();
  std::vector<rclcpp::CallbackGroup::WeakPtr> groups;
  for (const auto & entry : node_groups_) {
    groups.push_back(entry.group);
  }
  return groups;
}

void Executor::add_node(rclcpp::Node::SharedPtr node_ptr, bool notify)
{
  if (!node_ptr) {
    throw std::invalid_argument("node cannot be null");
  }
  if (node_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error(
            std::string("Node '") + node_ptr->get_fully_qualified_name() +
            "' has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(wait_state_->mutex);
    weak_nodes_.push_back(node_ptr);
    // Groups the node creates later wake us, and the next look for work claims them.
    node_ptr->set_executor_notifier(make_waker(wait_state_, Wake::NewGroup));
    collect_node_groups_locked();
  }
  if (notify) {
    wake(Wake::All);
  }
}

void Executor::remove_node(rclcpp::Node::SharedPtr node_ptr, bool notify)
{
  {
    std::lock_guard<std::mutex> lock(wait_state_->mutex);
    auto found = std::find_if(
      weak_nodes_.begin(), weak_nodes_.end(),
      [&node_ptr](const rclcpp::Node::WeakPtr & weak) {return weak.lock() == node_ptr;});
    if (!node_ptr || found == weak_nodes_.end()) {
      throw std::runtime_error("Node needs to be associated with this executor.");
    }
    weak_nodes_.erase(found);
    auto belongs_to_node = [&node_ptr](const NodeGroup & entry) {
        return entry.node.lock() == node_ptr;
      };
    for (const auto & entry : node_groups_) {
      if (belongs_to_node(entry)) {
        if (auto group = entry.group.lock()) {
          release_group(group);
        }
      }
    }
    node_groups_.erase(
      std::remove_if(node_groups_.begin(), node_groups_.end(), belongs_to_node),
      node_groups_.end());
    node_ptr->set_executor_notifier(nullptr);
    node_ptr->get_associated_with_executor_atomic().store(false);
  }
  if (notify) {
    wake(Wake::All);
  }
}

void Executor::spin_node_some(rclcpp::Node::SharedPtr node)
{
  add_node(node, false);
  try {
    spin_some();
  } catch (...) {
    remove_node(node, false);
    throw;
  }
  remove_node(node, false);
}

void Executor::spin_some(std::chrono::nanoseconds max_duration)
{
  spin_some_impl(max_duration, false);
}

void Executor::spin_all(std::chrono::nanoseconds max_duration)
{
  if (max_duration < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("max_duration must be greater than or equal to 0");
  }
  spin_some_impl(max_duration, true);
}

void Executor::spin_some_impl(std::chrono::nanoseconds max_duration, bool exhaustive)
{
  const auto start = std::chrono::steady_clock::now();
  auto time_left = [&]() {
      return max_duration == std::chrono::nanoseconds::zero() ||
             std::chrono::steady_clock::now() - start < max_duration;
    };
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin_some() called while already spinning");
  }
  SpinningReset reset_spinning{spinning};
  // Like Humble's wait set, a round is fixed when it starts: it serves each member that had
  // work then (a message, an expired timer), once, and not those that get some meanwhile.
  // spin_some runs one round; spin_all runs rounds until one finds nothing to do.
  auto still_spinning = [&]() {return context_is_valid() && spinning.load() && time_left();};
  while (still_spinning()) {
    ExecutableSet round = collect_ready_work();
    bool worked = false;
    while (!round.empty() && still_spinning()) {
      AnyExecutable any_exec;
      if (!get_next_executable(any_exec, std::chrono::nanoseconds::zero(), &round)) {
        break;
      }
      round.erase(any_exec.executable.get());
      worked = true;
      execute_any_executable(any_exec);
    }
    if (!exhaustive || !worked) {
      break;
    }
  }
}

void Executor::spin_once(std::chrono::nanoseconds timeout)
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin_once() called while already spinning");
  }
  SpinningReset reset_spinning{spinning};
  spin_once_impl(timeout);
}

void Executor::spin_once_impl(std::chrono::nanoseconds timeout)
{
  AnyExecutable any_exec;
  if (get_next_executable(any_exec, timeout)) {
    execute_any_executable(any_exec);
  }
}

void Executor::cancel()
{
  spinning.store(false);
  wake(Wake::All);
}

void Executor::set_memory_strategy(
  rclcpp::memory_strategy::MemoryStrategy::SharedPtr memory_strategy)
{
  if (!memory_strategy) {
    throw std::runtime_error("Received NULL memory strategy in executor.");
  }
  memory_strategy_ = std::move(memory_strategy);
}

bool Executor::is_spinning()
{
  return spinning.load();
}

bool Executor::context_is_valid() const
{
  return context_->is_valid();
}

bool Executor::get_next_executable(
  AnyExecutable & any_executable, std::chrono::nanoseconds timeout,
  const ExecutableSet * only)
{
  std::optional<std::chrono::steady_clock::time_point> deadline;
  if (timeout >= std::chrono::nanoseconds::zero()) {
    deadline = std::chrono::steady_clock::now() + timeout;
  }
  while (true) {
    bool more_ready = false;
    if (!claim_when_ready(any_executable, deadline, only, more_ready)) {
      return false;
    }
    // Each arrival woke one thread; work that was already waiting (or arrived together) needs
    // another.
    if (more_ready) {
      wake(Wake::One);
    }
    // Taken outside the lock, so decoding a sample from another process holds up neither the
    // other threads nor the transport's wake-ups, but at once, not after the yield before the
    // callback: a keep-last queue hands over the message that was there when the work was picked.
    any_executable.data = any_executable.executable->take_work();
    if (any_executable.data) {
      return true;
    }
    // Another thread of a reentrant group took it first.
    release_claim(any_executable.callback_group, any_executable.executable);
    any_executable = AnyExecutable();
  }
}

bool Executor::claim_when_ready(
  AnyExecutable & any_executable,
  const std::optional<std::chrono::steady_clock::time_point> & deadline,
  const ExecutableSet * only, bool & more_ready)
{
  std::unique_lock<std::mutex> lock(wait_state_->mutex);
  while (true) {
    if (!spinning.load() || !context_is_valid()) {
      return false;
    }
    auto wake_at = std::chrono::steady_clock::time_point::max();
    if (claim_ready_locked(any_executable, only, more_ready, wake_at)) {
      return true;
    }
    // Anything that could make work ready bumps the generation under this mutex, so nothing
    // that happens after the look above can be missed; a timer's expiry is waited for.
    const bool timer_first =
      wake_at != std::chrono::steady_clock::time_point::max() && (!deadline || wake_at < *deadline);
    const auto wait_until = timer_first ? std::optional(wake_at) : deadline;
    if (!wait_state_->wait(lock, wait_state_->generation, wait_until) && !timer_first) {
      return false;
    }
  }
}

void Executor::execute_any_executable(AnyExecutable & any_exec)
{
  if (!any_exec.executable) {
    return;
  }
  // Reopens a mutually exclusive group however the callback ends.
  struct ClaimRelease
  {
    Executor & executor;
    const AnyExecutable & any_exec;
    ~ClaimRelease() {executor.release_claim(any_exec.callback_group, any_exec.executable);}
  } release{*this, any_exec};
  any_exec.executable->execute_work(std::move(any_exec.data));
}

void Executor::release_claim(
  const rclcpp::CallbackGroup::SharedPtr & group,
  const std::shared_ptr<rclcpp::detail::Executable> & executable)
{
  if (!group) {
    return;
  }
  // The look that claimed the work left this member out of the group's state: what it has
  // left (a message behind the one taken, a timer's next expiry) goes back in.
  if (executable->has_work()) {
    group->may_have_work_.store(true);
  }
  const int64_t expiry = steady_ns(executable->next_work_time());
  int64_t known = group->next_expiry_ns_.load();
  while (expiry < known && !group->next_expiry_ns_.compare_exchange_weak(known, expiry)) {
  }
  if (group->type() != CallbackGroupType::MutuallyExclusive) {
    return;
  }
  group->can_be_taken_from().store(true);
  // Work that came for the group meanwhile (a message, an expiry) woke a thread that had to
  // pass it by: wake one to take it now. Without it, nobody needs waking.
  const int64_t next_expiry = group->next_expiry_ns_.load();
  if (group->may_have_work_.load() ||
    (next_expiry != kNever && next_expiry <= steady_ns(std::chrono::steady_clock::now())))
  {
    wake(Wake::One);
  }
}

void Executor::wake(Wake who)
{
  wait_state_->wake(who);
}

void Executor::associate_group_locked(const rclcpp::CallbackGroup::SharedPtr & group)
{
  // What another executor knew of the group says nothing here: the first look takes it all in.
  group->may_have_work_.store(true);
  group->set_executor_notifier(make_waker(wait_state_, Wake::One));
}

void Executor::release_group(const rclcpp::CallbackGroup::SharedPtr & group)
{
  group->set_executor_notifier(nullptr);
  group->get_associated_with_executor_atomic().store(false);
}

void Executor::collect_node_groups_locked()
{
  wait_state_->groups_changed = false;
  weak_nodes_.erase(
    std::remove_if(
      weak_nodes_.begin(), weak_nodes_.end(),
      [](const rclcpp::Node::WeakPtr & weak) {return weak.expired();}),
    weak_nodes_.end());
  for (const auto & weak_node : weak_nodes_) {
    auto node = weak_node.lock();
    node->for_each_callback_group(
      [this, &node](const rclcpp::CallbackGroup::SharedPtr & group) {
        if (group->automatically_add_to_executor_with_node() &&
        !group->get_associated_with_executor_atomic().exchange(true))
        {
          node_groups_.push_back({node, group});
          associate_group_locked(group);
        }
      });
  }
}

Executor::ExecutableSet Executor::collect_ready_work()
{
  std::lock_guard<std::mutex> lock(wait_state_->mutex);
  collect_node_groups_locked();
  ExecutableSet ready;
  for (const auto & entry : node_groups_) {
    if (auto group = entry.group.lock()) {
      group->find_executable_if(
        [&ready](const std::shared_ptr<detail::Executable> & executable) {
          if (executable->has_work()) {
            ready.insert(executable.get());
          }
          return false;
        });
    }
  }
  return ready;
}

bool Executor::claim_ready_locked(
  AnyExecutable & any_executable, const ExecutableSet * only, bool & more_ready,
  std::chrono::steady_clock::time_point & next_work_time)
{
  if (wait_state_->groups_changed) {
    collect_node_groups_locked();
  }
  // Only members with work become candidates (kept from one look to the next, emptied after
  // each, so looking allocates nothing), each with its place among the members of the groups
  // that can be taken from: the round robin goes by place, as if the idle ones were there.
  auto & candidates = candidates_;
  size_t places = 0;
  int64_t now = kNever;
  int64_t earliest_expiry = kNever;
  for (auto & entry : node_groups_) {
    auto group = entry.group.lock();
    // Nothing of a busy group can start; its release looks whether work waits for it.
    if (!group || !group->can_be_taken_from().load()) {
      continue;
    }
    // A group without arrivals since its last look has work only once a timer expires: the
    // look passes it by until then (a round of spin_some looks at everything).
    const bool whole_look = only != nullptr;
    if (!whole_look && !group->may_have_work_.load()) {
      const int64_t expiry = group->next_expiry_ns_.load();
      if (expiry != kNever && now == kNever) {
        now = steady_ns(std::chrono::steady_clock::now());
      }
      if (expiry == kNever || expiry > now) {
        places += entry.members;
        earliest_expiry = std::min(earliest_expiry, expiry);
        continue;
      }
    }
    // Cleared before asking the members: an arrival meanwhile sets it again.
    if (!whole_look) {
      group->may_have_work_.store(false);
    }
    size_t members = 0;
    int64_t group_expiry = kNever;
    group->find_executable_if(
      [&](const std::shared_ptr<detail::Executable> & executable) {
        if (only && only->count(executable.get()) == 0) {
          return false;
        }
        ++members;
        if (executable->has_work()) {
          candidates.push_back({group, executable, places++});
          return false;
        }
        ++places;
        group_expiry = std::min(group_expiry, steady_ns(executable->next_work_time()));
        return false;
      });
    if (!whole_look) {
      entry.members = members;
      group->next_expiry_ns_.store(group_expiry);
    }
    earliest_expiry = std::min(earliest_expiry, group_expiry);
  }
  if (earliest_expiry != kNever) {
    next_work_time = std::min(next_work_time, steady_time(earliest_expiry));
  }
  // From the first candidate at or after the place where the last look left off, round.
  const size_t start = places == 0 ? 0 : next_scan_start_ % places;
  const size_t first = static_cast<size_t>(
    std::find_if(
      candidates.begin(), candidates.end(),
      [start](const Candidate & candidate) {return candidate.place >= start;}) -
    candidates.begin());
  bool claimed = false;
  for (size_t i = 0; i < candidates.size(); ++i) {
    auto & candidate = candidates[(first + i) % candidates.size()];
    const bool exclusive = candidate.group->type() == CallbackGroupType::MutuallyExclusive;
    if (claimed) {
      more_ready = !exclusive || candidate.group->can_be_taken_from().load();
      if (more_ready) {
        break;
      }
      continue;
    }
    // Claim the group now, so no other thread starts one of its callbacks before this one ran.
    if (exclusive && !candidate.group->can_be_taken_from().exchange(false)) {
      continue;
    }
    next_scan_start_ = candidate.place + 1;
    any_executable.executable = std::move(candidate.executable);
    any_executable.callback_group = std::move(candidate.group);
    claimed = true;
  }
  // The work left behind keeps its groups in the next look.
  for (const auto & candidate : candidates) {
    if (candidate.group) {
      candidate.group->may_have_work_.store(true);
    }
  }
  candidates.clear();
  return claimed;
}

std::function<void()> Executor::make_waker(const std::weak_ptr<WaitState> & weak_state, Wake who)
{
  return [weak_state, who]() {
           if (auto state = weak_state.lock()) {
             state->wake(who);
           }
         };
}

}  // namespace rclcpp
