#!/bin/sh
# Installs the Debian packages that building, running and testing Kivelo need and that this
# machine does not have yet. Runs apt-get as root, or through sudo.
#   install-deps.sh               what `make run` and `make test` need
#   install-deps.sh --packaging   that, and the tools of `make deb` and scripts/check-deb.sh
set -eu

packages="cmake ninja-build g++ make pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
qt6-qpa-plugins libgl-dev fonts-ipafont-gothic fonts-ipafont-mincho libbenchmark-dev
clang libclang-rt-14-dev xvfb openbox xdotool x11-utils x11-xserver-utils imagemagick
desktop-file-utils shared-mime-info libxml2-utils homebank-data poppler-utils qt6-translations-l10n libqt6svg6
libxcb1-dev strace appstream man-db groff-base locales"

# Building the Debian package, checking it, and installing it into a throw-away Debian root.
packaging="build-essential debhelper devscripts lintian fakeroot debootstrap librsvg2-bin"

case "${1:-}" in
    "") ;;
    --packaging) packages="$packages $packaging" ;;
    *) echo "usage: install-deps.sh [--packaging]" >&2; exit 2 ;;
esac

missing=""
for package in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    run=""
elif command -v sudo >/dev/null 2>&1; then
    run="sudo"
else
    echo "install-deps: these Debian packages are missing and neither root nor sudo is available:$missing" >&2
    exit 1
fi
echo "install-deps: installing$missing"
$run apt-get update -q
DEBIAN_FRONTEND=noninteractive $run apt-get install -y -q --no-install-recommends $missing
