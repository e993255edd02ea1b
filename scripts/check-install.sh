#!/usr/bin/env bash
# scripts/check-install.sh [BUILD_DIR]
# Installs a finished build into a staging folder and checks that every file
# is where the desktop expects it and validates: the desktop entry, the
# AppStream metadata, the icons, the manual pages, the bash completion and
# the user guide with all its links. Then builds the Debian package with
# cpack, unpacks it with dpkg -x into a fresh folder and checks that again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
for tool in desktop-file-validate appstreamcli groff dpkg-deb cpack; do
  command -v "$tool" >/dev/null || { echo "check-install.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "check-install: $*" >&2; failures=$((failures + 1)); }

# check_tree PREFIX: the installed files under PREFIX (/usr of a staging root).
check_tree() {
  local prefix="$1" share="$1/share"
  local desktop metainfo id
  desktop="$(ls "$share"/applications/*.desktop 2>/dev/null || true)"
  [ "$(printf '%s\n' "$desktop" | grep -c .)" = 1 ] || { fail "$prefix: not one desktop entry: $desktop"; return; }
  id="$(basename "$desktop" .desktop)"
  metainfo="$share/metainfo/$id.metainfo.xml"
  for f in "$prefix/bin/tallyleaf" "$prefix/bin/tallyleaf-cli"; do
    [ -x "$f" ] || fail "$f is missing or not executable"
  done
  for f in "$metainfo" "$share/icons/hicolor/scalable/apps/$id.svg" \
    "$share/man/man1/tallyleaf.1" "$share/man/man1/tallyleaf-cli.1" \
    "$share/bash-completion/completions/tallyleaf-cli" "$share/doc/tallyleaf/user-guide.html"; do
    [ -s "$f" ] || fail "$f is missing or empty"
  done
  for size in 16 22 24 32 48 64 128 256; do
    local png="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    if [ ! -s "$png" ]; then
      fail "$png is missing"
    elif [[ "$(file -b "$png")" != "PNG image data, $size x $size,"* ]]; then
      fail "$png is not a $size x $size PNG: $(file -b "$png")"
    fi
  done

  desktop-file-validate "$desktop" || fail "$desktop does not validate"
  grep -qx "Icon=$id" "$desktop" || fail "$desktop: Icon is not $id"
  grep -qx "Exec=tallyleaf" "$desktop" || fail "$desktop: Exec is not tallyleaf"
  appstreamcli validate --no-net "$metainfo" >"$scratch/as.log" 2>&1 || { cat "$scratch/as.log" >&2; fail "$metainfo does not validate"; }
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "$metainfo launches no $id.desktop"

  for page in tallyleaf tallyleaf-cli; do
    local warnings
    warnings="$(groff -man -Tutf8 -ww -z "$share/man/man1/$page.1" 2>&1)"
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
  bash -n "$share/bash-completion/completions/tallyleaf-cli" || fail "the bash completion does not parse"
  python3 "$root/scripts/check-links.py" "$share/doc/tallyleaf/user-guide.html" || fail "the user guide has broken links"
  "$prefix/bin/tallyleaf-cli" help >/dev/null || fail "the installed tallyleaf-cli does not run"
}

echo "== install into a staging folder"
DESTDIR="$scratch/stage" cmake --install "$build" --prefix /usr >/dev/null
check_tree "$scratch/stage/usr"

echo "== Debian package"
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/deb" >"$scratch/cpack.log" 2>&1) \
  || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$scratch"/deb/*.deb 2>/dev/null | head -1)"
if [ -z "$deb" ]; then
  fail "cpack made no .deb"
else
  # Read whole first: grep -q would end the pipe early (pipefail).
  info="$(dpkg-deb --info "$deb")"
  grep -q '^ Package: tallyleaf$' <<<"$info" || fail "$deb: the package is not called tallyleaf"
  grep -q '^ Depends: .*libqt6widgets6' <<<"$info" || fail "$deb: no dependency on the Qt libraries"
  mkdir "$scratch/unpacked"
  dpkg -x "$deb" "$scratch/unpacked"
  check_tree "$scratch/unpacked/usr"
  (cd "$scratch/stage" && find . -type f | sort) >"$scratch/stage.list"
  (cd "$scratch/unpacked" && find . -type f | sort) >"$scratch/deb.list"
  diff -u "$scratch/stage.list" "$scratch/deb.list" || fail "the package holds other files than the install"
  echo "$(basename "$deb"): $(wc -l <"$scratch/deb.list") files"
fi

if [ "$failures" -gt 0 ]; then
  echo "check-install: $failures problems" >&2
  exit 1
fi
echo "check-install: the install and the package are complete and valid"
