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
# The fuzz targets belong to no package: the packages' linters check them here, and their
# results count with the packages' own.
lint_results="${BUILD_DIR}/fuzz_lint"
mkdir -p "${lint_results}"
for linter in copyright cpplint uncrustify lint_cmake; do
  "ament_${linter}" --xunit-file "${lint_results}/${linter}.xunit.xml" "${WS_ROOT}/fuzz" \
    > "${lint_results}/${linter}.log" 2>&1 ||
    echo "test: ament_${linter} finds fault with fuzz/: ${lint_results}/${linter}.log" >&2
done
report_test_results "${BUILD_DIR}"
