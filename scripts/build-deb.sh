#!/bin/sh
# Builds the Debian package of the work tree as it is (`make deb` runs this after installing the
# packaging tools):  scripts/build-deb.sh [BUILD_DIR]   (default build-deb)
# The files git tracks or would track (committed, changed or new; not the ignored ones such as
# build/) are copied into BUILD_DIR/kivelo and built there with `dpkg-buildpackage -us -uc -b`,
# so that neither dh's obj-<triplet>/ nor its clean-up touches the work tree and the results,
# which dpkg-buildpackage writes into the folder above the sources, land in BUILD_DIR. From there
# kivelo_VERSION_ARCH.deb, the debug symbols' package and the .changes and .buildinfo are moved
# into the top folder, replacing those of an earlier `make deb`; BUILD_DIR goes when it succeeded.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build-deb}

rm -rf "$build"
mkdir -p "$build/kivelo"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # A tracked file deleted in the work tree is left out.
    git ls-files -z --cached --others --exclude-standard \
        | xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh \
        | tar --null --files-from=- -cf - | tar -xf - -C "$build/kivelo"
else
    tar --exclude="./$build" --exclude='./build*' -cf - . | tar -xf - -C "$build/kivelo"
fi

(cd "$build/kivelo" && dpkg-buildpackage -us -uc -b)

rm -f kivelo_*.deb kivelo-dbgsym_*.deb kivelo_*.changes kivelo_*.buildinfo
for file in "$build"/*.deb "$build"/*.changes "$build"/*.buildinfo; do
    mv "$file" .
    echo "build-deb: $(basename "$file")"
done
rm -rf "$build"
