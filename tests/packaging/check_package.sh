#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a temporary root and checks what a user
# would get: the files, the control fields, the installed vellick-cli, the desktop entry, the metainfo, the
# man pages, the icons, the bash completion, and lintian's verdict.
# Usage: check_package.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Prints the text and fails when it is not empty (the validators print only what is wrong).
quiet_or_fail() {
    local what=$1 text=$2
    [ -z "$text" ] || fail "$what:"$'\n'"$text"
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb="$work/out/vellick_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAIL: no $deb; cpack made: $(ls "$work/out")" >&2; exit 1; }

# Every file the package holds, no more and no less.
expected=(
    ./usr/bin/vellick
    ./usr/bin/vellick-cli
    ./usr/lib/vellick/vellick-file-types.so
    "./usr/share/applications/$id.desktop"
    "./usr/share/metainfo/$id.metainfo.xml"
    "./usr/share/icons/hicolor/scalable/apps/$id.svg"
    ./usr/share/man/man1/vellick.1.gz
    ./usr/share/man/man1/vellick-cli.1.gz
    ./usr/share/bash-completion/completions/vellick-cli
    ./usr/share/doc/vellick/manual.html
    ./usr/share/doc/vellick/copyright
    ./usr/share/doc/vellick/changelog.gz
)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
dpkg-deb --contents "$deb" >"$work/contents"
actual=$(awk '$1 !~ /^d/ { print $6 }' "$work/contents" | sort)
difference=$(diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$actual")) || fail "package contents (< missing, > unexpected):"$'\n'"$difference"
grep -v ' root/root ' "$work/contents" && fail "files not owned by root"

# Libraries found by dpkg-shlibdeps, plus what the programs need at run time.
depends=$(dpkg-deb --field "$deb" Depends)
for package in libqt6widgets6 libqt6core6 libc6 qt6-qpa-plugins libqt6svg6 xdg-utils shared-mime-info \
    hicolor-icon-theme adwaita-icon-theme; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb --field "$deb" Recommends)" = "cups-client" ] || fail "Recommends: $(dpkg-deb --field "$deb" Recommends)"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "Version: $(dpkg-deb --field "$deb" Version)"

root="$work/root"
dpkg -x "$deb" "$root"
bin="$root/usr/bin"
share="$root/usr/share"

# The installed vellick-cli: its version, and a search.
[ "$("$bin/vellick-cli" --version)" = "vellick-cli $version" ] || fail "--version printed: $("$bin/vellick-cli" --version)"
mkdir -p "$work/tree/sub"
echo "a needle in the hay" >"$work/tree/found.txt"
echo "only hay" >"$work/tree/other.txt"
found=$("$bin/vellick-cli" -d "$work/tree" needle 2>/dev/null) || fail "the search found nothing"
[[ $found == *found.txt* && $found != *other.txt* ]] || fail "the search printed: $found"
# vellick-cli links no Qt; the installed file-type module gives its reports their type column.
readelf -d "$bin/vellick-cli" | grep -qi 'NEEDED.*qt' && fail "vellick-cli links Qt"
"$bin/vellick-cli" -d "$work/tree" --report "$work/types.csv" --include path,type needle >/dev/null 2>&1 ||
    fail "the report with a type column"
grep -qE 'found\.txt,[^,]+' "$work/types.csv" || fail "the report's type column: $(cat "$work/types.csv")"

# Desktop entry and metainfo, named by the id and pointing at what is installed.
desktop="$share/applications/$id.desktop"
quiet_or_fail "desktop-file-validate" "$(desktop-file-validate "$desktop" 2>&1)"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -qx "Exec=vellick %f" "$desktop" || fail "the desktop entry does not start vellick with a folder"
metainfo="$share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net --no-color "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate:"$'\n'"$(cat "$work/appstream.log")"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"

# Man pages: no groff warning, the version in the title line, every long option of --help on the page.
for page in vellick vellick-cli; do
    file="$share/man/man1/$page.1.gz"
    quiet_or_fail "groff on $page.1" "$(zcat "$file" | groff -ww -z -man 2>&1)"
    zcat "$file" | grep -q "^\.TH .*$version" || fail "$page.1 does not carry version $version"
done
page_text=$(zcat "$share/man/man1/vellick-cli.1.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null)
for option in $("$bin/vellick-cli" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    [[ $page_text == *"$option"* ]] || fail "vellick-cli.1 lacks $option"
done

# Icons: the PNGs have the size of their folder (width and height from the PNG header).
for size in 16 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
    [ "$dimensions" = "${size}x${size}" ] || fail "$png is $dimensions"
done

# Bash completion as a shell would run it: the words typed so far, then what Tab offers. Bash makes "=" a
# word of its own ("--folder = DIR" stands for "--folder=DIR"). compopt (spacing after the word) works only
# inside a real completion, so it does nothing here.
complete_words() {
    PATH="$bin:$PATH" bash -c '
        source /usr/share/bash-completion/bash_completion
        compopt() { :; }
        source "$1"
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        COMP_LINE="$*"
        COMP_LINE=${COMP_LINE// = /=}
        COMP_POINT=${#COMP_LINE}
        _vellick_cli vellick-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}" | sort' _ "$share/bash-completion/completions/vellick-cli" vellick-cli "$@"
}
expect_completion() {
    local expected=$1
    shift
    local offered
    offered=$(complete_words "$@" | paste -sd ' ')
    [ "$offered" = "$expected" ] || fail "completing '$*' offered '$offered', not '$expected'"
}
# Long options come from --help; those that take a value are offered with "=" when --help writes "--folder=DIR".
offered=$(complete_words --fo | sed 's/=$//' | paste -sd ' ')
[ "$offered" = "--folder --format" ] || fail "completing '--fo' offered '$offered'"
expect_completion "csv import text" --format ""
expect_completion "path,size" --include path,s
expect_completion "path,context path,hits path,keywords path,modified path,size path,type" --include path,
expect_completion "$work/tree/sub" -d "$work/tree/"
expect_completion "$work/tree/sub" --folder = "$work/tree/"
expect_completion "$work/tree/found.txt $work/tree/other.txt $work/tree/sub" --report "$work/tree/"
expect_completion "$work/tree/sub" -e needle "$work/tree/"
expect_completion "all any" --mode a
if "$bin/vellick-cli" --help | grep -q -- '--color\['; then
    expect_completion "always auto" --color = a
fi

lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian:"$'\n'"$(cat "$work/lintian.log")"
grep -v '^running with root' "$work/lintian.log" || true

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "vellick_${version} package checked"
