#!/bin/sh
# Checks of the installed files and the Debian package, run by ctest as
# `check-packaging.sh WHAT`. The build passes MOGUMO_SOURCE_DIR,
# MOGUMO_BUILD_DIR, MOGUMO_CMAKE, MOGUMO_CPACK, MOGUMO_VERSION,
# MOGUMO_DESKTOP_ID and MOGUMO_BUILD_GUI. Exit 0 passed, 1 failed, 77 skipped
# (a tool it needs is not installed).
set -eu

what=$1
src=$MOGUMO_SOURCE_DIR
id=$MOGUMO_DESKTOP_ID
version=$MOGUMO_VERSION
desktop=$src/packaging/$id.desktop
metainfo=$src/packaging/$id.metainfo.xml

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

need() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: $tool is not installed (scripts/install-deps installs it)"
            exit 77
        fi
    done
}

need_game() {
    if [ "$MOGUMO_BUILD_GUI" != 1 ]; then
        echo "SKIPPED: the game is not built (MOGUMO_BUILD_GUI is off)"
        exit 77
    fi
}

scratch() {
    dir=$(mktemp -d "${TMPDIR:-/tmp}/mogumo-$what.XXXXXX")
    trap 'rm -rf "$dir"' EXIT
}

# The files that name the game and its version agree with each other and with
# the build.
check_metadata() {
    grep -qx "Icon=$id" "$desktop" || fail "$desktop: Icon is not $id"
    grep -qx "Exec=mogumo" "$desktop" || fail "$desktop: Exec is not plain mogumo"
    grep -qx "Categories=Game;SportsGame;" "$desktop" || fail "$desktop: wrong Categories"
    grep -qx "StartupNotify=true" "$desktop" || fail "$desktop: no StartupNotify=true"
    for key in Name Comment; do
        grep -q "^$key=" "$desktop" || fail "$desktop: no English $key"
        grep -q "^$key\[ja\]=" "$desktop" || fail "$desktop: no Japanese $key"
    done
    grep -q "<id>$id</id>" "$metainfo" || fail "$metainfo: id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "$metainfo: launchable is not $id.desktop"
    for binary in mogumo mogumo-sim; do
        grep -q "<binary>$binary</binary>" "$metainfo" || fail "$metainfo: does not provide $binary"
    done
    newest=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] || fail "$metainfo: newest release is $newest, the build is $version"
    # Free software under the GPL, version 3 or later, said alike everywhere.
    grep -q "Version 3, 29 June 2007" "$src/LICENSE" || fail "LICENSE is not the GPL version 3"
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
        fail "$metainfo: project_license is not GPL-3.0-or-later"
    copyright=$src/packaging/copyright
    head -n 1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
        fail "copyright is not in the machine-readable format"
    grep -qx "License: GPL-3+" "$copyright" || fail "copyright does not give GPL-3+"
    logged=$(sed -n '1s/^mogumo (\([^)]*\)).*/\1/p' "$src/packaging/changelog")
    [ "$logged" = "$version" ] || fail "changelog: newest entry is $logged, the build is $version"
    for page in mogumo.6 mogumo-sim.6; do
        grep -q "^\.TH .*\"Mogumo $version\"" "$src/packaging/$page" ||
            fail "$page: header does not name Mogumo $version"
    done
    for page in mogumo_help.html mogumo_help_en.html; do
        [ -f "$src/assets/help/$page" ] || fail "no help page $page"
        grep -q "share/doc/mogumo/$page" "$src/packaging/mogumo.6" || fail "mogumo.6 does not name $page"
    done
    # The screenshots it names are the ones checked in, at the release's tag
    # and at their own size.
    shots=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">\(.*\)</image>.*|\1 \2 \3|p' "$metainfo")
    [ "$(echo "$shots" | grep -c .)" = 3 ] || fail "$metainfo: not three screenshots"
    while read -r width height url; do
        name=${url##*/}
        [ "$url" = "https://raw.githubusercontent.com/mogumo/mogumo/v$version/packaging/screenshots/$name" ] ||
            fail "$metainfo: screenshot $url is not at the tag v$version"
        if ! command -v file >/dev/null 2>&1; then
            [ -f "$src/packaging/screenshots/$name" ] || fail "no screenshot $name"
        else
            file "$src/packaging/screenshots/$name" | grep -q "PNG image data, $width x $height," ||
                fail "screenshot $name is not a $width x $height PNG"
        fi
    done <<EOF
$shots
EOF
    for size in 16 24 32 48 64 128 256; do
        icon=$src/assets/icons/hicolor/${size}x$size/apps/$id.png
        if [ ! -f "$icon" ]; then
            fail "no $size px icon"
        elif command -v file >/dev/null 2>&1; then
            file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size px PNG"
        fi
    done
}

check_desktop_file() {
    need desktop-file-validate
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects $desktop"
    [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate has remarks"; }
}

check_metainfo() {
    need appstreamcli
    out=$(appstreamcli validate --no-net --explain "$metainfo" 2>&1) || true
    echo "$out"
    if echo "$out" | grep -q '^[EW]:'; then
        fail "appstreamcli reports errors or warnings"
    fi
    echo "$out" | grep -q 'Validation was successful' || fail "appstreamcli validation failed"
}

# cmake --install into a scratch DESTDIR: everything lands where a desktop
# looks for it, and the installed programs run.
check_install() {
    need_game
    scratch
    DESTDIR=$dir "$MOGUMO_CMAKE" --install "$MOGUMO_BUILD_DIR" --prefix /usr >/dev/null
    root=$dir/usr
    for f in bin/mogumo bin/mogumo-sim \
        share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
        share/man/man6/mogumo.6.gz share/man/man6/mogumo-sim.6.gz \
        share/doc/mogumo/copyright share/doc/mogumo/changelog.gz \
        share/doc/mogumo/mogumo_help.html share/doc/mogumo/mogumo_help_en.html \
        share/doc/mogumo/screenshots/title.png share/doc/mogumo/screenshots/lure.png \
        share/doc/mogumo/screenshots/battle.png; do
        [ -f "$root/$f" ] || fail "not installed: /usr/$f"
    done
    for size in 16 24 32 48 64 128 256; do
        f=share/icons/hicolor/${size}x$size/apps/$id.png
        [ -f "$root/$f" ] || fail "not installed: /usr/$f"
    done

    # Every recorded scenario ends with the status it recorded and dumps as
    # often as it recorded.
    for script in "$src"/tests/conformance/*.txt; do
        base=${script%.txt}
        expected=$(cut -d' ' -f1 "$base.status")
        status=0
        "$root/bin/mogumo-sim" "$script" >"$dir/dumps" 2>"$dir/errors" || status=$?
        [ "$status" = "$expected" ] || fail "mogumo-sim $(basename "$script"): status $status, expected $expected"
        [ "$(wc -l <"$dir/dumps")" = "$(wc -l <"$base.jsonl")" ] ||
            fail "mogumo-sim $(basename "$script"): not one dump for each recorded one"
    done

    out=$(QT_QPA_PLATFORM=offscreen "$root/bin/mogumo" --version 2>"$dir/errors") ||
        { cat "$dir/errors"; fail "mogumo --version failed"; }
    [ "$out" = "mogumo $version" ] || fail "mogumo --version says '$out', expected 'mogumo $version'"
}

# Makes the Debian package in $1; its path is then in $deb.
make_deb() {
    "$MOGUMO_CPACK" --config "$MOGUMO_BUILD_DIR/CPackConfig.cmake" -G DEB -B "$1" >"$1/cpack.log" 2>&1 ||
        { cat "$1/cpack.log"; fail "cpack failed"; return 1; }
    deb=$(ls "$1"/mogumo_"$version"_*.deb)
}

# The Debian package: built by CPack, with the programs' library dependencies
# and the fonts, hardened and stripped, and accepted by lintian, which has
# nothing to say about its hardening even when pedantic.
check_deb() {
    need_game
    need dpkg-deb dpkg-shlibdeps file lintian
    scratch
    make_deb "$dir" || return
    [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section is not games"
    [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for dep in libqt6widgets6 libqt6gui6 libc6 fonts-ipafont-gothic fonts-ipafont-mincho; do
        echo "$depends" | grep -q "$dep" || fail "does not depend on $dep"
    done
    dpkg-deb -c "$deb" >"$dir/contents"
    # Debian keeps games in /usr/games.
    for f in /usr/games/mogumo /usr/games/mogumo-sim /usr/share/applications/$id.desktop \
        /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/256x256/apps/$id.png \
        /usr/share/man/man6/mogumo.6.gz /usr/share/doc/mogumo/copyright \
        /usr/share/doc/mogumo/mogumo_help.html /usr/share/doc/mogumo/mogumo_help_en.html \
        /usr/share/doc-base/mogumo-help; do
        grep -q " \.$f\$" "$dir/contents" || fail "$f is not in the package"
    done
    ! grep -q " \./usr/bin/" "$dir/contents" || fail "the package has files in /usr/bin"
    [ -z "$(dpkg-deb -f "$deb" Recommends)" ] || fail "the package recommends $(dpkg-deb -f "$deb" Recommends)"
    dpkg-deb -x "$deb" "$dir/root"
    for program in usr/games/mogumo usr/games/mogumo-sim usr/libexec/mogumo/mogumo-shot.so; do
        file "$dir/root/$program" | grep -q ", stripped" || fail "$program is not stripped"
    done
    lintian --pedantic --display-info --fail-on error "$deb" >"$dir/lintian.log" 2>&1 ||
        fail "lintian reports errors"
    cat "$dir/lintian.log"
    # Builds without Debian's flags (the sanitizer build) are not hardened.
    if [ "${MOGUMO_HARDENED:-0}" = 1 ]; then
        ! grep -q "hardening-" "$dir/lintian.log" || fail "lintian finds the programs not hardened"
    fi
    ! grep -q "maintscript-calls-ldconfig" "$dir/lintian.log" || fail "the package calls ldconfig"
}

# Two packages of one build are the same byte for byte: every file and the
# archives are dated by the last commit, not by the time of packaging.
check_reproducible() {
    need_game
    need dpkg-deb cmp
    scratch
    mkdir "$dir/one" "$dir/two"
    make_deb "$dir/one" || return
    one=$deb
    sleep 1
    make_deb "$dir/two" || return
    cmp "$one" "$deb" || fail "two packages of one build differ"
    epoch=${SOURCE_DATE_EPOCH:-$(git -C "$src" log -1 --format=%ct 2>/dev/null || true)}
    if [ -n "$epoch" ]; then
        dated=$(dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -tv --full-time -f - ./usr/games/mogumo | awk '{print $4 " " $5}')
        [ "$(date -u -d "$dated UTC" +%s)" = "$epoch" ] || fail "/usr/games/mogumo is dated $dated, not at $epoch"
    fi
}

case $what in
    metadata) check_metadata ;;
    desktop-file) check_desktop_file ;;
    metainfo) check_metainfo ;;
    install) check_install ;;
    deb) check_deb ;;
    reproducible) check_reproducible ;;
    *) echo "usage: $0 metadata|desktop-file|metainfo|install|deb|reproducible" >&2; exit 1 ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "passed: $what"
