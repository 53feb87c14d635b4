#!/usr/bin/env bash
# The whole suite under ThreadSanitizer: the README's test command with every package of the
# workspace built instrumented, into build-tsan/, install-tsan/ and log-tsan/. A process with a
# report exits with status 66 at its end, so it fails its test. Debian's Cyclone DDS, rcutils
# and libyaml are not instrumented: what TSan cannot see inside them is listed, each with its
# reason, in sanitizers/tsan.supp.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export OBSFEED_BUILD_VARIANT=tsan
export CFLAGS="-fsanitize=thread -fno-omit-frame-pointer"
export CXXFLAGS="${CFLAGS}"
export LDFLAGS="-fsanitize=thread"
export TSAN_OPTIONS="suppressions=${here}/sanitizers/tsan.supp:second_deadlock_stack=1:history_size=4"
exec "${here}/test.sh" "$@"
