#!/bin/bash
# Builds the Debian package (make deb), checks it, and installs it as a user would into a fresh
# Debian 12 made for the run:  scripts/check-deb.sh [--no-build]
#   --no-build   check the kivelo_*.deb that an earlier `make deb` left in the top folder
#
# 1. lintian on the .changes (the package and the build record): no error and no warning.
# 2. From the package's own files: appstreamcli validate (and validate-tree, which ties the
#    metadata to the menu entry and the icon) with --pedantic, desktop-file-validate, and
#    `man --warnings` on both pages in English and in Japanese, without a single warning.
#    The network is closed here: appstreamcli runs with --no-net and fetches no URL.
# 3. The throw-away root: debootstrap (minbase) of Debian 12 into a folder under /var/tmp, entered
#    with chroot. Docker does not run on these machines, and a root of its own keeps this
#    machine's packages out of the result: apt must pull in everything Kivelo needs itself, and
#    after the removal nothing else holds Kivelo's files. Besides Kivelo, the root gets only
#    what a desktop brings (xdg-utils, desktop-file-utils, shared-mime-info), then, in it,
#    `apt install ./kivelo_VERSION_ARCH.deb`. Its programs reach the X server that runs on this
#    machine through the server's abstract socket, so nothing of the machine is mounted into
#    the root but /proc and a /dev/shm of its own.
# 4. In the root, as a user: the menu entry's Exec line with a ledger starts Kivelo under Xvfb,
#    its main window is mapped (a screenshot is kept) and the ledger is open, and Ctrl+Q ends
#    it; `kivelo-ledger --help` works; `xdg-mime query default application/x-kivelo-ledger`
#    answers kivelo.desktop; nothing is installed under /usr/local.
# 5. `apt remove kivelo`: no file of the package is left, and no file or name outside the user's
#    home and apt's and dpkg's own records mentions Kivelo; what the user's run left in the home
#    stays, and is listed.
# Needs root (debootstrap, chroot, mount) and the packaging tools (make deb installs them).
# The root is removed at the end (KEEP_ROOT=1 keeps it); the screenshot and the logs are kept in
# build-deb-check/.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"
mirror=${MIRROR:-http://deb.debian.org/debian}
out=$top/build-deb-check
rm -rf "$out"
mkdir -p "$out"
step() { echo "== $*"; }
fail() { echo "FAIL: $*"; exit 1; }
started=$SECONDS

if [ "${1:-}" != --no-build ]; then
    step "make deb"
    make --no-print-directory deb >"$out/make-deb.log" 2>&1 || { tail -n 40 "$out/make-deb.log"; fail "make deb"; }
    grep '^build-deb: ' "$out/make-deb.log"
    echo "make deb took $((SECONDS - started)) s"
fi
sh scripts/install-deps.sh --packaging
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=kivelo_${version}_$arch.deb
changes=kivelo_${version}_$arch.changes
[ -f "$deb" ] && [ -f "$changes" ] || fail "no $deb and $changes: run make deb"

step "lintian $changes"
# Every tag shown, overrides with their reasons too; the verdict is a second run's, since a tag
# that is shown although overridden counts for --fail-on.
lintian --pedantic --display-experimental --show-overrides "$changes" || true
lintian --fail-on error,warning "$changes" >/dev/null || fail "lintian found errors or warnings"
echo "lintian: no error, no warning"

step "the package's files"
work=$(mktemp -d /var/tmp/kivelo-check.XXXXXX)
root=$work/root
mounted=""
. scripts/xvfb-session.sh
cleanup() {
    end_tracked
    for point in $mounted; do umount "$point" 2>/dev/null || umount -l "$point" || true; done
    if [ "${KEEP_ROOT:-}" = 1 ]; then echo "kept $work"; else rm -rf --one-file-system "$work"; fi
}
trap cleanup EXIT INT TERM
files=$work/files
dpkg-deb -x "$deb" "$files"
metainfo=$(echo "$files"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --pedantic --strict --no-net "$metainfo" || fail "appstreamcli validate"
appstreamcli validate-tree --pedantic --no-net "$files" || fail "appstreamcli validate-tree"
desktop-file-validate "$files/usr/share/applications/kivelo.desktop" || fail "desktop-file-validate"
echo "desktop-file-validate: kivelo.desktop passes"
mkdir "$work/locales"
localedef -i ja_JP -f UTF-8 "$work/locales/ja_JP.UTF-8"
for page in "$files"/usr/share/man/man1/*.1.gz "$files"/usr/share/man/ja/man1/*.1.gz; do
    locales="C.UTF-8"
    case $page in */ja/*) locales="C.UTF-8 ja_JP.UTF-8" ;; esac
    for locale in $locales; do
        warnings=$(LOCPATH=$work/locales LC_ALL=$locale MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns on ${page#"$files"} in $locale: $warnings"
        echo "man --warnings: ${page#"$files"} in $locale, no warning"
    done
done

step "a fresh Debian 12 in $root (debootstrap --variant=minbase bookworm $mirror)"
t=$SECONDS
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$out/debootstrap.log" 2>&1 \
    || { tail -n 20 "$out/debootstrap.log"; fail "debootstrap"; }
echo "debootstrap took $((SECONDS - t)) s"
mount -t proc proc "$root/proc" && mounted="$root/proc $mounted"
mkdir -p "$root/dev/shm" && mount -t tmpfs shm "$root/dev/shm" && mounted="$root/dev/shm $mounted"
cp /etc/resolv.conf "$root/etc/resolv.conf"
printf 'deb %s bookworm main\ndeb %s bookworm-updates main\n' "$mirror" "$mirror" >"$root/etc/apt/sources.list"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod +x "$root/usr/sbin/policy-rc.d"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { chroot --userspec=household:household "$root" /usr/bin/env -i PATH=/usr/bin:/bin \
    HOME=/home/household LC_ALL=C.UTF-8 "$@"; }
in_root apt-get update -q >"$out/apt.log" 2>&1 || fail "apt-get update in the root"
in_root apt-get install -y -q --no-install-recommends xdg-utils desktop-file-utils shared-mime-info \
    >>"$out/apt.log" 2>&1 || fail "installing the desktop's packages in the root"
in_root useradd --create-home household

step "apt install ./$deb"
cp "$deb" "$root/root/"
t=$SECONDS
in_root sh -c "cd /root && apt install -y ./$deb" >"$out/apt-install.log" 2>&1 \
    || { tail -n 20 "$out/apt-install.log"; fail "apt install ./$deb"; }
rm "$root/root/$deb"
grep -E '^(Setting up|Processing triggers)' "$out/apt-install.log" | grep -E 'kivelo|shared-mime-info|desktop-file-utils' || true
echo "apt install took $((SECONDS - t)) s; $(grep -c '^Setting up' "$out/apt-install.log") packages set up"
in_root dpkg -L kivelo | grep -v '^/\.$' >"$work/kivelo.list"
if grep -q '^/usr/local' "$work/kivelo.list" || [ -n "$(find "$root/usr/local" -type f)" ]; then
    fail "something is installed under /usr/local"
fi
echo "nothing under /usr/local"

step "kivelo-ledger --help"
as_user kivelo-ledger --help >"$work/help.txt" || fail "kivelo-ledger --help"
head -n 2 "$work/help.txt"
grep -q '^Commands:' "$work/help.txt" || fail "kivelo-ledger --help lists no commands"
[ "$(as_user kivelo --version)" = "kivelo ${version%-*}" ] || fail "kivelo --version"
echo "kivelo --version: $(as_user kivelo --version)"

step "xdg-mime query default application/x-kivelo-ledger"
default=$(as_user xdg-mime query default application/x-kivelo-ledger)
echo "$default"
[ "$default" = kivelo.desktop ] || fail "ledgers open with '$default', not kivelo.desktop"
grep -qi ':application/x-kivelo-ledger:\*\.zmr$' "$root/usr/share/mime/globs2" || fail "the MIME database lacks *.ZMR"
echo "the MIME database knows *.ZMR"

step "the menu entry starts Kivelo with a ledger"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/kivelo.desktop")
echo "Exec=$exec_line"
# A ledger of one empty month, as a file manager would hand it over (%f).
ledger=/home/household/2026-12.ZMR
head -c 336780 /dev/zero >"$root$ledger"
chroot "$root" chown household:household "$ledger"
as_user kivelo-ledger check "$ledger" || fail "the empty ledger is not sound"
command=${exec_line//%f/$ledger}
start_xvfb 1280x1024
as_user DISPLAY="$DISPLAY" sh -c "exec $command" >"$out/kivelo.log" 2>&1 &
kivelo=$!
track $kivelo
window=""
for _ in $(seq 300); do
    # The main window: of the three of class kivelo, the one whose title names Kivelo.
    for candidate in $(xdotool search --onlyvisible --classname '^kivelo$' 2>/dev/null || true); do
        case $(xdotool getwindowname "$candidate") in *Kivelo*) window=$candidate ;; esac
    done
    [ -n "$window" ] && break
    kill -0 $kivelo 2>/dev/null || { cat "$out/kivelo.log"; fail "Kivelo ended at start"; }
    sleep 0.1
done
[ -n "$window" ] || { cat "$out/kivelo.log"; fail "no Kivelo window mapped within 30 s"; }
echo "mapped: window $window \"$(xdotool getwindowname "$window")\""
lock="$root/home/household/.~lock.2026-12.ZMR#"
for _ in $(seq 50); do [ -e "$lock" ] && break; sleep 0.1; done
[ -e "$lock" ] || fail "Kivelo did not open $ledger (no lock file beside it)"
echo "the ledger is open: $(basename "$lock") beside it"
sleep 1
import -window root "$out/kivelo-installed.png"
echo "screenshot: ${out#"$top"/}/kivelo-installed.png"
xdotool windowactivate --sync "$window" key ctrl+q
for _ in $(seq 100); do kill -0 $kivelo 2>/dev/null || break; sleep 0.1; done
kill -0 $kivelo 2>/dev/null && fail "Ctrl+Q did not end Kivelo"
wait $kivelo || fail "Kivelo ended with status $?"
echo "Ctrl+Q ended Kivelo with status 0"

step "apt remove kivelo"
in_root apt remove -y kivelo >"$out/apt-remove.log" 2>&1 || { tail -n 20 "$out/apt-remove.log"; fail "apt remove"; }
in_root dpkg-query -W -f='${db:Status-Abbrev}' kivelo 2>/dev/null | grep -q '^i' && fail "kivelo is still installed"
left=0
while read -r path; do
    if [ -d "$root$path" ] && [ ! -L "$root$path" ]; then
        # A folder stays only while another package has it too.
        in_root dpkg-query -S "$path" >/dev/null 2>&1 || { echo "left: $path/"; left=$((left + 1)); }
    elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
        echo "left: $path"
        left=$((left + 1))
    fi
done <"$work/kivelo.list"
[ "$left" -eq 0 ] || fail "$left paths of the package are left"
echo "none of the package's $(wc -l <"$work/kivelo.list") paths is left"
# Outside the user's home and the package system's records (logs, apt's lists and caches, dpkg's
# database), no name and no file content mentions Kivelo: the menu, MIME and icon caches too.
names=$(cd "$root" && find . -xdev -iname '*kivelo*' -not -path './home/household/*' \
    -not -path './var/log/*' -not -path './var/lib/dpkg/*' -not -path './var/cache/apt/*' -print)
contents=$(cd "$root" && grep -rlai kivelo etc usr opt var/lib var/cache srv root \
    --exclude-dir=dpkg --exclude-dir=apt 2>/dev/null || true)
[ -z "$names$contents" ] || fail "Kivelo is still named in: $names $contents"
echo "no file outside the user's home names Kivelo"
echo "the user's files, kept:"
(cd "$root/home/household" && find . -mindepth 1 | sort | sed 's/^/  /')

echo "check-deb: all passed in $((SECONDS - started)) s"
