#!/usr/bin/env bash
# Plants known faults in the stand-in rclcpp and dds_wire one at a time and reports, for each,
# whether the package's own tests notice it. Run after ./scripts/build.sh (or test.sh); it
# rebuilds only the package it touches and puts every source back, also when interrupted.
#
#   ./scripts/mutation_check_stand_in.sh            # every mutant
#   ./scripts/mutation_check_stand_in.sh R3 D1 ...  # just these
#
# Prints one line per mutant, "killed by <test>" or "SURVIVED", and exits non-zero if any
# survived. A suite that lets a mutant survive has lost a test that caught a real fault.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "${WS_ROOT}"

# id | package | file (from ros2_stand_ins/) | perl substitution (first match only) | the fault
mutants=(
  "D1|dds_wire|dds_wire/src/cdr_reader.cpp|s/\(offset_ - header_size\) % alignment/offset_ % alignment/|reader aligns from the buffer start"
  "D2|dds_wire|dds_wire/include/dds_wire/cdr_writer.hpp|s/\(header_size - offset_\)/(0 - offset_)/|writer aligns from the buffer start"
  "D3|dds_wire|dds_wire/src/cdr_reader.cpp|s/big_endian_ = data_\[1\] == 0x00;/big_endian_ = false;/|big-endian samples read as little endian"
  "D4|dds_wire|dds_wire/src/cdr_serializer.cpp|s/text.size\(\) \+ 1\)/text.size())/|string length sent without its NUL"
  "D5|dds_wire|dds_wire/src/qos_mapping.cpp|s/DDS_RELIABILITY_RELIABLE, DDS_INFINITY/DDS_RELIABILITY_RELIABLE, DDS_MSECS(100)/|reliable writes block only 100 ms"
  "D6|dds_wire|dds_wire/src/qos_mapping.cpp|s/std::clamp<size_t>\(qos.depth, 1,/std::clamp<size_t>(qos.depth + 1, 1,/|keep-last depth one too deep"
  "R1|rclcpp|rclcpp/src/in_process_transport.cpp|s/publisher_qos.reliability\(\) == ReliabilityPolicy::BestEffort/false/|best-effort publisher matches a reliable subscription"
  "R2|rclcpp|rclcpp/src/in_process_transport.cpp|s/if \(publisher_qos.durability\(\) != DurabilityPolicy::TransientLocal &&/if (false &&/|volatile publisher matches a transient-local subscription"
  "R3|rclcpp|rclcpp/src/detail/node_parameters.cpp|s/(if \(parameter_info->second.descriptor.read_only)(\) \{\s*result.successful = false;)/\$1 && false\$2/|a read-only parameter can be set"
  "R4|rclcpp|rclcpp/src/detail/node_parameters.cpp|s/v > range.to_value\)/v > range.to_value + 1)/|integer range lets one past its end through"
  "R5|rclcpp|rclcpp/src/dds/dds_domain_config.cpp|s/std::strtoul\(text, &end, 0\)/std::strtoul(text, \&end, 10)/|ROS_DOMAIN_ID read in base 10"
  "R6|rclcpp|rclcpp/src/dds/dds_domain_config.cpp|s/number > DdsDomainConfig::max_domain_id/number >= DdsDomainConfig::max_domain_id/|highest domain refused"
  "R7|rclcpp|rclcpp/src/expand_topic_or_service_name.cpp|s/namespace_ == \"\/\" \? \"\" : namespace_;/\"\";/|relative names ignore the namespace"
  "R8|rclcpp|rclcpp/src/executor.cpp|s/round.erase\(any_exec.executable.get\(\)\);//|spin_some serves one subscription more than once a round"
  "R9|rclcpp|rclcpp/src/executor.cpp|s/if \(exclusive && !candidate.group->can_be_taken_from\(\).exchange\(false\)\)/if (false)/|mutually exclusive callbacks run at once"
  "R10|rclcpp|rclcpp/src/signal_handler.cpp|s/old.sa_handler\(signum\);/;/|the previous signal handler is not chained"
  "R11|rclcpp|rclcpp/src/in_process_transport.cpp|s/if \(info.qos.durability\(\) == DurabilityPolicy::TransientLocal\) \{/if (false) {/|no replay to late transient-local subscriptions"
  "R12|rclcpp|rclcpp/src/detail/param_overrides.cpp|s/\*existing = std::move\(entry\);//|a later override of the same name loses"
)

selected=("$@")
wanted() {
  (( ${#selected[@]} == 0 )) && return 0
  local id
  for id in "${selected[@]}"; do [[ "$id" == "$1" ]] && return 0; done
  return 1
}

backup=""
target=""
restore() {
  if [[ -n "${backup}" ]]; then
    # A fresh time stamp, so that make rebuilds what the mutant left behind.
    cp "${backup}" "${target}"
    rm -f "${backup}"
    backup=""
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

build_package() {
  "${WS_ROOT}/scripts/build.sh" --packages-select "$1" >"${LOG_DIR}/mutation_build.log" 2>&1
}

# The other package's tests load this one's installed library: after the last mutant of a
# package, it is rebuilt from the restored sources before anything else runs.
survivors=0
dirty=""
rebuild_dirty() {
  if [[ -n "${dirty}" ]]; then
    build_package "${dirty}"
    dirty=""
  fi
}
for entry in "${mutants[@]}"; do
  IFS='|' read -r id package file substitution fault <<<"${entry}"
  wanted "${id}" || continue
  [[ "${package}" == "${dirty}" ]] || rebuild_dirty
  target="${WS_ROOT}/ros2_stand_ins/${file}"
  backup="$(mktemp)"
  cp -p "${target}" "${backup}"
  perl -0pi -e "${substitution}" "${target}"
  if cmp -s "${target}" "${backup}"; then
    echo "${id}: the substitution no longer applies (${fault})"
    restore
    survivors=$((survivors + 1))
    continue
  fi
  dirty="${package}"
  if ! build_package "${package}"; then
    echo "${id}: killed by the compiler (${fault})"
  else
    # rclcpp's public API is tested by a package of its own, against the installed library.
    tested=("${package}")
    [[ "${package}" == rclcpp ]] && tested+=(rclcpp_api_tests)
    # colcon runs ctest in dashboard mode, which names the list of failures by date.
    for name in "${tested[@]}"; do
      rm -f "${BUILD_DIR}/${name}/Testing/Temporary"/LastTestsFailed*.log
    done
    # shellcheck disable=SC2046
    colcon --log-base "${LOG_DIR}" test $(colcon_paths) --packages-select "${tested[@]}" \
      --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
      >"${LOG_DIR}/mutation_test.log" 2>&1 || true
    failed="$(for name in "${tested[@]}"; do
        cat "${BUILD_DIR}/${name}/Testing/Temporary"/LastTestsFailed*.log 2>/dev/null || true
      done | sed 's/^[0-9]*://' | sort -u | tr '\n' ' ')"
    # The failing cases, from the gtest reports, for the log.
    /usr/bin/python3 - "${tested[@]/#/${BUILD_DIR}/}" >>"${LOG_DIR}/mutation_cases.log" <<PY
import glob, os, sys, xml.etree.ElementTree as ET
cases = []
for build in sys.argv[1:]:
    for report in glob.glob(os.path.join(build, "test_results", "*", "*.gtest.xml")):
        for case in ET.parse(report).getroot().iter("testcase"):
            if case.find("failure") is not None or case.find("error") is not None:
                cases.append(case.get("classname", "") + "." + case.get("name", ""))
print("${id}: " + " ".join(sorted(cases)))
PY
    if [[ -n "${failed}" ]]; then
      echo "${id}: killed by ${failed}(${fault})"
    else
      echo "${id}: SURVIVED (${fault})"
      survivors=$((survivors + 1))
    fi
  fi
  restore
done

rebuild_dirty
echo "mutants survived: ${survivors}"
(( survivors == 0 ))
