#!/usr/bin/env bash
# Builds the Debian package of Kelvra with Debian's hardening flags in its own
# build folder, checks it with lintian and prints where it is:
#
#   bash scripts/package.sh        # build-deb/kelvra_<version>_<arch>.deb
#   cd build-deb && sudo apt-get install ./kelvra_*.deb
#
# The package's dependencies are found by dpkg-shlibdeps. Environment:
# KELVRA_DEB_BUILD (build folder, default <repo>/build-deb). Exit status: 0
# when lintian reports no error (its warnings are printed), non-zero otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh lintian
build=${KELVRA_DEB_BUILD:-$PWD/build-deb}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKELVRA_TESTS=OFF -DKELVRA_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j2 --target kelvra
rm -f "$build"/kelvra_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/kelvra_*.deb)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
echo "== lintian =="
lintian --tag-display-limit 0 "$deb"
