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
  $(colcon_paths) $(package_selection) \
  --build-base "${BUILD_DIR}" --install-base "${INSTALL_DIR}" \
  --event-handlers console_cohesion- summary+ \
  --ctest-args --output-on-failure \
  || true  # failures are counted from the results below
# The fuzz targets and the benchmark's scripts belong to no package: the packages' linters
# check them here, and their results count with the packages' own.
lint_results="${BUILD_DIR}/loose_lint"
rm -rf "${lint_results}" && mkdir -p "${lint_results}"
lint_loose() {  # LINTER NAME PATH...
  local linter=$1 name=$2
  shift 2
  "ament_${linter}" --xunit-file "${lint_results}/${name}_${linter}.xunit.xml" "$@" \
    > "${lint_results}/${name}_${linter}.log" 2>&1 ||
    echo "test: ament_${linter} finds fault with ${name}: ${lint_results}/${name}_${linter}.log" >&2
}
for linter in copyright cpplint uncrustify lint_cmake; do
  lint_loose "${linter}" fuzz "${WS_ROOT}/fuzz"
done
for linter in copyright flake8 pep257; do
  lint_loose "${linter}" benchmarks "${WS_ROOT}"/benchmarks/*.py
done
report_test_results "${BUILD_DIR}"
