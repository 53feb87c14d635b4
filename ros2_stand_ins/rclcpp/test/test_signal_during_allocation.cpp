// Copyright 2026 obsfeed developers. Apache-2.0.

// Humble's signal handler logs, and so allocates, in signal context: a signal that interrupts a
// thread holding the allocator's lock deadlocks that thread in the handler, and the stop request
// is lost for good. This handler must not, wherever the signal lands. (Not built against the real
// rclcpp, which fails it.)

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <random>
#include <thread>

#include "rclcpp/utilities.hpp"

TEST(SignalHandler, ASignalThatLandsInTheAllocatorStillShutsDown)
{
  std::mt19937 generator(std::random_device{}());
  int hangs = 0;
  for (int run = 0; run < 200; ++run) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      const char * argv[] = {"child"};
      rclcpp::init(1, argv);
      // Every thread allocates all the time; sizes above the per-thread cache take the lock.
      auto allocate = []() {
          for (std::size_t size = 1; rclcpp::ok(); size = size % 4096 + 1) {
            char * volatile block = new char[size];  // volatile: not optimised away
            delete[] block;
          }
        };
      std::thread other(allocate);
      (void)!write(ready[1], "r", 1);
      allocate();
      other.join();
      _exit(0);
    }
    close(ready[1]);
    char byte;
    (void)!read(ready[0], &byte, 1);
    close(ready[0]);
    std::this_thread::sleep_for(
      std::chrono::microseconds(std::uniform_int_distribution<int>(0, 2000)(generator)));
    kill(pid, run % 2 ? SIGINT : SIGTERM);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ++hangs;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  EXPECT_EQ(hangs, 0);
}
