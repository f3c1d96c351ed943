#!/bin/sh
# small_volume.sh [--emulator E] [--then-read-only FILTER] PROGRAM FILTER
# Runs the tests of PROGRAM that FILTER selects on a real small volume: a 256 KiB tmpfs
# mounted for the run (a copy of 512 KiB fills it), and with --then-read-only those of a
# second filter after mounting it again read-only. The test program finds the volume in
# VELKAN_SMALL_VOLUME; under Wine (an emulator given) it is reached through the Z: drive,
# the whole Unix tree, and Wine answers the filesystem's ENOSPC with ERROR_DISK_FULL as
# Windows does on a full volume. Mounting needs the right to (root, or sudo without a
# password); without it the tests are skipped (exit code 77).
set -u
emulator="" read_only_filter=""
while [ $# -gt 2 ]; do
    case $1 in
        --emulator) emulator=$2 ;;
        --then-read-only) read_only_filter=$2 ;;
        *) echo "small_volume.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
program=$1 filter=$2
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

# One run of the program; it passes only when its tests ran and passed (a skipped test
# ends well too, so the passed ones are counted).
run() {
    out=$(VELKAN_SMALL_VOLUME=$volume $emulator "$program" --gtest_filter="$1" 2>&1)
    rc=$?
    printf '%s\n' "$out"
    [ "$rc" -eq 0 ] && printf '%s\n' "$out" | grep -q '^\[       OK \]'
}

run "$filter"
rc=$?
if [ "$rc" -eq 0 ] && [ -n "$read_only_filter" ]; then
    if $sudo mount -o remount,ro "$dir"; then
        run "$read_only_filter"
        rc=$?
    else
        rc=1
    fi
fi
cleanup
exit "$rc"
