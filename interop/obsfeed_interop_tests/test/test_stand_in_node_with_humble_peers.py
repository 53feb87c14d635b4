# Copyright 2026 obsfeed developers
# Licensed under the Apache License, Version 2.0.

"""The stand-in build of obsfeed_node, reached only by real ROS 2 Humble: an rclpy peer of the
robot and Humble's ros2 command."""

import pytest

from conftest import float32_bits, ros2, RobotPeer, stand_in_program

NODE = '/costmap_input'


@pytest.fixture(scope='module')
def node(domain):
    program = stand_in_program('obsfeed_node', [], domain)
    assert program.wait_for_output('log_level'), program.output()
    yield program
    assert program.stop() == 0, program.output()


@pytest.fixture(scope='module')
def peer(domain, node):
    robot = RobotPeer(domain)
    yield robot
    robot.close()


def test_ros2_node_list_shows_the_node(domain, node):
    listed = ros2('node', 'list', '--no-daemon', domain=domain,
                  until=lambda r: NODE in r.stdout.split())
    assert NODE in listed.stdout.split(), listed


def test_ros2_param_list_get_and_describe_read_the_nodes_parameters(domain, node):
    listed = ros2('param', 'list', '--no-daemon', NODE, domain=domain,
                  until=lambda r: 'ultrasonic.device_pose' in r.stdout)
    names = listed.stdout.split()
    for name in ('debug', 'use_sim_time', 'ultrasonic.hor_range_max', 'ultrasonic.device_pose'):
        assert name in names, listed

    got = ros2('param', 'get', '--no-daemon', NODE, 'ultrasonic.ver_range_max', domain=domain)
    assert got.stdout == 'Double value is: 0.4\n', got

    # Every parameter of the node (use_sim_time and the qos_overrides are rclcpp's) says what it
    # is, and those fixed at start-up say they are read only.
    ours = [name for name in names
            if name != 'use_sim_time' and not name.startswith('qos_overrides.')]
    described = ros2('param', 'describe', '--no-daemon', NODE, *ours, domain=domain)
    blocks = ['Parameter name:' + block
              for block in described.stdout.split('Parameter name:')[1:]]
    assert len(blocks) == len(ours), described
    for name, block in zip(ours, blocks):
        lines = block.splitlines()
        assert lines[0] == 'Parameter name: ' + name, described
        assert lines[2].startswith('  Description: '), block
        fixed = ('field_of_view' in name or 'safe_angle' in name or 'sample_ratio' in name or
                 name in ('ultrasonic.device_pose', 'ultrasonic.stale_timeout'))
        assert ('    Read only: true' in lines) == fixed, block
    field_of_view = blocks[ours.index('ultrasonic.hor_field_of_view')].splitlines()
    assert field_of_view[1:2] + field_of_view[4:8] == [
        '  Type: double', '    Read only: true', '    Min value: 0.0',
        '    Max value: 6.283185307179586',
        '    Additional constraints: Not NaN; field_of_view / sample_ratio must give at most '
        '65536 rays per scan (one every quarter degree).'], described


def test_readings_and_a_pressed_bumper_from_humble_give_the_exact_scans(peer):
    scans = peer.exchange(lambda: peer.send_readings([100, 0xFFFF, 200]), peer.topics)
    # 100 mm and 200 mm shortened by the cosine of the safe angle; 0xFFFF is published far.
    expected = {'ultrasonic_laser1': 0x3D4CDEBD, 'ultrasonic_laser2': 0x40200E04,
                'ultrasonic_laser3': 0x3DCCDEBD}
    for number, topic in enumerate(peer.topics, start=1):
        scan = scans[topic]
        assert scan.header.frame_id == 'ultrasonic_0%d_link' % number
        assert len(scan.ranges) == 100
        assert {float32_bits(r) for r in scan.ranges} == {expected[topic]}, topic

    bumper = peer.exchange(peer.press_bumper, ['bumper_laser'])['bumper_laser']
    assert bumper.header.frame_id == 'base_footprint'
    assert len(bumper.ranges) == 144
    assert all(0.52 <= r <= 0.63 for r in bumper.ranges)


def test_a_range_limit_set_with_ros2_param_set_reaches_the_next_scan(domain, peer):
    result = ros2('param', 'set', '--no-daemon', NODE, 'ultrasonic.hor_range_max', '0.5',
                  domain=domain)
    assert result.stdout == 'Set parameter successful\n', result
    scan = peer.exchange(lambda: peer.send_readings([100, 100, 100]), ['ultrasonic_laser1'])
    assert float32_bits(scan['ultrasonic_laser1'].range_max) == float32_bits(0.5)


def test_a_start_up_only_parameter_is_refused_with_its_reason(domain, node):
    result = ros2('param', 'set', '--no-daemon', NODE, 'ultrasonic.device_pose', '[ver]',
                  domain=domain)
    # (Cyclone's notes on the loopback interface come before it on stderr.)
    assert result.stderr.splitlines()[-1] == (
        "Setting parameter failed: parameter 'ultrasonic.device_pose' cannot be set because it "
        'is read-only'), result
