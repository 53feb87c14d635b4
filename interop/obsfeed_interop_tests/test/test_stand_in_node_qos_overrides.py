# Copyright 2026 obsfeed developers
#
# Licensed under the Apache License, Version 2.0 (the "License");
# you may not use this file except in compliance with the License.
# You may obtain a copy of the License at
#
#     http://www.apache.org/licenses/LICENSE-2.0
#
# Unless required by applicable law or agreed to in writing, software
# distributed under the License is distributed on an "AS IS" BASIS,
# WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
# See the License for the specific language governing permissions and
# limitations under the License.

"""
The stand-in build of obsfeed_node and a robot whose drivers publish best effort.

As real ROS 2 Humble peers and tools see it: heard once the start-up overrides say so, reported
as Humble reports an incompatible peer when they do not.
"""

from rclpy.qos import ReliabilityPolicy

from conftest import ros2, RobotPeer, stand_in_program

OVERRIDE = 'qos_overrides./quorvex_ultrasonic/original_ultrasonic.subscription.reliability'


def test_best_effort_drivers_are_heard_with_overrides_on_the_command_line(domain):
    node = stand_in_program('obsfeed_node', [
        '--ros-args', '-p', OVERRIDE + ':=best_effort',
        '-p', 'qos_overrides./robot_info_level_zero.subscription.reliability:=best_effort',
        '-p', 'qos_overrides./bumper_laser.publisher.reliability:=best_effort'], domain)
    peer = None
    try:
        assert node.wait_for_output('log_level'), node.output()
        peer = RobotPeer(domain, reliability=ReliabilityPolicy.BEST_EFFORT)
        peer.exchange(lambda: peer.send_readings([100, 0xFFFF, 200]), peer.topics)
        peer.exchange(peer.press_bumper, ['bumper_laser'])

        info = ros2('topic', 'info', '--verbose', '--no-daemon', '/bumper_laser', domain=domain,
                    until=lambda r: 'Node name: costmap_input' in r.stdout)
        endpoints = ['Node name: ' + block for block in info.stdout.split('Node name: ')[1:]]
        publishers = [block for block in endpoints if 'Endpoint type: PUBLISHER' in block]
        assert len(publishers) == 1, info
        assert publishers[0].startswith('Node name: costmap_input\n'), info
        assert '  Reliability: BEST_EFFORT\n' in publishers[0], info

        refused = ros2('param', 'set', '--no-daemon', '/costmap_input', OVERRIDE, 'reliable',
                       domain=domain)
        assert refused.stderr.splitlines()[-1] == (
            "Setting parameter failed: parameter '%s' cannot be set because it is read-only"
            % OVERRIDE), refused

        # The same drivers without the override: the node says why it hears nothing.
        plain = stand_in_program('obsfeed_node', ['--ros-args', '-r', '__node:=plain'], domain)
        try:
            assert plain.wait_for_output(
                "[plain]: New publisher discovered on topic "
                "'/quorvex_ultrasonic/original_ultrasonic', offering incompatible QoS. "
                'No messages will be sent to it. Last incompatible policy: RELIABILITY_QOS_POLICY'
            ), plain.output()
        finally:
            assert plain.stop() == 0, plain.output()
    finally:
        if peer is not None:
            peer.close()
        assert node.stop() == 0, node.output()
