#!/bin/sh
# small_volume.sh <emulator> <dbf_test.exe>
# Runs the Windows build's full-disk test on a real full volume: a 256 KiB tmpfs mounted
# for the run and reached through Wine's Z: drive (the whole Unix tree). Wine answers a
# write the filesystem refuses for want of space (ENOSPC) with ERROR_DISK_FULL, as Windows
# does on a full volume. Mounting needs the right to (root, or sudo without a password);
# without it the test is skipped (exit code 77).
set -u
emulator=$1 program=$2
dir=$(mktemp -d /tmp/velkan-small-volume-XXXXXX) || exit 1
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
if ! $sudo mount -t tmpfs -o size=256k,mode=1777 velkan-small-volume "$dir" 2>/dev/null; then
    echo "cannot mount a small volume here: the full-disk test is skipped"
    rmdir "$dir"
    exit 77
fi
cleanup() {
    $sudo umount "$dir" && rmdir "$dir"
}
trap 'cleanup; exit 1' INT TERM
volume="Z:$(printf '%s' "$dir" | tr / '\\')"
out=$(VELKAN_SMALL_VOLUME=$volume "$emulator" "$program" --gtest_filter='DamageTest.AFullDisk*' 2>&1)
rc=$?
printf '%s\n' "$out"
cleanup
# A skipped test ends well too: only the test run and passed counts.
[ "$rc" -eq 0 ] || exit "$rc"
printf '%s\n' "$out" | grep -q '^\[       OK \] DamageTest\.AFullDisk'
