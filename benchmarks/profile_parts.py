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
Tell whose code an answerer's time per readings array went to.

Its parts: obsfeed's, the client library's, Cyclone DDS's, the kernel's.

    profile_parts.py callgrind SHORT LONG READINGS [--functions N]
    profile_parts.py perf SHORT LONG READINGS SAMPLE_US

callgrind: SHORT and LONG profile the same start-up and shutdown around READINGS more readings
in LONG; their difference is the steady state. Each function's own instructions go to the part
its library belongs to; what the C and C++ runtimes do (malloc, memcpy, locks, system call
wrappers) goes to the part that called them, since that caller asked for it. The kernel is not
seen.

perf: SHORT and LONG are `perf report --stdio --sort dso -F sample,dso -g none` of two such runs,
one cpu-clock sample per SAMPLE_US of the answerer's CPU time, the kernel's included. Samples in
the C and C++ runtimes stay a part of their own: without reliable call chains through them,
their callers are unknown.
"""

import argparse
import collections
import os
import re

# Libraries whose instructions belong to their caller.
RUNTIME = re.compile(r'(^|/)(libc|libm|libstdc\+\+|libgcc_s|libpthread)[.-][^/]*$')
# The dynamic loader: a lazily bound call passes through it, and what it calls is counted where
# it runs. (The node runs with LD_BIND_NOW, so none of that falls into the steady state.)
LOADER = re.compile(r'(^|/)ld-linux[^/]*$')
PARTS = [
    ('obsfeed (callback, diagnosis), the floor\'s own code',
     re.compile(r'(^|/)((libobsfeed_core|libquorvex_lumidra_diagnosis)[^/]*'
                r'|obsfeed_(node|bench_floor))$')),
    ('Cyclone DDS', re.compile(r'(^|/)libddsc[^/]*$')),
    ('client library (rclcpp, rmw or dds_wire, type support)', re.compile(r'.')),
]
OTHER = 'the C and C++ runtime on their own (thread start, waiting)'


def part_of(library, function):
    """None for the runtime and the loader, whose instructions their callers own."""
    if RUNTIME.search(library) or LOADER.search(library) or function == '(below main)':
        return None
    return next(name for name, pattern in PARTS if pattern.search(library))


def profile(path):
    """Own instructions per (library, function), and per caller those of its runtime calls."""
    own = collections.Counter()
    runtime_calls = collections.Counter()
    summary = 0
    names = {'ob': {}, 'fn': {}}
    library = function = callee_library = None
    pending_call = False

    def name(kind, text):
        match = re.match(r'\((\d+)\)(?: (.*))?$', text)
        if not match:
            return text
        if match.group(2) is not None:
            names[kind][match.group(1)] = match.group(2)
        return names[kind][match.group(1)]

    with open(path, encoding='utf-8', errors='replace') as lines:
        for line in lines:
            line = line.rstrip('\n')
            key, _, value = line.partition('=')
            if line.startswith('summary:'):
                summary = int(line.split()[1])
            elif key == 'ob':
                library = name('ob', value)
            elif key == 'fn':
                function = name('fn', value)
                callee_library = library
            elif key == 'cob':
                callee_library = name('ob', value)
            elif key == 'cfn':
                name('fn', value)
            elif key == 'calls':
                pending_call = True
            elif line[:1].isdigit() or line[:1] in '+-*':
                cost = int(line.split()[1]) if len(line.split()) > 1 else 0
                if pending_call:
                    if RUNTIME.search(callee_library):
                        runtime_calls[(library, function)] += cost
                    pending_call = False
                    callee_library = library
                else:
                    own[(library, function)] += cost
            elif key in ('fl', 'fi', 'fe'):
                callee_library = library
    return own, runtime_calls, summary


def breakdown(path):
    own, runtime_calls, summary = profile(path)
    parts = collections.Counter()
    functions = collections.Counter()
    for (library, function), cost in (own + runtime_calls).items():
        part = part_of(library or '', function)
        if part is not None:
            parts[part] += cost
            functions[(os.path.basename(library), function)] += cost
    parts[OTHER] = summary - sum(parts.values())
    return parts, functions, summary


def print_parts(per_reading, total, unit):
    for part, amount in sorted(per_reading.items(), key=lambda item: -item[1]):
        decimals = 0 if unit == '' else 1
        print(f'  {amount:9.{decimals}f}{unit}  {100 * amount / total:5.1f} %  {part}')


def callgrind(arguments):
    short_parts, short_functions, short_total = breakdown(arguments.short)
    long_parts, long_functions, long_total = breakdown(arguments.long)
    per_reading = {part: (long_parts[part] - short_parts[part]) / arguments.readings
                   for part in set(long_parts) | set(short_parts)}
    total = (long_total - short_total) / arguments.readings
    print(f'instructions per readings array: {total:.0f}')
    print_parts(per_reading, total, '')
    if arguments.functions:
        print('functions, own instructions and their runtime calls, per readings array:')
        differences = {key: (long_functions[key] - short_functions[key]) / arguments.readings
                       for key in set(long_functions) | set(short_functions)}
        ranked = sorted(differences.items(), key=lambda item: -item[1])[:arguments.functions]
        for (library, function), count in ranked:
            print(f'  {count:9.0f}  {library}  {function}')


def perf_samples(path):
    samples = collections.Counter()
    with open(path, encoding='utf-8', errors='replace') as lines:
        for line in lines:
            match = re.match(r'\s*(\d+)\s+(\S+)', line)
            if not match:
                continue
            library = match.group(2)
            if library.startswith('[kernel'):
                part = 'kernel (system calls, waking and switching threads, loopback UDP)'
            elif RUNTIME.search(library) or LOADER.search(library) or library == '[vdso]':
                part = 'C and C++ runtime (malloc, locks, memcpy, system call wrappers)'
            else:
                part = part_of(library, '')
            samples[part] += int(match.group(1))
    return samples


def perf(arguments):
    short, long = perf_samples(arguments.short), perf_samples(arguments.long)
    per_reading = {part: (long[part] - short[part]) * arguments.sample_us / arguments.readings
                   for part in set(long) | set(short)}
    total = sum(per_reading.values())
    print(f'CPU time per readings array: {total:.1f} us')
    print_parts(per_reading, total, ' us')


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    modes = parser.add_subparsers(dest='mode', required=True)
    from_callgrind = modes.add_parser('callgrind')
    from_callgrind.add_argument('short')
    from_callgrind.add_argument('long')
    from_callgrind.add_argument('readings', type=int)
    from_callgrind.add_argument(
        '--functions', type=int, default=0,
        help='also list the N functions that cost most (runtime calls included)')
    from_perf = modes.add_parser('perf')
    from_perf.add_argument('short')
    from_perf.add_argument('long')
    from_perf.add_argument('readings', type=int)
    from_perf.add_argument('sample_us', type=float)
    arguments = parser.parse_args()
    (callgrind if arguments.mode == 'callgrind' else perf)(arguments)


if __name__ == '__main__':
    main()
