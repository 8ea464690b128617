#!/bin/sh
# Installs the build into a temporary prefix and checks what desktops read from it: the
# program, its menu entry, its icon and the MIME type of ledger files.
#   check-install.sh BUILD_DIR
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

test -x "$prefix/bin/kivelo" || { echo "kivelo is not installed"; exit 1; }
test -f "$prefix/share/icons/hicolor/scalable/apps/kivelo.svg" || { echo "the icon is not installed"; exit 1; }
desktop-file-validate "$prefix/share/applications/kivelo.desktop"
grep -q '^Icon=kivelo$' "$prefix/share/applications/kivelo.desktop"
# A file manager hands the ledger that was double-clicked to the program.
grep -q '^Exec=kivelo %f$' "$prefix/share/applications/kivelo.desktop"
# The class of the program's windows, by which task bars put them under the entry.
grep -q '^StartupWMClass=kivelo$' "$prefix/share/applications/kivelo.desktop"
grep -q '^MimeType=application/x-kivelo-ledger;$' "$prefix/share/applications/kivelo.desktop"

package="$prefix/share/mime/packages/kivelo-ledger.xml"
xmllint --noout "$package"
# shared-mime-info itself must accept the package and know the glob.
errors=$(XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$prefix/share" update-mime-database "$prefix/share/mime" 2>&1 || echo "update-mime-database failed")
if [ -n "$errors" ]; then
    echo "$errors"
    exit 1
fi
test -f "$prefix/share/mime/application/x-kivelo-ledger.xml"
grep -qi 'application/x-kivelo-ledger:\*\.zmr' "$prefix/share/mime/globs2"
echo "install check passed"
