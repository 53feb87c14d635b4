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

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "quorvex_lumidra_diagnosis/diagnosis.hpp"

namespace
{

std_msgs::msg::Header headerAt(int32_t sec, uint32_t nanosec, const std::string & frame = "")
{
  std_msgs::msg::Header header;
  header.stamp.sec = sec;
  header.stamp.nanosec = nanosec;
  header.frame_id = frame;
  return header;
}

TEST(Diagnosis, IsOneInstancePerProcess)
{
  EXPECT_EQ(&Diagnosis::getInstance(), &Diagnosis::getInstance());
  Diagnosis * from_other_thread = nullptr;
  std::thread([&] {from_other_thread = &Diagnosis::getInstance();}).join();
  EXPECT_EQ(from_other_thread, &Diagnosis::getInstance());
}

TEST(Diagnosis, RemembersReportsPerSensor)
{
  Diagnosis & diagnosis = Diagnosis::getInstance();
  EXPECT_EQ(diagnosis.sensorReportCount("/remember/a"), 0u);
  EXPECT_FALSE(diagnosis.sensorRecord("/remember/a").has_value());

  const std::size_t calibrations = diagnosis.calibrationReportCount();
  diagnosis.SensorCalibrationStatusReport();
  EXPECT_EQ(diagnosis.calibrationReportCount(), calibrations + 1);

  diagnosis.SensorReportWithHeader("first_node", "/remember/a", headerAt(1, 2));
  diagnosis.SensorReportWithHeader("second_node", "/remember/a", headerAt(3, 4, "f"));
  diagnosis.SensorReportWithHeader("first_node", "/remember/b", headerAt(5, 6));

  const auto a = diagnosis.sensorRecord("/remember/a");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->report_count, 2u);
  EXPECT_EQ(a->last_reporter, "second_node");
  EXPECT_EQ(a->last_header, headerAt(3, 4, "f"));
  EXPECT_EQ(diagnosis.sensorReportCount("/remember/b"), 1u);
  // Sensor reports are not calibration reports.
  EXPECT_EQ(diagnosis.calibrationReportCount(), calibrations + 1);
}

TEST(Diagnosis, CountsEveryReportFromConcurrentReporters)
{
  Diagnosis & diagnosis = Diagnosis::getInstance();
  constexpr int kThreads = 8;
  constexpr int kReportsPerThread = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back(
      [&diagnosis, t] {
        for (int i = 0; i < kReportsPerThread; ++i) {
          diagnosis.SensorReportWithHeader(
            "reporter_" + std::to_string(t), "/concurrent",
            headerAt(t, 0));
          diagnosis.sensorRecord("/concurrent");
        }
      });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  EXPECT_EQ(diagnosis.sensorReportCount("/concurrent"), std::size_t{kThreads * kReportsPerThread});
}

TEST(Diagnosis, HookHoldsTheReporterWithoutBlockingOthers)
{
  Diagnosis & diagnosis = Diagnosis::getInstance();
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<bool> first_call{true};
  diagnosis.setSensorReportHookForTesting(
    [&](const std::string & sensor_id) {
      if (sensor_id == "/hook/slow" && first_call.exchange(false)) {
        entered.set_value();
        released.wait();
      }
    });

  std::thread slow([&] {diagnosis.SensorReportWithHeader("slow", "/hook/slow", headerAt(1, 0));});
  ASSERT_EQ(entered.get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);

  // While the slow report is held, other reports and queries go through.
  diagnosis.SensorReportWithHeader("fast", "/hook/fast", headerAt(2, 0));
  EXPECT_EQ(diagnosis.sensorReportCount("/hook/fast"), 1u);
  EXPECT_EQ(diagnosis.sensorReportCount("/hook/slow"), 0u);

  release.set_value();
  slow.join();
  EXPECT_EQ(diagnosis.sensorReportCount("/hook/slow"), 1u);

  diagnosis.setSensorReportHookForTesting({});
  diagnosis.SensorReportWithHeader("slow", "/hook/slow", headerAt(3, 0));
  EXPECT_EQ(diagnosis.sensorReportCount("/hook/slow"), 2u);
}

}  // namespace
