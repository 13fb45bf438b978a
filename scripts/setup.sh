#!/usr/bin/env bash
# Installs the Debian packages Taktplan needs to build, run and test.
# Idempotent: packages that are already there are left alone, and apt is only
# asked when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-speech-dev qt6-speech-flite-plugin
    # The charts of the evaluation program Bilanzblick.
    qt6-charts-dev
    # TextToSpeech's CMake config needs QtQmlIntegration, which only this package brings.
    qt6-declarative-dev
    libxkbcommon-dev gettext
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth xdotool imagemagick sox
    # The kill scripts of tests/e2e inject their kills at system calls.
    strace
    # Qt's own texts (file dialogs, standard buttons, key names) in the user's language.
    qt6-translations-l10n
    # The style check of CI; a private session bus for the workstation-lock tests.
    clang-format dbus
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
