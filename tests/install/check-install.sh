#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks what a desktop reads from it:
# the desktop entry and the plan file type are valid, a plan file is recognised as a plan,
# and the program is the one that opens it.
# Usage: check-install.sh BUILD_FOLDER
set -euo pipefail
build=$1
for tool in desktop-file-validate xmllint update-mime-database update-desktop-database \
    xdg-mime mimetype; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/install-deps.sh installs it)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
share=$prefix/share
entry=example.brenmoor.Tavrolo.desktop
plan_type=application/x-tavrolo-plan

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/bin/tavrolo" ] || fail "the program is not installed to bin/"
missing=$(ldd "$prefix/bin/tavrolo" | grep "not found" || true)
[ -z "$missing" ] || fail "the installed program does not find its libraries: $missing"
desktop-file-validate "$share/applications/$entry" || fail "the desktop entry is not valid"
xmllint --noout "$share/mime/packages/example.brenmoor.Tavrolo.xml" || fail "the file type is not well-formed XML"
for size in 16x16 32x32 48x48 128x128 256x256; do
    [ -s "$share/icons/hicolor/$size/apps/tavrolo.png" ] || fail "no $size icon"
done
sample="$share/tavrolo/samples/Project plan.tv"
[ -s "$sample" ] || fail "the sample plans are not installed"

# Only the temporary prefix is looked at, so what this machine has installed plays no part.
export XDG_DATA_DIRS=$share XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/config
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
update-mime-database "$share/mime"
update-desktop-database "$share/applications"

type=$(xdg-mime query filetype "$sample")
[ "$type" = "$plan_type" ] || fail "a plan file is taken for '$type', not $plan_type"
handler=$(xdg-mime query default "$plan_type")
[ "$handler" = "$entry" ] || fail "plan files open with '$handler', not $entry"
echo "Plan files are $plan_type and open with $entry."
