#!/usr/bin/env bash
# Builds the Debian package from this tree: installs what the build needs,
# configures a release build without tests into build-deb/ (or the folder
# given), runs CPack's DEB generator there and checks the result with
# lintian. The package lands in that folder as quillet_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-deb}

bash tools/setup.sh
# The package's own tools: man pages, dependency computation, the check.
need=()
for p in help2man dpkg-dev file lintian; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if ((${#need[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the tree, and the tree's place left out of the hash, so
  # that every clone and worktree shares the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_TESTS=OFF \
  -DQUILLET_BENCH=OFF "${launcher[@]}"
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/quillet_*.deb
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/quillet_*.deb)
echo "Package: $deb"
dpkg-deb -I "$deb" | sed -n '/^ [A-Z]/p'
# lintian's errors fail the build; warnings and notes are shown.
lintian --fail-on error "$deb"
echo "lintian: no error"
