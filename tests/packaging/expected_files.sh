# Sourced by the packaging checks.

# Prints every file an install of Scrivola Synth holds, relative to the root
# and sorted, for the app id $1.
scrivola_expected_files() {
    local id=$1 size
    {
        echo usr/bin/scrivola-synth
        echo usr/share/man/man1/scrivola-synth.1.gz
        echo usr/share/doc/scrivola-synth/copyright
        echo usr/share/doc/scrivola-synth/changelog.Debian.gz
        echo usr/share/lintian/overrides/scrivola-synth
        echo "usr/share/applications/$id.desktop"
        echo "usr/share/metainfo/$id.metainfo.xml"
        for size in 16 32 48 128 256; do
            echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
        done
        echo "usr/share/icons/hicolor/scalable/apps/$id.svg"
        echo "usr/share/mime/packages/$id.xml"
        echo usr/share/icons/hicolor/scalable/mimetypes/application-x-scrivola-performance.svg
    } | LC_ALL=C sort
}

# Fails with a message naming $1 when the lists $2 (expected) and $3 (actual)
# differ, showing the difference.
scrivola_same_list() {
    local what=$1 expected=$2 actual=$3
    if [ "$expected" != "$actual" ]; then
        echo "FAIL: $what differs from the expected file list (- expected, + actual):" >&2
        diff <(echo "$expected") <(echo "$actual") >&2
        return 1
    fi
}
