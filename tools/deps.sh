#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need. Sourced by
# ./test.sh and ./run.sh; as root it runs apt-get, otherwise it prints the command to run.
KR450_PACKAGES=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-tidy clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libudev-dev libsystemd-dev libevdev-dev libxtst-dev libx11-dev libxi-dev
  xvfb xauth xdotool x11-xserver-utils x11-utils openbox trayer fonts-wqy-zenhei dbus-daemon rtkit
  dpkg-dev desktop-file-utils systemd man-db lintian
)

kr450_install_deps() {
  local missing=()
  for pkg in "${KR450_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Run:"
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}"
    return 1
  fi
}
