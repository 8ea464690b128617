#!/bin/bash
# What the Debian package ships beside the programs, checked on the build's own installation into
# a temporary prefix, without building a package: the AppStream metadata, the menu entry and the
# four manual pages validate; the pages name every command that `kivelo-ledger --help` lists, and
# the bash completion offers those commands and each command's options; the screenshots are the
# README's pictures; the metadata, the pages and debian/changelog name the project's version.
#   check-packaging.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail
source_dir=$1
build=$2
version=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
metainfo=$share/metainfo/org.example.kivelo.metainfo.xml
completion=$share/bash-completion/completions/kivelo-ledger
pages="$share/man/man1/kivelo.1 $share/man/man1/kivelo-ledger.1 $share/man/ja/man1/kivelo.1 $share/man/ja/man1/kivelo-ledger.1"
for file in "$metainfo" "$completion" $pages; do
    test -f "$file" || fail "${file#"$prefix"/} is not installed"
done
for size in 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/kivelo.png
    test "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x$size" || fail "no ${size}x$size icon"
done

# The network may be closed: the URLs are not fetched.
appstreamcli validate --pedantic --strict --no-net "$metainfo" || fail "appstreamcli rejects the metadata"
desktop-file-validate "$share/applications/kivelo.desktop" || fail "desktop-file-validate rejects the entry"

# The pages as a reader gets them, in a UTF-8 locale, and the Japanese ones also in Japanese
# (the locale made here from the locales package's source, when the machine has none).
locales=$prefix/locales
mkdir "$locales"
localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" 2>/dev/null || true
render() {  # LOCALE PAGE: the page as text; a warning of groff or man, or a line past the
            # terminal's 80 columns (Japanese text that groff found no place to break), fails
    local warnings
    warnings=$(LOCPATH=$locales LC_ALL=$1 MANWIDTH=80 man --warnings -E UTF-8 -l "$2" 2>&1 >"$prefix/page.txt") \
        || fail "man cannot render $2 in $1"
    [ -z "$warnings" ] || fail "man warns on ${2#"$prefix"/} in $1: $warnings"
    [ "$(LC_ALL=C.UTF-8 wc -L <"$prefix/page.txt")" -le 80 ] || fail "${2#"$prefix"/} has lines past 80 columns in $1"
    cat "$prefix/page.txt"
}
for page in $pages; do render C.UTF-8 "$page" >/dev/null; done
for page in $share/man/ja/man1/*.1; do render ja_JP.UTF-8 "$page" >/dev/null; done

# The commands and, from each usage line, the command's options, as the program lists them.
help=$("$prefix/bin/kivelo-ledger" --help)
usages=$(sed -n '/^Commands:/,/^Options:/s/^  \([a-z][a-z]*\( [^ ]\{1,\}\)*\).*/\1/p' <<<"$help")
commands=$(awk '{print $1}' <<<"$usages")
[ "$(wc -l <<<"$commands")" -ge 8 ] || fail "kivelo-ledger --help lists only: $commands"
for page in $share/man/man1/kivelo-ledger.1 $share/man/ja/man1/kivelo-ledger.1; do
    text=$(render C.UTF-8 "$page")
    for command in $commands; do
        grep -Eq "^ {7}$command( |$)" <<<"$text" || fail "${page#"$prefix"/} does not describe $command"
    done
done

complete_words() {  # WORD...: what the completion offers for the last word, sorted, one a line
    bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kivelo_ledger
             printf "%s\n" "${COMPREPLY[@]}" | sort' sh "$completion" kivelo-ledger "$@"
}
expected=$(printf '%s\n' $commands --help | sort)
[ "$(complete_words '')" = "$expected" ] || fail "the completion offers $(complete_words '' | xargs), not $(xargs <<<"$expected")"
while read -r command arguments; do
    offered=$(complete_words "$command" x.ZMR --)
    for option in $(grep -o -- '--[a-z0-9-]*' <<<"$arguments" || true); do
        grep -qx -- "$option" <<<"$offered" || fail "the completion does not offer $option after $command"
    done
done <<<"$usages"

# The screenshots: the README's pictures, at the project's site that serves the repository.
homepage=$(sed -n 's|.*<url type="homepage">\(.*\)</url>.*|\1|p' "$metainfo")
images=$(sed -n 's|.*<image>\(.*\)</image>.*|\1|p' "$metainfo")
[ -n "$images" ] || fail "the metadata has no screenshot"
for image in $images; do
    file=${image#"$homepage"}
    [ "$file" != "$image" ] && [ -f "$source_dir/$file" ] || fail "screenshot $image is no file of the repository"
    grep -qF "]($file)" "$source_dir/README.md" || fail "the README does not show $file"
done

# One version and one release date throughout.
grep -q "<release version=\"$version\" date=\"" "$metainfo" || fail "the metadata's release is not $version"
for page in $pages; do
    grep -q "^\.TH .* \"Kivelo $version\"" "$page" || fail "${page#"$prefix"/} is not of Kivelo $version"
done
changelog=$source_dir/debian/changelog
head -n 1 "$changelog" | grep -q "^kivelo ($version-[0-9.]*) " \
    || fail "debian/changelog's first entry is not of $version: $(head -n 1 "$changelog")"
released=$(date -u -d "$(sed -n 's/^ -- .*>  //p' "$changelog" | head -n 1)" +%F)
grep -q "<release version=\"$version\" date=\"$released\"" "$metainfo" \
    || fail "the metadata's release date differs from debian/changelog's $released"
echo "packaging check passed: $(wc -w <<<"$commands") commands, $(wc -w <<<"$images") screenshots"
