#!/usr/bin/env bash
# Plants small faults in the node's scan arithmetic and parameter handling, one at a time, and
# lists the test cases that catch each. A fault nothing catches is a hole in the suite.
#
#   ./scripts/mutation_check.sh [MUTANT_NUMBER...]     (all of them when none is named)
#
# Stand-in lane only (it rebuilds obsfeed into build/ and install/). Each fault is undone before
# the next is planted, and obsfeed is rebuilt from the clean sources at the end. The suite's
# long runs (the soak, the hundreds of stop requests) are left out: they test staying power,
# not arithmetic. Results: one line per mutant, and log/mutation_check.tsv.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "${WS_ROOT}"

# file | sed expression (must change the file) | what the fault is
MUTANTS=(
  "obsfeed/src/ultrasonic_scan.cpp|s/0x3B8EFA35u/0x3B8EFA36u/|angle increment one ulp off"
  "obsfeed/src/ultrasonic_scan.cpp|s/sample_ratio <= 0.0 ?/sample_ratio < 0.0 ?/|ratio 0 no longer means 2"
  "obsfeed/src/ultrasonic_scan.cpp|s/static_cast<float>(raw) > range_max/static_cast<float>(raw) >= range_max/|a reading at the maximum becomes far"
  "obsfeed/src/ultrasonic_scan.cpp|s/beyond ? kFarReadingMillimetres : raw/beyond ? 5001.0 : raw/|far reading 5001 mm"
  "obsfeed/src/ultrasonic_scan.cpp|s/return lowered == \"ver\";/return device_pose_entry == \"ver\";/|\"ver\" only in lower case"
  "obsfeed/src/ultrasonic_scan.cpp|s/\"ultrasonic_0\" + std::to_string(n) + \"_link\"/\"ultrasonic_\" + std::to_string(n) + \"_link\"/|frame id without the 0"
  "obsfeed/src/ultrasonic_scan.cpp|s/if (!(field_of_view >= 0.0))/if (!(field_of_view > 0.0))/|a zero opening refused"
  "obsfeed/src/ultrasonic_scan.cpp|s/if (std::isfinite(value))/if (!std::isnan(value))/|an infinite range limit accepted"
  "obsfeed/src/costmap_input.cpp|s/{\"ultrasonic.ver_range_max\", 0.4}/{\"ultrasonic.ver_range_max\", 0.5}/|declared default ver_range_max 0.5"
  "obsfeed/src/ultrasonic.cpp|s/kReporterName\[\] = \"costmap_input_node\"/kReporterName[] = \"costmap_input\"/|diagnosis reporter name"
  "obsfeed/src/ultrasonic.cpp|s/LOG_ERROR(\"input data not match\")/LOG_ERROR(\"input data not matched\")/|error line text"
  "obsfeed/src/ultrasonic.cpp|s/      if (raw == kReadingWithoutScan) {/      if (false) {/|0xEEEE published"
  "obsfeed/src/ultrasonic.cpp|s/\"ultrasonic.ver_range_min\") {return \&ver_range_min_;}/\"ultrasonic.ver_range_min\") {return \&hor_range_min_;}/|run-time ver_range_min lands in hor"
  "obsfeed/src/costmap_input.cpp|s/descriptor.read_only = true;/descriptor.read_only = false;/|start-up geometry settable at run time"
  "obsfeed/src/ultrasonic.cpp|s/ultrasonicRangeLimitFault(parameter.get_name(), parameter.as_double())/ultrasonicRangeLimitFault(parameter.get_name(), 0.0)/|a NaN limit accepted at run time"
  "obsfeed/src/bumper_scan.cpp|s/std::max<std::int64_t>(node_time_ns - kBumperStampLagNanoseconds, 0)/node_time_ns - kBumperStampLagNanoseconds/|bumper stamp before the epoch"
  "obsfeed/src/bumper_scan.cpp|s/scan.range_max = 1.0f;/scan.range_max = 0.6f;/|bumper range_max"
  "obsfeed/src/bumper.cpp|s/if (!msg->bumper_trig) {/if (false) {/|released bumper publishes"
  "obsfeed/src/bumper.cpp|s/use time: {0:03.4f} ms/use time: {0:03.3f} ms/|bumper time line format"
  "obsfeed/src/costmap_input.cpp|s/{\"trace\", \"debug\", \"info\", \"warning\"/{\"trace\", \"debug\", \"info\", \"warn\"/|level name warning"
  "obsfeed/src/input_diagnostics.cpp|s/if (silence >= stale_timeout)/if (silence > stale_timeout)/|stale one tick late"
  "obsfeed/src/input_diagnostics.cpp|s/last == kReadingWithoutScan \x7c\x7c //|a sensor that stays skipped looks well"
  "obsfeed/src/input_diagnostics.cpp|s/previous_dropped_ = dropped;//|dropped arrays warn for ever"
  "obsfeed/src/ultrasonic.cpp|s/  options.qos_overriding_options = /  \/\/ options.qos_overriding_options = /|readings QoS not overridable"
)

# Test executables left out, and where their results land.
EXCLUDED='^(test_soak|test_stop_requests|test_logger)$'
TEST_PACKAGES=(obsfeed obsfeed_wire_tests)

selected=("$@")
if ((${#selected[@]} == 0)); then
  for ((i = 1; i <= ${#MUTANTS[@]}; ++i)); do selected+=("$i"); done
fi

backup="$(mktemp -d)"
current_file=""
restore() {
  if [[ -n "${current_file}" ]]; then
    cp "${backup}/original" "${current_file}"
    current_file=""
  fi
}
trap 'restore; rm -rf "${backup}"' EXIT

build_obsfeed() {
  MAKEFLAGS="${MAKEFLAGS:--j2}" "${WS_ROOT}/scripts/build.sh" --packages-select obsfeed \
    >"${LOG_DIR}/mutation_build.log" 2>&1
}

# The failed test cases of the last run, from the gtest and pytest result files.
failed_cases() {
  /usr/bin/python3 - "$@" <<'EOF'
import glob, sys, xml.etree.ElementTree as ET
failed = []
for package in sys.argv[1:]:
    for path in sorted(glob.glob(f'{package}/test_results/**/*.xml', recursive=True)):
        try:
            root = ET.parse(path).getroot()
        except ET.ParseError:
            failed.append(path.split('/')[-1] + '(unreadable)')
            continue
        for case in root.iter('testcase'):
            if case.find('failure') is not None or case.find('error') is not None:
                failed.append(case.get('classname', '').split('.')[-1] + '.' + case.get('name', ''))
print(' '.join(failed) if failed else '-')
EOF
}

run_tests() {
  local dirs=()
  for package in "${TEST_PACKAGES[@]}"; do
    [[ -d "${BUILD_DIR}/${package}" ]] || continue
    rm -rf "${BUILD_DIR}/${package}/test_results"
    (cd "${BUILD_DIR}/${package}" && ctest -E "${EXCLUDED}" --timeout 300 >/dev/null 2>&1) || true
    dirs+=("${BUILD_DIR}/${package}")
  done
  failed_cases "${dirs[@]}"
}

mkdir -p "${LOG_DIR}"
results="${LOG_DIR}/mutation_check.tsv"
: >"${results}"
set +e
source_workspace
for number in "${selected[@]}"; do
  IFS='|' read -r file expression description <<<"${MUTANTS[number - 1]}"
  current_file="${WS_ROOT}/${file}"
  cp "${current_file}" "${backup}/original"
  sed -i -e "${expression}" "${current_file}"
  if cmp -s "${current_file}" "${backup}/original"; then
    echo "mutant ${number} (${description}): the expression changed nothing; fix the script" >&2
    restore
    continue
  fi
  if build_obsfeed; then
    caught="$(run_tests)"
  else
    caught="(does not build)"
  fi
  restore
  verdict=$([[ "${caught}" == "-" ]] && echo SURVIVED || echo killed)
  printf '%s\t%s\t%s\t%s\n' "${number}" "${description}" "${verdict}" "${caught}" | tee -a "${results}"
done
build_obsfeed || echo "mutation_check: rebuilding the clean sources failed" >&2
