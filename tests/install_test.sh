#!/usr/bin/env bash
# Installs the build into a new folder and checks what a club gets: the
# programs stripped, an empty distances.mdb, the icon and a valid desktop
# entry; a second install keeps the club's distances.mdb; a staged install
# (DESTDIR) puts everything under the stage.
set -euo pipefail
build=$1
work=$(mktemp -d)
# The build's own install manifest is put back as it was.
manifest="$build/install_manifest.txt"
[ -e "$manifest" ] && cp -p "$manifest" "$work/manifest"
trap '[ -e "$work/manifest" ] && cp -p "$work/manifest" "$manifest" || rm -f "$manifest"; rm -rf "$work"' EXIT
# A folder name holding what a desktop entry must escape.
folder="$work/Club Results 100% \$ave/Pellamy"

fail() { echo "install_folder: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$folder" >/dev/null
for f in pellamy pellamy-access-reader distances.mdb pellamy.svg pellamy.desktop; do
  [ -e "$folder/$f" ] || fail "$f is missing"
done
for f in pellamy pellamy-access-reader; do
  # Not piped: grep -q leaving early would fail readelf, and "!" pass it.
  sections=$(readelf -S "$folder/$f")
  ! grep -q -E '\.symtab|\.debug_info' <<<"$sections" || fail "$f is not stripped"
done
[ "$(head -c 15 "$folder/distances.mdb")" = "SQLite format 3" ] || fail "distances.mdb is no database"
desktop-file-validate "$folder/pellamy.desktop" || fail "pellamy.desktop is not valid"
exec=$(printf '%s' "$folder/pellamy" | sed -e 's/["`$]/\\\\&/g' -e 's/%/%%/g')
grep -qxF "Exec=\"$exec\"" "$folder/pellamy.desktop" || fail "pellamy.desktop runs another program"
# The manifest (what an uninstall removes) holds the desktop entry, never
# the club's distances.
grep -qxF "$folder/pellamy.desktop" "$manifest" || fail "the manifest lacks pellamy.desktop"
! grep -q 'distances\.mdb' "$manifest" || fail "the manifest holds distances.mdb"

echo "the club's own" >"$folder/distances.mdb"
cmake --install "$build" --prefix "$folder" >/dev/null
[ "$(cat "$folder/distances.mdb")" = "the club's own" ] || fail "an existing distances.mdb was replaced"
# A packager's staged install: everything under DESTDIR, once.
DESTDIR="$work/stage" cmake --install "$build" --prefix /opt/pellamy >/dev/null
[ -e "$work/stage/opt/pellamy/distances.mdb" ] || fail "distances.mdb is missing under DESTDIR"
grep -qxF "/opt/pellamy/pellamy.desktop" "$manifest" || fail "the staged manifest names another desktop entry"
echo "install_folder: passed"
