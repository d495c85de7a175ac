#!/usr/bin/env bash
# Builds the Debian package of RV5K Loader: a release build in build-package/,
# then cpack. Prints the package's path.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/prepare.sh" --deps-only
need=()
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${need[@]}"
fi
build="$root/build-package"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target rv5kloader -j"$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/rv5k-loader_*.deb
