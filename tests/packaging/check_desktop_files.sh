#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators and name
# the same app id, icon and program.
#   check_desktop_files.sh <app-id> <project-version> <desktop-file> <metainfo-file>
set -euo pipefail
id=$1 version=$2 desktop=$3 metainfo=$4
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"

entry() { sed -n "s/^$1=//p" "$desktop"; }
tag() { grep -o "<$1[^>]*>[^<]*</$1>" "$metainfo" | head -n 1 | sed 's/<[^>]*>//g'; }

[ "$(basename "$desktop")" = "$id.desktop" ] || fail "desktop file is not named $id.desktop"
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo is not named $id.metainfo.xml"
[ "$(entry Icon)" = "$id" ] || fail "desktop Icon is '$(entry Icon)', not $id"
[ "$(entry Exec)" = "scrivola-synth %f" ] || fail "desktop Exec is '$(entry Exec)'"
[ "$(entry MimeType)" = "application/x-scrivola-performance;" ] ||
    fail "desktop MimeType is '$(entry MimeType)'"
[ "$(entry Terminal)" = false ] || fail "desktop Terminal is not false"
[ "$(entry Categories)" = "AudioVideo;Audio;" ] || fail "desktop Categories is '$(entry Categories)'"
[ -n "$(entry Keywords)" ] || fail "desktop entry has no Keywords"
[ "$(tag id)" = "$id" ] || fail "metainfo id is '$(tag id)'"
[ "$(tag launchable)" = "$id.desktop" ] || fail "metainfo launchable is '$(tag launchable)'"
[ "$(tag binary)" = "$(entry Exec | cut -d' ' -f1)" ] ||
    fail "metainfo binary differs from desktop Exec"
grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no default screenshot"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "metainfo has no content rating"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "newest metainfo release is '$newest', the project is $version"
exit $status
