#!/usr/bin/env bash
# Installs every Debian package the workspace needs, skipping what is there.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

packages=(
  build-essential cmake pkg-config git rsync
  colcon python3-colcon-cmake python3-colcon-ros python3-colcon-bash
  python3-colcon-library-path python3-colcon-output python3-colcon-parallel-executor
  python3-colcon-package-selection python3-colcon-recursive-crawl python3-colcon-metadata
  python3-colcon-test-result
  libspdlog-dev libfmt-dev libsystemd-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libyaml-cpp-dev libeigen3-dev
  # ament_lint_auto, ament_lint_common and its linters, in both worlds (what rosdep would
  # install for a Humble team)
  ament-lint
)
if [[ "${HAVE_HUMBLE}" == 0 ]]; then
  # What the stand-ins are generated and built from.
  packages+=(
    ament-cmake ament-cmake-googletest
    rosidl-core rosidl-generator-c-cpp librosidl-typesupport-introspection-c-cpp-dev
    librcutils-dev libyaml-dev cyclonedds-dev cyclonedds-tools
  )
else
  # The pytest-based tests that run against Humble's ros2 command, launch and rclpy.
  packages+=(python3-pytest python3-psutil)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if (( ${#missing[@]} )); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ "$(id -u)" == 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
else
  echo "setup: all Debian packages present"
fi
