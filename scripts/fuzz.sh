#!/usr/bin/env bash
# Fuzzes what obsfeed_node reads from outside with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer): DDS samples of every topic and parameter service request it
# takes, its --ros-args command line and parameter files, and the reading-to-scan arithmetic.
#
#   scripts/fuzz.sh [--seconds N] [--merge] [TARGET...]
#
# Each target runs N seconds (default 60) from its corpus in fuzz/corpus/TARGET; new inputs
# collect in build-fuzz/corpus/TARGET, and with --merge the ones that add coverage are folded
# back (minimized) into fuzz/corpus. A finding is saved under build-fuzz/findings/TARGET/ and
# makes the script exit non-zero; turn it into a regression test of the normal suite.
# The code under test is built instrumented into build-fuzz/ and install-fuzz/ (on top of the
# stand-in workspace, scripts/build.sh, for the message packages), the targets against it into
# build-fuzz/obsfeed_fuzz; never by colcon.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
if [[ "${HAVE_HUMBLE}" == 1 ]]; then
  echo "fuzz: the targets build against the stand-in workspace; run without ROS 2 Humble sourced" >&2
  exit 1
fi

seconds=60
merge=0
targets=()
while (( $# )); do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --merge) merge=1; shift ;;
    *) targets+=("$1"); shift ;;
  esac
done
if (( ${#targets[@]} == 0 )); then
  targets=(fuzz_cdr_topics fuzz_cdr_service_requests fuzz_ros_arguments fuzz_parameter_file
    fuzz_ultrasonic_scan fuzz_ultrasonic_node)
fi

"${WS_ROOT}/scripts/setup.sh"
# libFuzzer ships with Debian's clang runtime package.
missing=()
for p in clang-14 libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if (( ${#missing[@]} )); then
  sudo_cmd=()
  [[ "$(id -u)" == 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install \
    -y -q --no-install-recommends "${missing[@]}"
fi
"${WS_ROOT}/scripts/build.sh" --packages-up-to obsfeed

# Every package whose code a target reaches, built by clang with coverage for libFuzzer and the
# sanitizers; the targets themselves link with libFuzzer's main.
export CC=clang-14 CXX=clang++-14
export CFLAGS="-g -O1 -fno-omit-frame-pointer -fno-sanitize-recover=all \
  -fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow"
export CXXFLAGS="${CFLAGS}"
export LDFLAGS="-fsanitize=address,undefined,float-cast-overflow"
OBSFEED_BUILD_VARIANT=fuzz OBSFEED_UNDERLAY="${INSTALL_DIR}" \
  OBSFEED_PACKAGES="dds_wire rclcpp quorvex_lumidra_diagnosis obsfeed" \
  "${WS_ROOT}/scripts/build.sh" -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
INSTALL_DIR="${WS_ROOT}/install-fuzz"
source_workspace

fuzz_build="${WS_ROOT}/build-fuzz"
targets_build="${fuzz_build}/obsfeed_fuzz"
mkdir -p "${targets_build}"
cmake -S "${WS_ROOT}/fuzz" -B "${targets_build}" -DCMAKE_BUILD_TYPE=None \
  -DPython3_EXECUTABLE=/usr/bin/python3 > "${targets_build}/configure.log" 2>&1 ||
  { cat "${targets_build}/configure.log"; exit 1; }
cmake --build "${targets_build}" -j "$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
printf '%-28s %12s %8s %s\n' target executions corpus findings
for target in "${targets[@]}"; do
  seeds="${WS_ROOT}/fuzz/corpus/${target}"
  work="${fuzz_build}/corpus/${target}"
  findings="${fuzz_build}/findings/${target}"
  mkdir -p "${seeds}" "${work}" "${findings}"
  log="${fuzz_build}/${target}.log"
  "${targets_build}/${target}" -max_total_time="${seconds}" -print_final_stats=1 \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="${findings}/" "${work}" "${seeds}" \
    > "${log}" 2>&1 || true
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "${log}" | tail -n 1)
  found=$(find "${findings}" -type f | wc -l)
  printf '%-28s %12s %8s %s\n' "${target}" "${executions:-?}" "$(find "${work}" -type f | wc -l)" \
    "${found}"
  if (( found )); then
    status=1
    grep -m 5 -E "ERROR|SUMMARY|broken|changed|terminate|what\(\)" "${log}" || true
  fi
  if (( merge )); then
    "${targets_build}/${target}" -merge=1 "${seeds}" "${work}" > "${fuzz_build}/${target}.merge.log" 2>&1
  fi
done
exit "${status}"
