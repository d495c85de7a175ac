#!/usr/bin/env bash
# Shared by ./run, ./test and scripts/fuzz.sh: installs the Debian packages
# that are missing, then configures and builds incrementally.
#   scripts/prepare.sh             the ordinary build (gcc) in build/
#   scripts/prepare.sh --sanitize  everything with AddressSanitizer and
#                                  UndefinedBehaviorSanitizer (clang) in build-sanitize/
#   scripts/prepare.sh --fuzz      the libFuzzer targets (clang) in build-fuzz/
#   scripts/prepare.sh --deps-only the packages only (scripts/package.sh builds on its own)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
packages=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libhidapi-dev libudev-dev libgl-dev)
# clang, its sanitizer and libFuzzer runtimes, and the symbolizer that turns
# their reports' addresses into file names and lines.
clang_packages=(clang libclang-rt-14-dev llvm-14)

mode="${1:-}"
build="$root/build"
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
target=()
case "$mode" in
"" | --deps-only) ;;
--sanitize)
    packages+=("${clang_packages[@]}")
    build="$root/build-sanitize"
    options+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRV5K_SANITIZE=ON)
    ;;
--fuzz)
    packages+=("${clang_packages[@]}")
    build="$root/build-fuzz"
    options+=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRV5K_FUZZ=ON)
    target=(--target fuzz)
    ;;
*)
    echo "usage: $0 [--sanitize|--fuzz|--deps-only]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

[ "$mode" = "--deps-only" ] && exit 0

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
fi
cmake --build "$build" -j"$(nproc)" "${target[@]}"
