#!/usr/bin/env bash
# Builds Tavrix in Release with Debian's hardening flags and makes build-package/tavrix_<version>_amd64.deb
# with CPack; then checks the package with lintian, the desktop entry and the AppStream file with their
# validators, and renders both manual pages.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh" --package
build="$root/build-package"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Only the packaged programs are built: installing does not build the tests and benchmarks first.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"${TAVRIX_JOBS:-2}" --target tavrix tavrix-report tavrix_package_files
version="$("$build/app/tavrix" --version | cut -d' ' -f2)"
(cd "$build" && cpack -G DEB)
deb="$build/tavrix_${version}_$(dpkg --print-architecture).deb"

echo "== lintian $(basename "$deb")"
lintian --display-info "$deb"
echo "== desktop entry and AppStream metadata"
desktop-file-validate "$root/packaging/org.tavrix.Tavrix.desktop"
appstreamcli validate --no-net "$root/packaging/org.tavrix.Tavrix.metainfo.xml"
echo "== manual pages"
for page in tavrix.1 tavrix-report.1; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$build/packaging/$page.gz" 2>&1 >/dev/null)"
  if [ -n "$warnings" ]; then echo "$page: $warnings" >&2; exit 1; fi
  echo "$page renders"
done
echo "== $deb"
