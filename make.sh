#!/usr/bin/env bash
# Installs what is missing, builds, and runs the editor, its tests or its benchmarks.
#   ./make.sh run [FILE]   build and start the editor
#   ./make.sh test         build and run the whole test suite (headless)
#   ./make.sh sanitize     the suite on a build with address, leak and undefined-behaviour checks
#   ./make.sh bench        build and print the benchmark figures
#   ./make.sh build        only build
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libqscintilla2-qt6-dev qt6-webengine-dev
          libgl-dev fonts-dejavu-core fonts-liberation xvfb xauth shared-mime-info desktop-file-utils
          clang-format xdotool)

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

# build DIR [CMAKE OPTIONS...]
build() {
    local dir=$1
    shift
    # A compiler cache, where one is installed, keeps rebuilds short; it is never required.
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

run_tests() {
    (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2)
}

command="${1:-run}"
shift || true
install_missing
build build -DCMAKE_BUILD_TYPE=Release
case "$command" in
run)
    exec ./build/bin/OrvikEditor "$@"
    ;;
test)
    run_tests build
    ;;
sanitize)
    # The suite, built to stop at the first memory error, leak or undefined
    # behaviour. The engine's library mixes new and delete sizes and keeps some allocations
    # until exit, which is not ours to mend; tests/leaks.supp names what it keeps.
    # Line tables are enough for the reports and keep this build short.
    build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DORVIK_SANITIZE=ON \
          -DORVIK_BENCH=OFF
    ASAN_OPTIONS=new_delete_type_mismatch=0 \
    LSAN_OPTIONS=suppressions="$PWD/tests/leaks.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 \
        run_tests build-sanitize
    ;;
bench)
    # The fuzz target of the text model needs clang and its fuzzer library; without them the
    # bench says so and goes on.
    PACKAGES+=(clang libclang-rt-14-dev)
    install_missing || true
    if command -v clang++ >/dev/null; then
        CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIK_FUZZ=ON \
            -DORVIK_BENCH=OFF -DORVIK_WARNINGS_AS_ERRORS=OFF >/dev/null
        cmake --build build-fuzz -j"$(nproc)" --target fuzz_text ||
            echo "The fuzz target did not build; the fuzz section will say so." >&2
    fi
    # The fuzz target runs with address checks; what the toolkit keeps until exit is not a fault.
    ASAN_OPTIONS=new_delete_type_mismatch=0:detect_leaks=0 \
        QT_QPA_PLATFORM=offscreen ./build/bin/orvik_bench "$@"
    ;;
build)
    ;;
*)
    echo "usage: $0 run [FILE] | test | sanitize | bench | build" >&2
    exit 2
    ;;
esac
