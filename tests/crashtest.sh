#!/usr/bin/env bash
# Kills real pff changes (undo and redo too) with SIGKILL at random moments,
# opens each archive again (which undoes an interrupted change) and counts how
# it came out: exactly as before the change, exactly as after it, or damaged.
# Usage: tests/crashtest.sh PFF_BINARY [KILLS]   (./dev crashtest [KILLS])
set -euo pipefail

pff=$(realpath "$1")
kills=${2:-30}
# Beside the build, on a real disk: a memory-backed /tmp would hide the flushes.
work=$(mktemp -d "$(dirname "$pff")/crashtest.XXXXXX")
damaged_total=0
# Damaged archives stay for a look; everything else goes.
trap 'if ((damaged_total)); then echo "damaged archives kept in $work"; else rm -rf "$work"; fi' EXIT
cd "$work"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Undo steps go with the test's files.
export XDG_STATE_HOME=$work/state

# The state each run starts from: a.pff a copy of base.pff (and, when
# base.state exists, the undo steps as they were with it).
prepare() {
  cp base.pff a.pff
  if [ -d base.state ]; then
    rm -rf state
    cp -a base.state state
  fi
}

# kill_runs LABEL ARGS...: ARGS run as "pff ARGS" on a.pff as prepare leaves
# it; the reference "after" state comes from one run left alone.
kill_runs() {
  local label=$1
  shift
  prepare
  local start
  start=$(now_ms)
  "$pff" "$@" >/dev/null
  local span=$(($(now_ms) - start + 1))
  mv a.pff after.pff
  local old=0 new=0 damaged=0 undone=0
  for ((i = 0; i < kills; i++)); do
    prepare
    sync a.pff
    "$pff" "$@" >/dev/null 2>&1 &
    local pid=$!
    # A moment anywhere in the run and a little beyond it.
    local ms=$(((RANDOM * 32768 + RANDOM) % (span + span / 10 + 1)))
    sleep "$((ms / 1000)).$(printf '%03d' $((ms % 1000)))"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local reopened=0
    "$pff" info a.pff >/dev/null 2>reopen.err && reopened=1
    grep -q "an interrupted change was undone" reopen.err && undone=$((undone + 1))
    if ((reopened)) && [ ! -e a.pff-journal ] && cmp -s a.pff base.pff; then
      old=$((old + 1))
    elif [ ! -e a.pff-journal ] && cmp -s a.pff after.pff; then
      new=$((new + 1))
    else
      damaged=$((damaged + 1))
      cp a.pff "damaged-$label-$i.pff"
    fi
  done
  printf '%-38s %3d kills (run %4d ms): %3d old (%d undone at reopen), %3d new, %d damaged\n' \
    "$label" "$kills" "$span" "$old" "$undone" "$new" "$damaged"
  damaged_total=$((damaged_total + damaged))
}

# An archive of a few entries, then a 64 MiB file added: its data goes where
# the old directory stood, the worst place to be stopped.
"$pff" new --df3 base.pff
for n in 1 2 3; do head -c $((n * 1000)) /dev/urandom >"small$n.bin"; done
"$pff" add base.pff small1.bin small2.bin small3.bin
head -c $((64 << 20)) /dev/urandom >big.bin
kill_runs "pff add of a 64 MiB file" add a.pff big.bin

# Undo and redo of an add of 60 MiB, which its step keeps for redo: undo
# cuts the data off, redo writes it again.
head -c $((60 << 20)) /dev/urandom >redoable.bin
prepare
"$pff" add a.pff redoable.bin >/dev/null
mv a.pff base.pff
cp -a state base.state
kill_runs "pff undo of a 60 MiB add" undo a.pff
prepare
"$pff" undo a.pff >/dev/null
mv a.pff base.pff
rm -rf base.state
cp -a state base.state
kill_runs "pff redo of a 60 MiB add" redo a.pff
rm -rf base.state

# 12,000 entries, of which pff delete --index turns 10,000 into dead space.
mkdir files
for ((n = 1; n <= 12000; n++)); do printf 'entry %d' "$n" >"files/F$n.DAT"; done
"$pff" new --df3 --force base.pff
"$pff" add base.pff files/*
mapfile -t indices < <(seq 1 10000)
kill_runs "pff delete --index of 10,000 entries" delete --index "${indices[@]}" a.pff

echo "damaged in all: $damaged_total"
[ "$damaged_total" -eq 0 ]
