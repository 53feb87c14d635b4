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

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "quorvex_lumidra_diagnosis/diagnosis.hpp"
#include "support/node_harness.hpp"
#include "support/log_capture.hpp"

namespace
{

using obsfeed_test::RunningNode;

// Whatever name the robot gives the node, its section of the parameter file configures it (every
// node test serves under a name of its own).
TEST_F(RunningNode, ANodeOfAnyNameTakesItsSectionAndServes)
{
  const std::size_t calibrations = Diagnosis::getInstance().calibrationReportCount();
  auto node = startNode("obstacle_feed_rear");
  EXPECT_EQ(std::string(node->get_fully_qualified_name()), "/obstacle_feed_rear");
  EXPECT_TRUE(node->get_parameter("debug").as_bool());
  EXPECT_EQ(Diagnosis::getInstance().calibrationReportCount(), calibrations + 1);
}

class EffectiveLevel : public ::testing::Test
{
protected:
  void TearDown() override {unsetenv("SPDLOG_LEVEL");}
};

TEST_F(EffectiveLevel, ReadsTheLevelNameInAnyCaseAtEveryCall)
{
  // The node's first line shows the level its query reads, not the one the logger (already
  // set up by now, at info) uses.
  setenv("SPDLOG_LEVEL", "WARNING", 1);
  std::shared_ptr<costmap_input::CostmapInput> node;
  {
    obsfeed_test::LogCapture capture;
    node = std::make_shared<costmap_input::CostmapInput>("core_level_query");
    EXPECT_EQ(capture.linesContaining("log_level:").size(), 1u);
    EXPECT_EQ(capture.linesContaining("[INFO] log_level: 3").size(), 1u);
  }
  unsetenv("SPDLOG_LEVEL");
  EXPECT_EQ(node->GetSpdlogEffectiveLevel(), 2);
  const std::map<std::string, int> expected{
    {"trace", 0}, {"debug", 1}, {"info", 2}, {"warning", 3}, {"error", 4}, {"critical", 5},
    {"off", 6}, {"WARNING", 3}, {"Warning", 3}, {"Error", 4}, {"OFF", 6}, {"CriTical", 5},
    // Names the query does not know fall back to info.
    {"warn", 2}, {"err", 2}, {"", 2}, {" info", 2}, {"verbose", 2}};
  for (const auto & [value, level] : expected) {
    setenv("SPDLOG_LEVEL", value.c_str(), 1);
    EXPECT_EQ(node->GetSpdlogEffectiveLevel(), level) << "SPDLOG_LEVEL='" << value << "'";
  }
}

}  // namespace
