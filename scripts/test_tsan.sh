#!/usr/bin/env bash
# The suite under ThreadSanitizer: the README's test command with the packages that run threads
# built instrumented, into build-tsan/, install-tsan/ and log-tsan/. A process with a
# report exits with status 66 at its end, so it fails its test. Debian's Cyclone DDS, rcutils
# and libyaml are not instrumented: what TSan cannot see inside them is listed, each with its
# reason, in sanitizers/tsan.supp.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Every package that starts or shares threads is instrumented and tested; the generated message
# packages come uninstrumented from the normal build (they hold no state threads share).
"${here}/build.sh"
source "${here}/env.sh"
export OBSFEED_UNDERLAY="${INSTALL_DIR}"
export OBSFEED_PACKAGES="dds_wire rclcpp rclcpp_api_tests quorvex_lumidra_diagnosis obsfeed obsfeed_wire_tests"
export OBSFEED_BUILD_VARIANT=tsan
export CFLAGS="-fsanitize=thread -fno-omit-frame-pointer"
export CXXFLAGS="${CFLAGS}"
export LDFLAGS="-fsanitize=thread"
export TSAN_OPTIONS="suppressions=${here}/sanitizers/tsan.supp:second_deadlock_stack=1:history_size=4"
exec "${here}/test.sh" "$@"
