# Copyright 2026 obsfeed developers
# Licensed under the Apache License, Version 2.0.

"""The Humble build of obsfeed_node answering the stand-in build of obsfeed_probe."""

from conftest import humble_program, stand_in_program, DEADLINE


def test_the_humble_node_answers_the_stand_in_probe(domain):
    node = humble_program('obsfeed_node', domain)
    try:
        assert node.wait_for_output('log_level'), node.output()
        probe = stand_in_program('obsfeed_probe', ['--bumper', '100', '0xFFFF', '200'], domain)
        status = probe.process.wait(timeout=DEADLINE + 10)
        output = probe.output()
        assert status == 0, output
        assert 'received 4 of 4 scans' in output, output
        for frame in ('ultrasonic_01_link', 'ultrasonic_02_link', 'ultrasonic_03_link',
                      'base_footprint'):
            assert 'frame=%s ' % frame in output, output
    finally:
        assert node.stop() == 0, node.output()
