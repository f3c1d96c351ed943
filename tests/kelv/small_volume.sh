#!/bin/sh
# small_volume.sh <test program> [<emulator>]
# Runs the file-system helpers' tests that need a real small volume: a 256 KiB tmpfs
# mounted for the run, first writable (a copy of 512 KiB fills it), then mounted again
# read-only. Under Wine (an emulator given) the volume is reached through the Z: drive.
# Mounting needs the right to (root, or sudo without a password); without it the tests
# are skipped (exit code 77).
set -u
program=$1 emulator=${2:-}
dir=$(mktemp -d /tmp/velkan-small-volume-XXXXXX) || exit 1
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
if ! $sudo mount -t tmpfs -o size=256k,mode=1777 velkan-small-volume "$dir" 2>/dev/null; then
    echo "cannot mount a small volume here: the small-volume tests are skipped"
    rmdir "$dir"
    exit 77
fi
cleanup() {
    $sudo umount "$dir" && rmdir "$dir"
}
trap 'cleanup; exit 1' INT TERM
volume=$dir
[ -z "$emulator" ] || volume="Z:$(printf '%s' "$dir" | tr / '\\')"
run() {
    VELKAN_SMALL_VOLUME=$volume $emulator "$program" --gtest_filter="$1" 2>&1
}
out=$(run 'SmallVolume.Full*')
rc=$?
if [ "$rc" -eq 0 ]; then
    if $sudo mount -o remount,ro "$dir"; then
        out="$out
$(run 'SmallVolume.ReadOnly*')"
        rc=$?
    else
        rc=1
    fi
fi
printf '%s\n' "$out"
cleanup
[ "$rc" -eq 0 ] || exit "$rc"
# A skipped test ends well too: only tests run and passed count.
[ "$(printf '%s\n' "$out" | grep -c '^\[       OK \] SmallVolume\.')" -eq 2 ]
