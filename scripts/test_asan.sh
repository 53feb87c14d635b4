#!/usr/bin/env bash
# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer: the README's test command
# with every package of the workspace built instrumented, into build-asan/, install-asan/ and
# log-asan/ (the normal build is left alone). A report ends the process it happens in with a
# non-zero status, so it fails its test; leaks are checked at every instrumented process's exit.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# float-cast-overflow is not part of GCC's "undefined", and ray counts are converted from float.
checks="address,undefined,float-cast-overflow"
export OBSFEED_BUILD_VARIANT=asan
export CFLAGS="-fsanitize=${checks} -fno-sanitize-recover=all -fno-omit-frame-pointer"
export CXXFLAGS="${CFLAGS}"
export LDFLAGS="-fsanitize=${checks}"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=${here}/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
exec "${here}/test.sh" "$@"
