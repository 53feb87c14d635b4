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
What the tests across the two worlds share.

Each test module gets a DDS domain of its own on loopback only; programs of the stand-in build
run as on a machine without Humble (only the stand-in install sourced); Humble's side is the
`ros2` command and an rclpy peer of the robot.
"""

import os
import signal
import struct
import subprocess
import tempfile
import time
import zlib

from ament_index_python.packages import get_package_prefix
import pytest
import rclpy
from rclpy.executors import SingleThreadedExecutor
from rclpy.qos import QoSProfile, ReliabilityPolicy
from sensor_msgs.msg import LaserScan
from std_msgs.msg import UInt16MultiArray
from quorvex_protocol.msg import RobotInfoLevelZero

STAND_IN_INSTALL = os.environ['OBSFEED_STAND_IN_INSTALL']
DEADLINE = 30.0


def float32_bits(value):
    return struct.unpack('<I', struct.pack('<f', value))[0]


@pytest.fixture(scope='module')
def domain(request):
    """Return a domain id for this module alone, from the process and the module's name."""
    os.environ['ROS_LOCALHOST_ONLY'] = '1'
    return 1 + (os.getpid() + zlib.crc32(request.module.__name__.encode())) % 232


class Program:
    """A program started as a process of its own, its output collected in a file."""

    def __init__(self, command, env):
        self._log = tempfile.TemporaryFile(mode='w+')
        self.process = subprocess.Popen(
            command, env=env, stdout=self._log, stderr=subprocess.STDOUT, text=True)

    def output(self):
        self._log.seek(0)
        return self._log.read()

    def wait_for_output(self, text):
        end = time.monotonic() + DEADLINE
        while text not in self.output() and self.process.poll() is None and time.monotonic() < end:
            time.sleep(0.05)
        return text in self.output()

    def stop(self):
        """Stop the program with SIGINT and return its exit status."""
        self.process.send_signal(signal.SIGINT)
        try:
            return self.process.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return self.process.wait()


def stand_in_program(name, args, domain):
    """Start a program of the stand-in build of obsfeed, seeing nothing of Humble."""
    env = {
        'HOME': os.environ.get('HOME', '/root'), 'PATH': '/usr/bin:/bin',
        'ROS_DOMAIN_ID': str(domain), 'ROS_LOCALHOST_ONLY': '1',
    }
    program = os.path.join(STAND_IN_INSTALL, 'obsfeed', 'lib', 'obsfeed', name)
    return Program(
        ['bash', '-c', 'source "$0/setup.bash" && exec "$@"', STAND_IN_INSTALL, program, *args],
        env)


def humble_env(domain):
    return dict(os.environ, ROS_DOMAIN_ID=str(domain), ROS_LOCALHOST_ONLY='1')


def humble_program(name, domain):
    """Start a program of the Humble build of obsfeed."""
    return Program([os.path.join(get_package_prefix('obsfeed'), 'lib', 'obsfeed', name)],
                   humble_env(domain))


def ros2(*args, domain, until=lambda result: True):
    """
    Run Humble's ros2 command on the domain until its completed process satisfies until.

    Discovery takes a moment.
    """
    end = time.monotonic() + DEADLINE
    while True:
        result = subprocess.run(
            ['timeout', '-s', 'INT', '-k', '5', str(int(DEADLINE)), 'ros2', *args],
            env=humble_env(domain), capture_output=True, text=True)
        if until(result) or time.monotonic() > end:
            return result
        time.sleep(0.2)


class RobotPeer:
    """
    The robot's peers as an rclpy node.

    The ultrasonic driver and base controller, and a costmap listening to every scan topic.
    """

    def __init__(self, domain, sensors=3, reliability=ReliabilityPolicy.RELIABLE):
        """With reliability BEST_EFFORT, all the peer's publishers and subscriptions are."""
        self.context = rclpy.context.Context()
        rclpy.init(context=self.context, domain_id=domain)
        self.node = rclpy.create_node('obsfeed_interop_peer', context=self.context)
        self.executor = SingleThreadedExecutor(context=self.context)
        self.executor.add_node(self.node)
        inputs = QoSProfile(depth=1, reliability=reliability)
        self.readings = self.node.create_publisher(
            UInt16MultiArray, '/quorvex_ultrasonic/original_ultrasonic', inputs)
        self.bumper = self.node.create_publisher(
            RobotInfoLevelZero, '/robot_info_level_zero', inputs)
        self.topics = ['ultrasonic_laser%d' % n for n in range(1, sensors + 1)]
        self.scans = {}
        self._subscriptions = [
            self.node.create_subscription(
                LaserScan, topic,
                lambda scan, topic=topic: self.scans.setdefault(topic, []).append(scan),
                QoSProfile(depth=100, reliability=reliability))
            for topic in self.topics + ['bumper_laser']]

    def close(self):
        self.executor.shutdown()
        self.node.destroy_node()
        rclpy.shutdown(context=self.context)

    def exchange(self, send, topics):
        """
        Send with send() every half second until a scan came on each topic; return those scans.

        Repeating covers the time until the node's writers have matched our readers.
        """
        self.scans.clear()
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            send()
            half_second = time.monotonic() + 0.5
            while time.monotonic() < half_second:
                self.executor.spin_once(timeout_sec=0.05)
                if all(self.scans.get(topic) for topic in topics):
                    return {topic: self.scans[topic][-1] for topic in topics}
        raise AssertionError('no scans on %s' % [t for t in topics if not self.scans.get(t)])

    def send_readings(self, values):
        self.readings.publish(UInt16MultiArray(data=values))

    def press_bumper(self):
        self.bumper.publish(RobotInfoLevelZero(bumper_trig=True))
