#!/usr/bin/env bash
# Installs every Debian package needed to build, test, benchmark and package
# Scrivola Synth. Idempotent; run as root (or it re-runs itself with sudo).
set -euo pipefail

PACKAGES=(
  # toolchain
  g++ cmake make pkg-config clang-format
  # libraries
  qt6-base-dev qt6-svg-dev libqt6svg6 librtaudio-dev libpipewire-0.3-dev libasound2-dev
  libsndfile1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # fonts: a Tahoma-compatible face
  fonts-wine fontconfig
  # real-audio and end-to-end tests
  pulseaudio pulseaudio-utils xvfb xauth xdotool x11-utils imagemagick
  pipewire pipewire-pulse wireplumber dbus-daemon
  python3 python3-numpy procps sndfile-programs
  # desktop integration and packaging checks
  desktop-file-utils appstream dpkg-dev fakeroot file lintian
  # the Wayland test: a headless compositor, Qt's Wayland plugin, and the
  # compositor's headers for the test's window probe
  weston qt6-wayland libweston-10-dev
)

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
