#!/usr/bin/env bash
# Sets up the machine, builds the Release tree (the one scripts/run.sh uses, so a second build is
# incremental) and packs it: a Debian package and a .tar.gz of the same installed tree, both in
# build-release/packages/ (or $QUILLMOOR_RELEASE_DIR/packages/). The last line printed is the path
# of the Debian package.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMOOR_RELEASE_DIR:-$root/build-release}
"$root/scripts/setup.sh"
QUILLMOOR_BUILD_DIR="$build" "$root/scripts/build.sh" -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF -DCMAKE_BUILD_TYPE=Release -DQUILLMOOR_GL_CHECKS=OFF >&2
rm -rf "$build/packages"
(cd "$build" && cpack --config CPackConfig.cmake) >&2
packages=("$build"/packages/*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "package.sh: expected one .deb in $build/packages" >&2; exit 1; }
echo "${packages[0]}"
