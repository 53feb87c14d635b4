#!/usr/bin/env bash
# The test command: installs what is needed, builds the workspace and runs
# every package's tests. Exits non-zero on any failure.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"${WS_ROOT}/scripts/setup.sh"
"${WS_ROOT}/scripts/build.sh"
source_humble
source_underlay
cd "${WS_ROOT}"
# shellcheck disable=SC2046
colcon --log-base "${LOG_DIR}" test \
  --base-paths $(build_base_paths) $(package_selection) \
  --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
  --event-handlers console_cohesion- summary+ \
  --ctest-args --output-on-failure \
  || true  # failures are counted from the results below
status=0
summary="$(colcon test-result --test-result-base "${BUILD_DIR}" --verbose)" || status=$?
echo "${summary}"
# One plain closing line: "<tests> passed, <failures> failed".
read -r total errors failures skipped < <(echo "${summary}" |
  sed -n 's/^Summary: \([0-9]*\) tests, \([0-9]*\) errors, \([0-9]*\) failures, \([0-9]*\) skipped.*/\1 \2 \3 \4/p' | tail -n 1)
if [[ -z "${total:-}" ]]; then
  echo "test: no test results found" >&2
  exit 1
fi
failed=$(( errors + failures ))
echo "tests: $(( total - failed - skipped )) passed, ${failed} failed, ${skipped} skipped"
if (( status != 0 || failed != 0 )); then
  exit 1
fi
