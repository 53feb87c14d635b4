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

// What a real Nav2 costmap marks of obsfeed's scans: obsfeed_node and Nav2's standalone
// costmap run as programs, configured by the files obsfeed ships; this test is the robot (its
// readings, its bumper, its sensor frames) and reads the costmap's grid.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "obsfeed_child_process/child_process.hpp"
#include "obsfeed_demo/background_spinner.hpp"
#include "obsfeed_demo/costmap_session.hpp"
#include "obsfeed_demo/robot_layout.hpp"
#include "obsfeed_demo/scan_projection.hpp"
#include "obsfeed_demo/simulated_robot.hpp"
#include "rclcpp/rclcpp.hpp"

namespace
{

using namespace std::chrono_literals;
using obsfeed_child_process::ChildOutput;
using obsfeed_child_process::ChildProcess;
using obsfeed_demo::LethalCells;
using Points = std::vector<Eigen::Vector3d>;
using Readings = std::vector<std::uint16_t>;

bool marked(const LethalCells & grid) {return !grid.centres.empty();}

constexpr std::uint16_t kFar = 0xFFFF;
constexpr std::uint16_t kNoScan = 0xEEEE;

/// What the programs start with.
struct RigFiles
{
  std::string layout;
  std::vector<std::string> node_arguments;
  std::vector<std::string> costmap_params;
};

/// The robot of the files obsfeed ships, obsfeed_node with its defaults.
RigFiles shippedRig() {return {SENSOR_LAYOUT, {}, {NAV2_OBSTACLE_LAYER, COSTMAP_STANDALONE}};}

/// A fourth, vertically mounted sensor (ultrasonic_laser4) with its observation source as the
/// shipped file tells a team to add one, and use_inf on from the start.
RigFiles verticalRig()
{
  return {
    VERTICAL_LAYOUT,
    {"--ros-args", "-p", "ultrasonic.device_pose:=[hor, hor, hor, ver]", "-p",
      "ultrasonic.use_inf:=true"},
    {NAV2_OBSTACLE_LAYER, VERTICAL_SOURCE, COSTMAP_STANDALONE}};
}

/// The programs, the robot and the costmap, started once for all cases of a suite: the costmap
/// takes seconds to come up.
struct Rig
{
  explicit Rig(const RigFiles & files)
  : layout(obsfeed_demo::loadRobotLayout(files.layout)),
    node(OBSFEED_NODE, files.node_arguments, {}, ChildOutput::inherited()),
    costmap(
      COSTMAP_PROGRAM, obsfeed_demo::CostmapSession::programArguments(files.costmap_params, layout),
      {}, ChildOutput::inherited()),
    robot(std::make_shared<obsfeed_demo::SimulatedRobot>(layout.sensors.size())),
    session(robot, layout),
    spinner(robot)
  {
    session.bringUp(60s);
  }

  obsfeed_demo::RobotLayout layout;
  ChildProcess node;
  ChildProcess costmap;
  std::shared_ptr<obsfeed_demo::SimulatedRobot> robot;
  obsfeed_demo::CostmapSession session;
  // Last, so that it stops before anything its callbacks reach goes away.
  obsfeed_demo::BackgroundSpinner spinner;
};

bool everyRayIsNaN(const obsfeed_demo::SimulatedRobot::LaserScan & scan)
{
  return !scan.ranges.empty() && std::all_of(
    scan.ranges.begin(), scan.ranges.end(), [](float range) {return std::isnan(range);});
}

class CostmapMarks : public testing::Test
{
protected:
  static void SetUpTestSuite() {rig_ = std::make_unique<Rig>(shippedRig());}
  static void TearDownTestSuite() {rig_.reset();}

  void SetUp() override {startClean();}
  void TearDown() override
  {
    if (use_inf_set_) {
      setUseInf(false);
    }
  }

  /// Sets ultrasonic.use_inf on the running obsfeed_node, as a team does with `ros2 param set`.
  void setUseInf(bool on)
  {
    use_inf_set_ = on;
    setParameter(rclcpp::Parameter("ultrasonic.use_inf", on));
  }

  static void setParameter(const rclcpp::Parameter & parameter)
  {
    rclcpp::AsyncParametersClient parameters(rig_->robot, "/costmap_input");
    ASSERT_TRUE(parameters.wait_for_service(10s));
    auto result = parameters.set_parameters({parameter});
    ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
    ASSERT_TRUE(result.get().at(0).successful);
  }

  /// Every sensor's newest scan without returns, the costmap cleared, no lethal cell left.
  static void startClean()
  {
    send(Readings(rig_->layout.sensors.size(), kFar));
    rig_->session.clearEntirely(10s);
    EXPECT_TRUE(gridWhere([](const LethalCells & grid) {return grid.centres.empty();}));
  }

  /// Sends the readings and returns the returns of their scans, in base_footprint.
  static Points send(const Readings & readings)
  {
    Points returns;
    const auto scans = rig_->robot->sendReadings(readings, 10s);
    for (std::size_t i = 0; i < scans.size(); ++i) {
      if (scans[i]) {
        const Points points =
          obsfeed_demo::scanReturns(*scans[i], rig_->layout.sensors[i].inBase());
        returns.insert(returns.end(), points.begin(), points.end());
      }
    }
    return returns;
  }

  static Readings onlySensor(std::size_t sensor, std::uint16_t millimetres)
  {
    Readings readings(rig_->layout.sensors.size(), kFar);
    readings[sensor] = millimetres;
    return readings;
  }

  /// The first grid for which @p holds is true, if one comes within a few seconds.
  static std::optional<LethalCells> gridWhere(
    const std::function<bool(const LethalCells &)> & holds)
  {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    std::uint64_t seen = rig_->session.gridsSeen();
    while (std::chrono::steady_clock::now() < deadline) {
      const LethalCells grid = rig_->session.gridAfter(seen++, 5s);
      if (holds(grid)) {
        return grid;
      }
    }
    return std::nullopt;
  }

  /// A grid from a costmap that has had time to take in everything sent so far: it updates and
  /// publishes ten times a second.
  static LethalCells settledGrid()
  {
    return rig_->session.gridAfter(rig_->session.gridsSeen() + 3, 5s);
  }

  /// Every return has a lethal cell and, @p exactly, every lethal cell lies at a return. Near
  /// is within one cell of a cell's own extent: the costmap and this test round the same point
  /// into neighbouring cells at a border.
  static void expectMarks(const LethalCells & grid, const Points & returns, bool exactly = true)
  {
    const auto near = [&grid](const Eigen::Vector2d & centre, const Eigen::Vector3d & point) {
        return (point.head<2>() - centre).cwiseAbs().maxCoeff() <= 1.5 * grid.resolution;
      };
    EXPECT_FALSE(grid.centres.empty());
    for (const Eigen::Vector3d & point : returns) {
      EXPECT_TRUE(
        std::any_of(
          grid.centres.begin(), grid.centres.end(), [&](const auto & c) {return near(c, point);}))
        << "no lethal cell at the return " << point.transpose();
    }
    for (std::size_t i = 0; exactly && i < grid.centres.size(); ++i) {
      EXPECT_TRUE(
        std::any_of(
          returns.begin(), returns.end(), [&](const auto & p) {return near(grid.centres[i], p);}))
        << "lethal cell at " << grid.centres[i].transpose() << " where no return lies";
    }
  }

  /// Once the costmap shows marks, and has settled, they lie exactly at @p returns.
  static void expectMarksSoon(const Points & returns)
  {
    ASSERT_TRUE(gridWhere(marked));
    expectMarks(settledGrid(), returns);
  }

  /// The grid once the costmap has taken in what was just sent: the grid after next, because
  /// the update under way when the scan arrived may have begun before it.
  static LethalCells nextUpdate()
  {
    return rig_->session.gridAfter(rig_->session.gridsSeen() + 1, 5s);
  }

  /// With use_inf, an obstacle at 100 mm in front of @p sensor that leaves (the sensor reads
  /// @p gone, without a return) is cleared one update later. Nav2 (inf_is_valid) makes a point
  /// 0.1 mm short of range_max of +Inf, beyond obstacle_max_range so that it marks nothing,
  /// and clears along Bresenham lines from the centre of the sensor's cell to each point.
  /// Those may pass beside the cell where a ray's return lay at the edge of the fan: when the
  /// obstacle leaves at once, one such cell may stay. When it walks away as it came, the
  /// costmap is clean.
  static void expectAnObstacleThatLeavesToBeCleared(std::size_t sensor, std::uint16_t gone)
  {
    SCOPED_TRACE(rig_->layout.sensors[sensor].frame_id + ", then " + std::to_string(gone));
    const Points returns = send(onlySensor(sensor, 100));
    ASSERT_FALSE(returns.empty());
    expectMarksSoon(returns);
    const LethalCells marks = settledGrid();
    EXPECT_TRUE(send(onlySensor(sensor, gone)).empty());
    const LethalCells left = nextUpdate();
    EXPECT_LE(left.centres.size(), 1u);
    for (const Eigen::Vector2d & centre : left.centres) {
      EXPECT_EQ(std::count(marks.centres.begin(), marks.centres.end(), centre), 1)
        << "newly marked: " << centre.transpose();
    }

    for (const std::uint16_t millimetres : {100, 140, 180}) {
      send(onlySensor(sensor, millimetres));
      nextUpdate();
    }
    send(onlySensor(sensor, gone));
    EXPECT_TRUE(nextUpdate().centres.empty());
  }
  static std::unique_ptr<Rig> rig_;
  bool use_inf_set_ = false;
};

std::unique_ptr<Rig> CostmapMarks::rig_;

/// The same cases, on a robot with a vertical sensor as the fourth.
class CostmapMarksWithAVerticalSensor : public CostmapMarks
{
protected:
  static void SetUpTestSuite() {rig_ = std::make_unique<Rig>(verticalRig());}
};

TEST_F(CostmapMarks, NearReadingMarksLethalCellsWhereThatSensorLooksAndNowhereElse)
{
  for (std::size_t sensor = 0; sensor < rig_->layout.sensors.size(); ++sensor) {
    SCOPED_TRACE(rig_->layout.sensors[sensor].frame_id);
    if (sensor > 0) {
      startClean();
    }
    const Points returns = send(onlySensor(sensor, 100));
    ASSERT_EQ(returns.size(), 100u);  // 0.05 m: every ray a return
    expectMarksSoon(returns);
  }
}

TEST_F(CostmapMarks, ReadingsThatGiveNoReturnMarkNothing)
{
  // Beyond the 0.2 m range limit, no echo, no scan at all; then nothing at all and 15 mm,
  // which the safe angle's cosine shortens below range_min.
  EXPECT_TRUE(send({250, kFar, kNoScan}).empty());
  EXPECT_TRUE(send({0, 15, kFar}).empty());
  EXPECT_TRUE(settledGrid().centres.empty());
  // The costmap was listening all along: the next return marks.
  expectMarksSoon(send(onlySensor(2, 100)));
}

TEST_F(CostmapMarks, AFarReadingClearsNothingAFartherReturnClearsTheWayToIt)
{
  const Points near_returns = send(onlySensor(1, 100));
  ASSERT_TRUE(gridWhere(marked));
  const LethalCells before = settledGrid();
  expectMarks(before, near_returns);

  // The obstacle leaves the sensor's range: the marks stay where they were.
  send(onlySensor(1, kFar));
  EXPECT_EQ(settledGrid().centres, before.centres);

  // It is seen again, farther away: the rays to it clear the cells they cross, most of the old
  // marks (a cell beside the sensor that no ray crosses keeps its mark).
  const Points far_returns = send(onlySensor(1, 190));
  ASSERT_TRUE(
    gridWhere(
      [&](const LethalCells & grid) {
        return grid.centres != before.centres && marked(grid);
      }));
  const LethalCells after = settledGrid();
  expectMarks(after, far_returns, false);
  std::size_t kept = 0;
  for (const Eigen::Vector2d & centre : before.centres) {
    kept += std::count(after.centres.begin(), after.centres.end(), centre);
  }
  EXPECT_LT(kept, before.centres.size() / 2);
}

TEST_F(CostmapMarks, RaisingTheRangeLimitAtRunTimeLetsFartherReadingsMark)
{
  EXPECT_TRUE(send(onlySensor(1, 300)).empty());
  EXPECT_TRUE(settledGrid().centres.empty());

  rclcpp::AsyncParametersClient parameters(rig_->robot, "/costmap_input");
  ASSERT_TRUE(parameters.wait_for_service(10s));
  auto set = [&](double range_max) {
      auto result =
        parameters.set_parameters({rclcpp::Parameter("ultrasonic.hor_range_max", range_max)});
      ASSERT_EQ(result.wait_for(10s), std::future_status::ready);
      ASSERT_TRUE(result.get().at(0).successful);
    };
  set(0.4);
  const Points returns = send(onlySensor(1, 300));
  set(0.2);
  ASSERT_EQ(returns.size(), 100u);  // 0.15 m now lies within the range
  expectMarksSoon(returns);
}

TEST_F(CostmapMarks, WithUseInfAnObstacleThatLeavesIsClearedAtTheNextUpdate)
{
  setUseInf(true);
  // No echo, and a reading beyond the range limit.
  expectAnObstacleThatLeavesToBeCleared(0, kFar);
  expectAnObstacleThatLeavesToBeCleared(1, 250);
  expectAnObstacleThatLeavesToBeCleared(2, kFar);
}

TEST_F(CostmapMarksWithAVerticalSensor, AnObstacleThatLeavesIsClearedAtTheNextUpdate)
{
  ASSERT_EQ(rig_->layout.sensors.size(), 4u);
  expectAnObstacleThatLeavesToBeCleared(3, kFar);
  expectAnObstacleThatLeavesToBeCleared(3, 401);
}

// A sensor that reads only 0xEEEE sends one scan of NaN after ultrasonic.stale_timeout (1 s):
// Nav2 then stops marking its last return again on every update, so that a clear-costmap
// request clears it for good.
TEST_F(CostmapMarks, WithUseInfASkippedSensorsLastReturnNoLongerOutlivesClearing)
{
  setUseInf(true);
  expectMarksSoon(send(onlySensor(1, 100)));
  const std::uint64_t seen = rig_->robot->scanCount(1);
  send(onlySensor(1, kNoScan));
  EXPECT_TRUE(everyRayIsNaN(rig_->robot->scanAfter(1, seen, 5s)));

  rig_->session.clearEntirely(10s);
  EXPECT_TRUE(settledGrid().centres.empty());
}

// While the middle sensor reads no echo, its +Inf scan clears its fan on every update, even what
// the bumper marked there once the bumper's observation has expired (2 s). When the readings
// stop altogether, its NaN scan (1 s later) ends that: the bumper's marks stay whole.
TEST_F(CostmapMarks, WithUseInfASensorWhoseReadingsStopStopsClearingItsFan)
{
  setUseInf(true);
  const Eigen::Isometry3d middle = rig_->layout.sensors[1].inBase();
  // Well inside its +Inf fan (0.2 m, +-0.218 rad), where its rays cross every cell.
  const auto in_fan = [&middle](const Eigen::Vector2d & centre) {
      const Eigen::Vector3d local =
        middle.inverse() * Eigen::Vector3d(centre.x(), centre.y(), middle.translation().z());
      return local.head<2>().norm() < 0.17 && std::abs(std::atan2(local.y(), local.x())) < 0.15;
    };
  const Readings no_echo(rig_->layout.sensors.size(), kFar);

  // The readings go on (more often than the 1 s timeout): the fan is cleared once the arc
  // is no longer marked again.
  auto contact = std::chrono::steady_clock::now();
  rig_->robot->pressBumper(10s);
  std::optional<LethalCells> hit = gridWhere(marked);
  ASSERT_TRUE(hit);
  const std::size_t arc_in_fan = std::count_if(hit->centres.begin(), hit->centres.end(), in_fan);
  // Each of the arc's few rays ahead falls beyond the fan with a chance of 0.3.
  ASSERT_GT(arc_in_fan, 0u) << "the arc missed the middle sensor's fan";
  while (std::chrono::steady_clock::now() < contact + 2500ms) {
    send(no_echo);
    std::this_thread::sleep_for(200ms);
  }
  // (The outer sensors' fans may clear a few cells of the arc's sides too.)
  const LethalCells cleared = settledGrid();
  EXPECT_EQ(std::count_if(cleared.centres.begin(), cleared.centres.end(), in_fan), 0);
  EXPECT_LE(cleared.centres.size(), hit->centres.size() - arc_in_fan);

  // They stop: once the sensor has sent its NaN scan, nothing clears the arc any more.
  rig_->session.clearEntirely(10s);
  const std::uint64_t seen = rig_->robot->scanCount(1);
  send(no_echo);
  EXPECT_TRUE(everyRayIsNaN(rig_->robot->scanAfter(1, seen + 1, 5s)));
  contact = std::chrono::steady_clock::now();
  rig_->robot->pressBumper(10s);
  hit = gridWhere(marked);
  ASSERT_TRUE(hit);
  EXPECT_GT(std::count_if(hit->centres.begin(), hit->centres.end(), in_fan), 0);
  std::this_thread::sleep_until(contact + 2500ms);
  EXPECT_EQ(settledGrid().centres, hit->centres);
}

// Last: the arc outlives the clearing that the other cases start with for as long as the
// shipped configuration keeps the bumper's observation.
TEST_F(CostmapMarks, BumperContactMarksAnArcAheadOfTheRobotThatOutlivesClearingForAWhile)
{
  const auto contact = std::chrono::steady_clock::now();
  const obsfeed_demo::SimulatedRobot::LaserScan arc = rig_->robot->pressBumper(10s);
  // One scan is marked in one update: the first grid that shows it shows all of it.
  const std::optional<LethalCells> hit = gridWhere(marked);
  ASSERT_TRUE(hit);

  // Within its observation_persistence (2 s) the arc is marked again after a clear-costmap
  // request, as on every update.
  rig_->session.clearEntirely(10s);
  ASSERT_LT(std::chrono::steady_clock::now() - contact, 1500ms) << "too slow to tell";
  EXPECT_EQ(rig_->session.gridAfter(rig_->session.gridsSeen() + 2, 5s).centres, hit->centres);

  const Points returns = obsfeed_demo::scanReturns(arc);
  ASSERT_EQ(returns.size(), 144u);
  expectMarks(*hit, returns);
  for (const Eigen::Vector2d & centre : hit->centres) {
    EXPECT_NEAR(centre.norm(), 0.575, 0.055 + hit->resolution) << centre.transpose();
    EXPECT_LE(std::abs(std::atan2(centre.y(), centre.x())), 0.63 + 0.05) << centre.transpose();
  }

  // After it, the cells stay until something clears them; a clear-costmap request does.
  std::this_thread::sleep_until(contact + 2500ms);
  EXPECT_EQ(settledGrid().centres, hit->centres);
  rig_->session.clearEntirely(10s);
  EXPECT_TRUE(settledGrid().centres.empty());
}

}  // namespace

int main(int argc, char ** argv)
{
  testing::InitGoogleTest(&argc, argv);
  // The node listens on fixed absolute topics: a test running at the same time elsewhere on this
  // machine must not feed it, so this test and its programs get a DDS domain of their own.
  setenv("ROS_DOMAIN_ID", std::to_string(1 + getpid() % 100).c_str(), 1);
  rclcpp::init(argc, argv);
  const int result = RUN_ALL_TESTS();
  rclcpp::shutdown();
  return result;
}
