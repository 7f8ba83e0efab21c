#!/usr/bin/env bash
# Installs the Debian packages Scrivola Synth needs. Idempotent; run as root
# (or it re-runs the package tool with sudo).
#
#   scripts/install-deps.sh --run   what building and running the program needs
#   scripts/install-deps.sh         that, and what testing, benchmarking and
#                                   packaging it need
set -euo pipefail

RUN_PACKAGES=(
  # toolchain
  g++ cmake make pkg-config
  # libraries
  qt6-base-dev qt6-svg-dev libqt6svg6 librtaudio-dev libpipewire-0.3-dev libasound2-dev
  libsndfile1-dev libxcb1-dev
  # fonts: a Tahoma-compatible face
  fonts-wine fontconfig
)

TEST_PACKAGES=(
  clang-format libgtest-dev libgmock-dev libbenchmark-dev
  # real-audio and end-to-end tests
  pulseaudio pulseaudio-utils xvfb xauth xdotool x11-utils imagemagick
  pipewire pipewire-bin pipewire-pulse wireplumber dbus-daemon dbus-bin
  python3 python3-numpy procps sndfile-programs
  # the desktop environment (scripts/desktop-env.sh): real time through
  # RealtimeKit and polkit, and the loads of bench/measure
  rtkit polkitd passwd util-linux stress-ng
  # desktop integration and packaging checks
  desktop-file-utils appstream dpkg-dev fakeroot file lintian
  # the Wayland test: a headless compositor, Qt's Wayland plugin, and the
  # compositor's headers for the test's window probe
  weston qt6-wayland libweston-10-dev
)

PACKAGES=("${RUN_PACKAGES[@]}")
case "${1:-}" in
  --run) ;;
  "") PACKAGES+=("${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: $0 [--run]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
