#!/usr/bin/env bash
# Builds the Debian package build-package/pyra3_<version>_<architecture>.deb: an optimised,
# hardened build of the program in build-package/ (made, or brought up to date), packed by
# CPack's DEB generator and checked by lintian, which must find no error.
#   tools/package.sh
#   tools/package.sh --quick BUILD DIR   packs the built tree BUILD into DIR as it is, without
#                                        building, the dependency list or lintian (the tests)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --quick ]; then
  [ $# -eq 3 ] || { echo "usage: $0 [--quick BUILD DIR]" >&2; exit 2; }
  build=$2 out=$3
  cpack --config "$build/CPackConfig.cmake" -B "$out" -D CPACK_DEBIAN_PACKAGE_SHLIBDEPS=OFF \
    >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log" >&2; exit 1; }
  exit 0
fi
[ $# -eq 0 ] || { echo "usage: $0 [--quick BUILD DIR]" >&2; exit 2; }

bash tools/setup.sh
build=build-package
# Debian's compiler and linker flags, with every hardening feature.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# The program and what it installs; the tests and benchmarks are not part of the package.
cmake --build "$build" -j2 --target pyra3

rm -f "$build"/pyra3_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build" >"$build/cpack.log" 2>&1 ||
  { cat "$build/cpack.log" >&2; exit 1; }
deb=$(ls "$build"/pyra3_*.deb)
# A new version needs its changelog entry.
package_version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(dpkg-parsechangelog -l desktop/changelog -S Version)
[ "$package_version" = "$changelog_version" ] || {
  echo "package.sh: the package is $package_version, the changelog's last entry $changelog_version" >&2
  exit 1
}
lintian --fail-on error "$deb"
echo "$deb"
