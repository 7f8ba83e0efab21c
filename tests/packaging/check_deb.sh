#!/usr/bin/env bash
# `cpack -G DEB` builds a package holding exactly the expected files with
# sane owners and modes, the control fields a Debian user sees, and
# dependencies on the Qt 6 and RtAudio libraries (and recommendations) that
# this machine satisfies.
#   check_deb.sh <build-dir> <out-dir> <app-id> <project-version>
set -euo pipefail
build=$1 out=$2 id=$3 version=$4
here=$(dirname "$0")
source "$here/expected_files.sh"

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; echo "FAIL: cpack -G DEB failed" >&2; exit 1; }
arch=$(dpkg --print-architecture)
debs=("$out"/scrivola-synth_"$version"-*_"$arch".deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "FAIL: cpack made no scrivola-synth_$version-*_$arch.deb" >&2; ls "$out" >&2; exit 1; }

status=0
fail() { echo "FAIL: $*" >&2; status=1; }

listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | LC_ALL=C sort)
scrivola_same_list "the package" "$(scrivola_expected_files "$id")" "$files" || status=1
awk '$2 != "root/root"' <<<"$listing" | grep -q . && fail "entries not owned by root/root"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' <<<"$listing" | grep -q . &&
    fail "directories without mode 755: $(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x"' <<<"$listing")"
grep -E '^-' <<<"$listing" | awk '{ m = ($6 == "./usr/bin/scrivola-synth") ? "-rwxr-xr-x" : "-rw-r--r--";
    if ($1 != m) print }' | grep . >&2 && fail "files with unexpected modes (above)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = scrivola-synth ] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version"-* ]] || fail "Version '$(field Version)' is not $version-REVISION"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = sound ] || fail "Section is '$(field Section)'"
grep -qE '^[^<>]+ <[^@ ]+@[^> ]+>$' <<<"$(field Maintainer)" ||
    fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
[ "$(head -n 1 <<<"$description")" = "synthesizer played by drawing" ] ||
    fail "the Description synopsis is '$(head -n 1 <<<"$description")'"
long_text=$(tail -n +2 <<<"$description" | sed 's/^ //')
[ "$(wc -l <<<"$long_text")" -ge 2 ] || fail "the Description has no long text"
[ "$(head -n 1 <<<"$long_text")" != "$(head -n 1 <<<"$description")" ] ||
    fail "the Description repeats its synopsis as the first line of the long text"

depends=$(field Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 librtaudio6 qt6-qpa-plugins; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# Every dependency group must be met by a package installed here, at the
# version asked for: catches misspelt or impossible dependencies.
satisfied() {
    local alternative name op wanted have
    while read -r alternative; do
        name=${alternative%% *}
        have=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null) || continue
        [ "${have%% *}" = installed ] || continue
        if [[ $alternative =~ \((..?)\ ([^\)]+)\) ]]; then
            op=${BASH_REMATCH[1]} wanted=${BASH_REMATCH[2]}
            case $op in ">=") op=ge ;; "<=") op=le ;; "=") op=eq ;; ">>") op=gt ;; "<<") op=lt ;; esac
            dpkg --compare-versions "${have#* }" "$op" "$wanted" || continue
        fi
        return 0
    done < <(sed 's/ | /\n/g' <<<"$1")
    return 1
}
while read -r group; do
    satisfied "$group" || fail "no installed package meets the relation '$group'"
done < <(sed 's/, /\n/g' <<<"$depends, $(field Recommends)")
exit $status
