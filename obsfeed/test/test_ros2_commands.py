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

"""obsfeed_node started the two ways a ROS 2 user starts it: `ros2 run` and `ros2 launch`."""

import contextlib
import os
import signal
import subprocess
import tempfile
import time

import psutil

DEADLINE = 30.0
ENV = dict(os.environ, ROS_DOMAIN_ID=str(151 + os.getpid() % 80), ROS_LOCALHOST_ONLY='1')


def ros2(*args):
    return subprocess.run(
        ['timeout', '-s', 'INT', '-k', '5', str(int(DEADLINE)), 'ros2', *args],
        env=ENV, capture_output=True, text=True)


def until(call, predicate):
    end = time.monotonic() + DEADLINE
    result = call()
    while not predicate(result) and time.monotonic() < end:
        time.sleep(0.2)
        result = call()
    return result


@contextlib.contextmanager
def started(command):
    """
    Run a ros2 command that starts obsfeed_node; yield the command's process and the node's.

    Whatever is left of either is killed afterwards.
    """
    parent = subprocess.Popen(command, env=ENV, stdout=subprocess.DEVNULL)
    try:
        end = time.monotonic() + DEADLINE
        nodes = []
        while not nodes and time.monotonic() < end:
            time.sleep(0.05)
            nodes = [child for child in psutil.Process(parent.pid).children(recursive=True)
                     if child.name() == 'obsfeed_node']
        assert nodes, 'no obsfeed_node started'
        yield parent, nodes[0]
    finally:
        try:
            for child in psutil.Process(parent.pid).children(recursive=True):
                child.kill()
        except psutil.NoSuchProcess:  # already ended and reaped
            pass
        parent.kill()
        parent.wait()


def test_ros2_run_starts_the_node_and_passes_on_its_status():
    with started(['ros2', 'run', 'obsfeed', 'obsfeed_node']) as (run, node):
        listed = until(lambda: ros2('node', 'list', '--no-daemon'),
                       lambda result: '/costmap_input' in result.stdout.split())
        assert '/costmap_input' in listed.stdout.split(), listed
        # ros2 run does not pass SIGINT on, so the supervisor signals the node itself.
        node.send_signal(signal.SIGTERM)
        assert run.wait(timeout=DEADLINE) == 0


def test_ros2_launch_starts_the_node_with_the_given_parameter_file():
    with tempfile.NamedTemporaryFile('w', suffix='.yaml') as params:
        params.write('costmap_input:\n  ros__parameters:\n    ultrasonic:\n'
                     '      hor_range_max: 0.35\n')
        params.flush()
        command = ['ros2', 'launch', 'obsfeed', 'obsfeed.launch.py', 'params_file:=' + params.name]
        with started(command) as (launch, _):
            got = until(
                lambda: ros2('param', 'get', '--no-daemon', '/costmap_input',
                             'ultrasonic.hor_range_max'),
                lambda result: result.returncode == 0)
            assert got.stdout == 'Double value is: 0.35\n', got
            launch.send_signal(signal.SIGINT)
            assert launch.wait(timeout=DEADLINE) == 0
