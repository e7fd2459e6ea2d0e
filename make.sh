#!/usr/bin/env bash
# Installs what is missing, builds, and runs the editor, its tests or its benchmarks.
#   ./make.sh run [FILE]   build and start the editor
#   ./make.sh test         build and run the whole test suite (headless)
#   ./make.sh bench        build and print the benchmark figures
#   ./make.sh build        only build
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libqscintilla2-qt6-dev qt6-webengine-dev
          libgl-dev fonts-dejavu-core fonts-liberation xvfb xauth shared-mime-info desktop-file-utils)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
    # A compiler cache, where one is installed, keeps rebuilds short; it is never required.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
    cmake --build build -j"$(nproc)"
}

command="${1:-run}"
shift || true
install_missing
build
case "$command" in
run)
    exec ./build/bin/OrvikEditor "$@"
    ;;
test)
    cd build
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
    ;;
bench)
    QT_QPA_PLATFORM=offscreen ./build/bin/orvik_bench "$@"
    ;;
build)
    ;;
*)
    echo "usage: $0 run [FILE] | test | bench | build" >&2
    exit 2
    ;;
esac
