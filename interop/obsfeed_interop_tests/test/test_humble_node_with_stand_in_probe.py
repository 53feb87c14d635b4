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
