#!/usr/bin/python3
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
Turn the driver's result lines of one benchmark run into docs/BENCHMARKS.md (on stdout).

Every figure is the median over the run's repetitions, with the lowest and highest value
beside it: the machine is shared, so one repetition alone says little.
"""

import argparse
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys

TITLES = {
    'floor': 'raw Cyclone DDS program (the floor)',
    'stand-in': '`obsfeed_node` on the stand-in rclcpp',
    'humble': '`obsfeed_node` on Humble rclcpp + rmw_cyclonedds_cpp',
}
BUILDS = []  # (name, title) of every answerer in the results, the three above first
RATES = [100, 1000, 2000]
# The load the node is sized for, and what it may cost there. With more sensors only the memory
# targets hold.
SIZED_FOR_SENSORS = 10
SUSTAINED_TARGETS = dict(cpu_share=0.25, superseded_share=0.001, rss_bytes=16e6)
# "Flat": over the measured minute, resident memory grows by at most this share of itself.
FLAT_SHARE = 0.01
NOTES = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'benchmark_notes.md')


def load(path):
    with open(path) as results:
        return [json.loads(line) for line in results if line.strip()]


def values(results, key, **where):
    return [r[key] for r in results
            if all(r.get(k) == v for k, v in where.items()) and r.get(key) is not None]


def median(numbers):
    return statistics.median(numbers) if numbers else None


def spread(numbers, scale=1.0, digits=0):
    """'median (min-max)', scaled, or a dash when nothing was measured."""
    if not numbers:
        return '-'

    def show(x):
        return f'{x * scale:.{digits}f}'
    low, mid, high = min(numbers), median(numbers), max(numbers)
    if len(numbers) == 1 or show(low) == show(high):
        return show(mid)
    return f'{show(mid)} ({show(low)}-{show(high)})'


def ratio(numerator, denominator):
    if numerator is None or not denominator:
        return '-'
    return f'{numerator / denominator:.2f}'


def command_output(*command):
    try:
        return subprocess.run(command, capture_output=True, text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return 'unknown'


def machine():
    model = 'unknown'
    with open('/proc/cpuinfo') as cpuinfo:
        for line in cpuinfo:
            if line.startswith('model name'):
                model = line.split(':', 1)[1].strip()
                break
    with open('/proc/meminfo') as meminfo:
        memory_kib = int(meminfo.readline().split()[1])
    with open('/etc/debian_version') as version:
        debian = version.read().strip()
    cyclone = command_output('dpkg-query', '-W', '-f=${Version}', 'cyclonedds-dev')
    compiler = command_output('c++', '-dumpfullversion')
    return [
        f'{model}, {os.cpu_count()} cores, {memory_kib / 1048576:.0f} GiB, '
        f'Debian {debian}, Linux {platform.release()}',
        f'Cyclone DDS {cyclone} (Debian\'s, used by all three), g++ {compiler}',
    ]


def latency_table(results, experiment, sensors, per):
    floor = dict(build='floor', experiment=experiment, sensors=sensors)
    floor_p50 = median(values(results, 'p50_us', **floor))
    floor_cpu = median(values(results, 'cpu_us_per_reading', **floor))
    lines = [
        f'| what answered | p50 | p90 | p99 | max | lost | node CPU per {per} | p50 / floor '
        '| CPU / floor |',
        '|---|---|---|---|---|---|---|---|---|',
    ]
    for build, title in BUILDS:
        where = dict(build=build, experiment=experiment, sensors=sensors)
        cpu = values(results, 'cpu_us_per_reading', **where)
        p50 = values(results, 'p50_us', **where)
        lines.append(
            f'| {title} | {spread(p50)} us | {spread(values(results, "p90_us", **where))} us '
            f'| {spread(values(results, "p99_us", **where))} us '
            f'| {spread(values(results, "max_us", **where))} us '
            f'| {sum(values(results, "lost", **where))} '
            f'| {spread(cpu)} us | {ratio(median(p50), floor_p50)} '
            f'| {ratio(median(cpu), floor_cpu)} |')
    return lines


def rate_table(results):
    lines = [
        '| what answered | rate | readings sent | superseded | p50 | p99 | node CPU per reading '
        '| node CPU, share of one core |',
        '|---|---|---|---|---|---|---|---|',
    ]
    for hz in RATES:
        for build, title in BUILDS:
            where = dict(build=build, experiment='rate', hz=hz)
            sent = values(results, 'sent', **where)
            cpu = values(results, 'cpu_s', **where)
            seconds = values(results, 'send_seconds', **where)
            share = [c / s for c, s in zip(cpu, seconds) if s]
            lines.append(
                f'| {title} | {hz} Hz | {spread(sent)} '
                f'| {spread(values(results, "superseded", **where))}'
                f'{back_to_back(results, **where)} '
                f'| {spread(values(results, "p50_us", **where))} us '
                f'| {spread(values(results, "p99_us", **where))} us '
                f'| {spread(values(results, "cpu_us_per_reading", **where))} us '
                f'| {spread(share, scale=100)} % |')
    return lines


def back_to_back(results, **where):
    """
    Say ', N back to back' where the measurements count them, else nothing.

    Back to back: superseded readings that left right before the next one (the driver catching
    up).
    """
    counts = values(results, 'superseded_back_to_back', **where)
    return f', {spread(counts)} back to back' if counts else ''


def percent(share, form):
    return '-' if share is None else f'{share * 100:{form}} %'


def mib(kib):
    return f'{kib / 1024:.1f} MiB'


def sustained_table(results):
    """Build the sustained table: the targets' row, then one row per answerer and sensor count."""
    targets = SUSTAINED_TARGETS
    lines = [
        '| what answered | sensors | readings sent | superseded | p50 | p99 '
        '| node CPU, share of one core | RSS after warm-up | RSS at the end | drift | peak RSS |',
        '|---|---|---|---|---|---|---|---|---|---|---|',
        f'| target | | | under {targets["superseded_share"] * 100:g} % '
        f'({SIZED_FOR_SENSORS} sensors) '
        f'| | | under {targets["cpu_share"] * 100:g} % ({SIZED_FOR_SENSORS} sensors) | '
        f'| under 16 MB ({mib(targets["rss_bytes"] / 1024)}) '
        f'| flat (at most {FLAT_SHARE * 100:g} %) | |',
    ]
    verdicts = []
    sensor_counts = sorted({r['sensors'] for r in results if r['experiment'] == 'sustained'})
    for sensors in sensor_counts:
        for build, title in BUILDS:
            runs = [r for r in results
                    if r['build'] == build and r['experiment'] == 'sustained'
                    and r['sensors'] == sensors]
            if runs:
                row, verdict = sustained_row(runs[-1], title)
                lines.append(row)
                verdicts.append(verdict)
    if len(lines) == 3:
        return []
    return lines + [''] + verdicts


def sustained_row(run, title):
    """Build the table row of one sustained run and the sentence naming the targets it missed."""
    targets = SUSTAINED_TARGETS
    sent, superseded = run['sent'], run['superseded']
    share = run['cpu_s'] / run['send_seconds'] if run['send_seconds'] else None
    drift = run['rss_end_kib'] - run['rss_start_kib']
    superseded_share = superseded / sent if sent else None
    row = (
        f'| {title} | {run["sensors"]} | {sent} '
        f'| {superseded} ({percent(superseded_share, ".2g")}), '
        f'{run["superseded_back_to_back"]} back to back | {run["p50_us"]:.0f} us '
        f'| {run["p99_us"]:.0f} us | {percent(share, ".1f")} | {mib(run["rss_start_kib"])} '
        f'| {mib(run["rss_end_kib"])} | {drift:+d} KiB | {mib(run["peak_rss_kib"])} |')
    missed = []
    sized_for = run['sensors'] == SIZED_FOR_SENSORS
    if sized_for and (share is None or share >= targets['cpu_share']):
        missed.append('CPU')
    if sized_for and (superseded_share is None or superseded_share >= targets['superseded_share']):
        missed.append('superseded readings')
    if max(run['rss_end_kib'], run['peak_rss_kib']) * 1024 >= targets['rss_bytes']:
        missed.append('memory size')
    if drift > FLAT_SHARE * run['rss_start_kib']:
        missed.append('flat memory')
    kind = 'every target' if sized_for else 'the memory targets'
    return row, f'- {title}, {run["sensors"]} sensors: ' + (
        f'within {kind}.' if not missed else 'misses the target for ' + ', '.join(missed) + '.')


def memory_table(results):
    sensor_counts = sorted({r['sensors'] for r in results if r['experiment'] == 'memory'})
    lines = ['| what answered | ' + ' | '.join(f'{n} sensors' for n in sensor_counts) + ' |',
             '|---|' + '---|' * len(sensor_counts)]
    for build, title in BUILDS:
        where = dict(build=build, experiment='memory')
        cells = [spread(values(results, 'peak_rss_kib', sensors=n, **where),
                        scale=1 / 1024, digits=1) + ' MiB' for n in sensor_counts]
        lines.append(f'| {title} | ' + ' | '.join(cells) + ' |')
    return lines


def readings_sizes(results):
    return sorted({r['sensors'] for r in results if r['experiment'] == 'readings'})


def comparison(results):
    """One sentence per figure: how the stand-in build compares with the Humble build."""
    lines = []
    for sensors in readings_sizes(results):
        where = dict(experiment='readings', sensors=sensors)
        stand_in = median(values(results, 'p50_us', build='stand-in', **where))
        humble = median(values(results, 'p50_us', build='humble', **where))
        stand_in_cpu = median(values(results, 'cpu_us_per_reading', build='stand-in', **where))
        humble_cpu = median(values(results, 'cpu_us_per_reading', build='humble', **where))
        if None in (stand_in, humble, stand_in_cpu, humble_cpu):
            continue
        lines.append(
            f'- {sensors} sensors: median latency stand-in {stand_in:.0f} us, '
            f'Humble {humble:.0f} us (stand-in / Humble {stand_in / humble:.2f}); '
            f'node CPU per reading stand-in {stand_in_cpu:.0f} us, Humble {humble_cpu:.0f} us '
            f'({stand_in_cpu / humble_cpu:.2f}).')
    where = dict(experiment='rate', hz=2000)
    stand_in = median(values(results, 'cpu_s', build='stand-in', **where))
    humble = median(values(results, 'cpu_s', build='humble', **where))
    if stand_in is not None and humble is not None:
        lines.append(
            f'- 3 sensors at 2 kHz: node CPU stand-in {stand_in:.2f} s, Humble {humble:.2f} s '
            f'per {median(values(results, "send_seconds", build="humble", **where)):.1f} s '
            'of readings.')
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('results')
    parser.add_argument('--load-before', required=True)
    parser.add_argument('--load-after', required=True)
    parser.add_argument('--seconds', type=int, required=True)
    parser.add_argument('--repetitions', type=int, required=True)
    parser.add_argument('--command', required=True)
    parser.add_argument(
        '--humble-builds', default='',
        help='compared builds (comma separated) that were built against the Humble core')
    args = parser.parse_args()
    results = load(args.results)
    names = list(TITLES) + [r['build'] for r in results]
    measured = {r['build'] for r in results}
    on_humble = set(filter(None, args.humble_builds.split(',')))
    for name in dict.fromkeys(names):
        if name in measured:
            base = TITLES['humble' if name in on_humble else 'stand-in']
            title = f'{base}, `{name}`'
            BUILDS.append((name, TITLES.get(name, title)))

    out = [
        '# Benchmarks',
        '',
        f'Written by `{args.command.strip()}` on {datetime.date.today().isoformat()}: '
        f'{args.repetitions} repetitions in {args.seconds} s. The tables are regenerated by every '
        'run, from the measurements it leaves in `BENCHMARKS.jsonl` beside this file; the notes '
        'at the end come from `benchmarks/benchmark_notes.md`.',
        '',
        '## Machine',
        '',
    ]
    out += [f'- {line}' for line in machine()]
    out += [
        f'- Load average (1, 5, 15 min) before the run: {args.load_before}; after: '
        f'{args.load_after}. Other engineers\' builds and tests shared the two cores.',
        '- Builds: the stand-in world and `obsfeed` as `scripts/build.sh` builds them '
        '(RelWithDebInfo, `-O2 -g`); the Humble core as its `build.sh` builds it (Release, '
        '`-O3`, LTO).',
        '',
        '## How',
        '',
        'One driver (`obsfeed_bench_driver`, plain Cyclone DDS with idlc-generated types, no ROS '
        'client library) talks to one answering process at a time over loopback '
        '(`ROS_LOCALHOST_ONLY=1`) on a domain of the run\'s own. The answerers take turns: '
        'in each '
        'repetition every answerer is measured with 3 sensors, then with 10, 16 and 32, and '
        'the order of the answerers rotates from one repetition to the next. Each answerer is '
        'a fresh process, configured with `ultrasonic.hor_range_max:=65.0` so that every '
        'reading (a different one each round) comes back in range and its scans say which '
        'reading they answer. Before measuring, the driver waits until every topic has answered '
        'and runs 200 unmeasured rounds.',
        '',
        '- Latency: from just before the driver\'s `dds_write` of a readings array to the '
        'arrival of the last of its scans (or of the bumper scan), one round at a time.',
        '- Node CPU: user and system time of all the answerer\'s threads during the '
        'measurement (`/proc/<pid>/task/*/schedstat`), divided by the readings sent.',
        '- Fixed rates: readings sent on a fixed schedule without waiting for answers; '
        '"superseded" readings were never answered because a newer one replaced them in the '
        'node\'s keep-last-1 input (or in the floor\'s, which has the same QoS).',
        '- Peak RSS: `VmHWM` of `/proc/<pid>/status` at the end of the answerer\'s run.',
        '- Sustained load: after the repetitions, every answerer once more, a fresh process with '
        '10 sensors (and the stand-in build with 32 too), fed readings at a fixed rate, first '
        'unmeasured for a warm-up, then measured '
        '(the table\'s heading says for how long). Resident memory (`VmRSS`) is read as the '
        'measured part starts and once its answers '
        'have stopped; "drift" is the difference, "peak RSS" the `VmHWM` then. "Back to back": '
        'superseded readings that left less than half a period before the next one, because the '
        'driver\'s sending thread fell behind its schedule and caught up.',
        '',
        'Cells read "median (lowest-highest)" over the repetitions; "/ floor" is the ratio of '
        'medians to the floor\'s.',
        '',
    ]
    for sensors in readings_sizes(results):
        out += [f'## One readings array to the last of its {sensors} scans', '']
        out += latency_table(results, 'readings', sensors, 'reading')
        out.append('')
    out += ['## Bumper contact to its scan', '']
    out += latency_table(results, 'bumper', 3, 'contact')
    out += ['', '## Readings at fixed rates, 3 sensors', '']
    out += rate_table(results)
    sustained = sustained_table(results)
    if sustained:
        run = next(r for r in results if r['experiment'] == 'sustained')
        out += ['', f'## Sustained load: readings at {run["hz"] / 1000:g} kHz for '
                f'{run["sent"] / run["hz"]:.0f} s, '
                f'after {run["warm_up_seconds"]:g} s of warm-up', '']
        out += sustained
    out += ['', '## Peak resident memory', '']
    out += memory_table(results)
    out += ['', '## Stand-in against Humble in this run', '']
    out += comparison(results)
    out.append('')
    if os.path.exists(NOTES):
        with open(NOTES) as notes:
            out.append(notes.read().rstrip())
            out.append('')
    sys.stdout.write('\n'.join(out))


if __name__ == '__main__':
    main()
