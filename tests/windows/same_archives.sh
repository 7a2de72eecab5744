#!/usr/bin/env bash
# Runs the same edits with the Linux pff and with pff.exe under Wine and
# compares what they leave byte for byte: the archive after each step, the
# listing, and the extracted files with their modification times.
# Usage: tests/windows/same_archives.sh LINUX_PFF WINDOWS_PFF_EXE
set -euo pipefail

linux_pff=$(realpath "$1")
windows_pff=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One wall clock for both, with daylight saving in force on some dates and
# not on others; Wine takes its zone from TZ. Names pass as UTF-8.
export TZ=America/New_York LC_ALL=C.UTF-8 WINEDEBUG=-all

# run_steps DIR PFF...: the scenario, in DIR, with PFF... as the program.
run_steps() {
  local dir=$1
  shift
  mkdir -p "$dir/out"
  cd "$dir"
  printf 'first file\n' >one.txt
  printf 'caf\xc3\xa9 au lait\n' >café.txt
  head -c 200000 /dev/zero | tr '\0' 'x' >big.bin
  printf 'two\n' >two.dat
  printf 'three, which takes the place one left\n' >three.txt
  touch -d '2024-07-15 14:30:00' one.txt café.txt
  touch -d '2024-01-15 09:05:07' big.bin three.txt
  touch -d '1965-03-01 12:00:00' two.dat
  "$@" new --df3 a.pff
  "$@" add a.pff one.txt café.txt big.bin two.dat
  cp a.pff step-add.pff
  "$@" delete a.pff one.txt
  "$@" rename a.pff two.dat Zwölf.dat
  cp a.pff step-rename.pff
  "$@" add a.pff three.txt
  cp a.pff step-reuse.pff
  "$@" compact a.pff
  "$@" list --all --tsv a.pff >listing.tsv
  "$@" extract -C out a.pff
  for f in out/*; do echo "$(basename "$f") $(stat -c %Y "$f")"; done >times.txt
  # A stored time the clock skipped (2024-03-10 02:30, the hour lost in New York):
  # the first entry's time written into a copy, which both extract alike.
  cp a.pff skipped.pff
  local dir_offset
  dir_offset=$(od -An -t d4 -j 16 -N 4 skipped.pff)
  printf "$(printf '\\x%02x' $((1710055800 & 255)) $((1710055800 >> 8 & 255)) $((1710055800 >> 16 & 255)) \
    $((1710055800 >> 24 & 255)))" | dd of=skipped.pff bs=1 seek=$((dir_offset + 12)) conv=notrunc status=none
  mkdir skipped
  "$@" extract -C skipped skipped.pff
  for f in skipped/*; do echo "$f $(stat -c %Y "$f")"; done >>times.txt
  cd - >/dev/null
}

run_steps "$work/linux" "$linux_pff"
run_steps "$work/windows" wine "$windows_pff"

failed=0
for f in step-add.pff step-rename.pff step-reuse.pff a.pff listing.tsv times.txt; do
  if cmp -s "$work/linux/$f" "$work/windows/$f"; then
    echo "same: $f"
  else
    echo "DIFFERENT: $f"
    failed=1
  fi
done
if diff -r "$work/linux/out" "$work/windows/out" >/dev/null; then
  echo "same: extracted files ($(ls "$work/linux/out" | wc -l))"
else
  echo "DIFFERENT: extracted files"
  diff -r "$work/linux/out" "$work/windows/out" || true
  failed=1
fi
if ((failed)); then
  diff <(cat "$work/linux/times.txt" "$work/linux/listing.tsv") <(cat "$work/windows/times.txt" "$work/windows/listing.tsv") || true
  exit 1
fi
echo "the Linux pff and pff.exe under Wine left the same bytes"
