#!/usr/bin/env bash
# Runs scripts/setup play and scripts/setup test on a machine where nothing is
# installed, with stand-ins for apt-get, dpkg-query, cmake, ctest, Xvfb and the
# fuzzers, and checks what each asks apt-get to install: play only what builds
# and runs the game, test everything the package list holds. Play starts the
# game only where there is a display to show it on, and says so otherwise.
set -euo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

mkdir -p "$scratch/repo/scripts" "$scratch/bin"
cp "$source_dir/scripts/setup" "$source_dir/scripts/packages.txt" "$scratch/repo/scripts/"
# The fuzz stage and the game itself are stand-ins too.
printf '#!/bin/sh\necho "== fuzz_stub for 1 s"\n' >"$scratch/repo/scripts/fuzz"
mkdir -p "$scratch/repo/build-play" "$scratch/repo/build" "$scratch/repo/build-asan"
printf '#!/bin/sh\ntouch "$0.started"\n' >"$scratch/repo/build-play/quorrin"
chmod +x "$scratch/repo/scripts/fuzz" "$scratch/repo/build-play/quorrin"

stub() { # name, body
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$scratch/bin/$1"
    chmod +x "$scratch/bin/$1"
}
stub dpkg-query 'exit 1'
stub sudo '"$@"'
stub apt-get '[[ $1 == install ]] && printf "%s\n" "$@" | grep -v "^-" | grep -vx install >>"$APT_LOG"; exit 0'
stub cmake 'exit 0'
stub ctest 'echo "100% tests passed, 0 tests failed out of 1"'
stub Xvfb 'echo 99 >&3; exec sleep 30'

# The lists as the file gives them.
list() { # section
    awk -v want="[$1]" '/^\[/ { on = ($0 == want); next } on && NF && !/^#/' \
        "$source_dir/scripts/packages.txt" | sort
}
play_list=$(list play)
test_list=$(list test)
[[ -n $play_list && -n $test_list ]] || fail "packages.txt has no [play] or no [test] list"

for mode in play test; do
    : >"$scratch/$mode.log"
    APT_LOG=$scratch/$mode.log DISPLAY=:99 PATH=$scratch/bin:$PATH \
        bash "$scratch/repo/scripts/setup" "$mode" >"$scratch/$mode.out" 2>&1 ||
        { cat "$scratch/$mode.out"; fail "scripts/setup $mode failed"; }
done

[[ -e $scratch/repo/build-play/quorrin.started ]] || fail "play did not start the game"
grep -q '== updating the package lists' "$scratch/play.out" &&
    grep -q '== configuring build-play/' "$scratch/play.out" ||
    fail "play did not say what it does: $(cat "$scratch/play.out")"
rm "$scratch/repo/build-play/quorrin.started"
APT_LOG=/dev/null PATH=$scratch/bin:$PATH env -u DISPLAY \
    bash "$scratch/repo/scripts/setup" play >"$scratch/play.out" 2>&1 || fail "play without a display failed"
[[ ! -e $scratch/repo/build-play/quorrin.started ]] || fail "play started the game without a display"
grep -q "game is built: $scratch/repo/build-play/quorrin" "$scratch/play.out" &&
    grep -q 'desktop session.*DISPLAY' "$scratch/play.out" ||
    fail "play without a display said: $(cat "$scratch/play.out")"

installed_play=$(sort "$scratch/play.log")
installed_test=$(sort "$scratch/test.log")
[[ $installed_play == "$play_list" ]] ||
    fail "play installed: $(echo $installed_play); its list: $(echo $play_list)"
[[ $installed_test == "$(printf '%s\n%s\n' "$play_list" "$test_list" | sort)" ]] ||
    fail "test installed: $(echo $installed_test)"
# What only tests need never reaches a player's machine.
for tool in clang libgtest-dev libbenchmark-dev xvfb xdotool imagemagick sox openbox; do
    grep -qx "$tool" <<<"$installed_play" && fail "play installs $tool"
done
echo "play installs $(wc -l <<<"$installed_play") packages, test $(wc -l <<<"$installed_test")"
