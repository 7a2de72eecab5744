#!/usr/bin/env bash
# Installs a build into a scratch prefix (and once more through DESTDIR) and
# checks what a desktop and a shell will find there.
# Usage: install_tree_test.sh BUILD_DIR VERSION gui|nogui
set -euo pipefail
build=$1 version=$2 gui=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
  bin/pff
  share/applications/vellumcraft.desktop
  share/bash-completion/completions/pff
  share/doc/vellumcraft/copyright
  share/icons/hicolor/256x256/apps/vellumcraft.png
  share/icons/hicolor/48x48/apps/vellumcraft.png
  share/icons/hicolor/scalable/apps/vellumcraft.svg
  share/man/man1/pff.1.gz
  share/mime/packages/vellumcraft.xml
)
[ "$gui" = gui ] && expected+=(bin/vellumcraft share/man/man1/vellumcraft.1.gz)
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$actual" = "$wanted" ] || fail "installed files differ:$(diff <(echo "$wanted") <(echo "$actual") | sed 's/^/ /')"

DESTDIR=$scratch/staged cmake --install "$build" --prefix /opt/vellumcraft >/dev/null
[ -x "$scratch/staged/opt/vellumcraft/bin/pff" ] || fail "DESTDIR install has no bin/pff"

pff=$prefix/bin/pff
[ "$("$pff" --version)" = "pff $version" ] || fail "pff --version is not \"pff $version\""

desktop=$prefix/share/applications/vellumcraft.desktop
desktop-file-validate "$desktop" || fail "desktop entry is not valid"
grep -qx 'Exec=vellumcraft %F' "$desktop" || fail "desktop entry does not open the files it is given"
grep -qx 'MimeType=application/x-pff;' "$desktop" || fail "desktop entry does not name the .pff type"

# The database compiler is the real reader of the package: it must accept it and
# compile the glob, in any letter case, and the magic "PFF3" at offset 4.
db=$prefix/share/mime
XDG_DATA_DIRS=$prefix/share update-mime-database "$db" 2>&1 | grep . && fail "update-mime-database complained"
grep -qx '[0-9]*:application/x-pff:\*\.pff' "$db/globs2" || fail "mime database lacks the glob"
grep -q 'application/x-pff:.*:cs' "$db/globs2" && fail "mime glob is case-sensitive"
grep -aA1 '^\[[0-9]*:application/x-pff\]$' "$db/magic" | grep -qa '^>4=.*PFF3$' || fail "mime database lacks the magic"

man=$scratch/pff.1
gunzip -c "$prefix/share/man/man1/pff.1.gz" >"$man"
grep -q "Vellumcraft $version" "$man" || fail "man page does not carry the version"
completion=$prefix/share/bash-completion/completions/pff
bash -n "$completion" || fail "completion file is not valid bash"

# Every command and option pff offers is completed and has its man page entry.
commands=$("$pff" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]*\) .*/\1/p')
[ -n "$commands" ] || fail "no commands found in pff --help"
for command in $commands; do
  grep -q "^local commands=.*\b$command\b" <(sed 's/^ *//' "$completion") || fail "completion lacks $command"
  grep -q "^\.B pff $command" "$man" || fail "man page lacks $command"
  completed=" $(sed -n "s/^ *$command) options=\"\(.*\)\".*/\1/p" "$completion") "
  for option in $("$pff" "$command" --help | sed -n 's/^  \(--*[a-zA-Z][a-z0-9-]*\).*/\1/p'); do
    [[ $completed == *" $option "* ]] || fail "completion lacks $command $option"
  done
done

grep -q 'Permission is hereby granted' "$prefix/share/doc/vellumcraft/copyright" || fail "copyright lacks the licence"
((failures == 0)) && echo "install tree: all checks passed"
exit $((failures > 0))
