#!/usr/bin/env bash
# Installs every Debian 12 package Tallyport needs to build, run and test.
# Idempotent: when everything is present it only asks dpkg and returns.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    qtbase5-dev qtdeclarative5-dev qtdeclarative5-dev-tools qtquickcontrols2-5-dev libqt5serialport5-dev libqt5svg5-dev
    qttools5-dev qttools5-dev-tools
    qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls
    qml-module-qtquick-controls2 qml-module-qtquick-templates2 qml-module-qtquick-layouts
    qml-module-qtquick-extras qml-module-qtgraphicaleffects qml-module-qtqml-models2
    qml-module-qttest qt5-image-formats-plugins
    libmosquitto-dev mosquitto mosquitto-clients
    libqrcodegencpp-dev libsystemd-dev fonts-dejavu-core
    xvfb xauth x11-utils libgl1-mesa-dri imagemagick
    librsvg2-bin optipng
    # the fuzz targets (scripts/fuzz.sh): clang with its libFuzzer and sanitizer runtimes
    clang libclang-rt-14-dev
    # the Debian package and its service unit (scripts/package.sh, package-test.sh)
    debhelper lintian systemd
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
