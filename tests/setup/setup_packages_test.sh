#!/usr/bin/env bash
# Runs scripts/setup play and scripts/setup test on a machine where nothing is
# installed, with stand-ins for apt-get, dpkg-query, sudo, cmake, ctest, Xvfb
# and the fuzzers, in a copy of the repository under a path with a space and
# an apostrophe, and checks what each asks apt-get to install: play only what
# builds and runs the game, test everything the package list holds. Play
# starts the game only where there is a display to show it on, and says so
# otherwise; without root and without sudo, both say what to install; the test
# command's summary counts what ctest itself reports and what the fuzzers ran.
set -euo pipefail
source_dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

repo="$scratch/it's my clone/quorrin"
mkdir -p "$repo/scripts" "$scratch/bin"
cp "$source_dir/scripts/setup" "$source_dir/scripts/packages.txt" "$repo/scripts/"
# The fuzz stage and the game itself are stand-ins too.
printf '#!/bin/sh\necho "== fuzz_stub for 1 s"\n' >"$repo/scripts/fuzz"
mkdir -p "$repo/build-play" "$repo/build" "$repo/build-asan"
printf '#!/bin/sh\ntouch "$0.started"\n' >"$repo/build-play/quorrin"
chmod +x "$repo/scripts/fuzz" "$repo/build-play/quorrin"

stub() { # name, body
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$scratch/bin/$1"
    chmod +x "$scratch/bin/$1"
}
stub dpkg-query 'exit 1'
# As sudo does, the caller's environment is dropped; VAR=value words set it.
stub sudo 'exec env -u DEBIAN_FRONTEND "$@"'
stub apt-get '[[ $1 == install ]] && printf "%s\n" "$@" | grep -v "^-" | grep -vx install >>"$APT_LOG"
[[ $1 != install || $DEBIAN_FRONTEND == noninteractive ]] || { echo "apt-get is interactive" >&2; exit 1; }'
stub cmake 'echo "$*" >>"$CMAKE_LOG"'
stub ctest '[[ -n ${LSAN_OPTIONS:-} ]] && echo "$LSAN_OPTIONS" >>"$LSAN_LOG"
echo "${CTEST_SAYS:-100% tests passed, 0 tests failed out of 1}"'
stub Xvfb 'echo 99 >&3; exec sleep 30'
# Not root: apt-get goes through sudo.
stub id 'echo 1000'
export CMAKE_LOG=$scratch/cmake.log LSAN_LOG=$scratch/lsan.log

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
        bash "$repo/scripts/setup" "$mode" >"$scratch/$mode.out" 2>&1 ||
        { cat "$scratch/$mode.out"; fail "scripts/setup $mode failed"; }
done

[[ -e $repo/build-play/quorrin.started ]] || fail "play did not start the game"
grep -Eq '^ok +tests +1 of 1 tests passed' "$scratch/test.out" && grep -q '^3 passed, 0 failed' "$scratch/test.out" ||
    fail "test summed up: $(cat "$scratch/test.out")"
# The sanitizers' option parser takes a quoted path whole, spaces and all.
[[ $(sort -u "$LSAN_LOG") == "suppressions=\"$repo/scripts/lsan.supp\"" ]] ||
    fail "LSAN_OPTIONS was: $(cat "$LSAN_LOG")"
# The test builds ask for the tests, so that missing GoogleTest stops them.
[[ $(grep -c -- '-B build.* -DQUORRIN_TESTS=ON' "$CMAKE_LOG") == 2 ]] ||
    fail "the test builds were configured with: $(cat "$CMAKE_LOG")"
grep -q '== updating the package lists' "$scratch/play.out" &&
    grep -q '== configuring build-play/' "$scratch/play.out" ||
    fail "play did not say what it does: $(cat "$scratch/play.out")"
rm "$repo/build-play/quorrin.started"
APT_LOG=/dev/null PATH=$scratch/bin:$PATH env -u DISPLAY \
    bash "$repo/scripts/setup" play >"$scratch/play.out" 2>&1 || fail "play without a display failed"
[[ ! -e $repo/build-play/quorrin.started ]] || fail "play started the game without a display"
grep -q "game is built: $repo/build-play/quorrin" "$scratch/play.out" &&
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

# A test that prints a line like ctest's own: the stages count ctest's, the
# last, and every stage still runs.
CTEST_SAYS=$'100% tests passed, 0 tests failed out of 1\n98% tests passed, 6 tests failed out of 329' \
    APT_LOG=/dev/null PATH=$scratch/bin:$PATH bash "$repo/scripts/setup" test >"$scratch/test.out" 2>&1 &&
    fail "test passed with failed tests"
grep -Eq '^FAILED +tests +323 of 329 tests passed, 6 failed' "$scratch/test.out" &&
    grep -Eq '^FAILED +sanitizer +323 of 329' "$scratch/test.out" &&
    grep -q '^1 passed, 2 failed' "$scratch/test.out" || fail "test summed up: $(cat "$scratch/test.out")"

# A fuzz stage that ran no fuzzer has not passed.
printf '#!/bin/sh\necho "== every fuzzer ran clean"\n' >"$repo/scripts/fuzz"
APT_LOG=/dev/null PATH=$scratch/bin:$PATH bash "$repo/scripts/setup" test >"$scratch/test.out" 2>&1 &&
    fail "test passed when no fuzzer ran"
grep -Eq '^FAILED +fuzz +no fuzzer ran' "$scratch/test.out" || fail "test summed up: $(cat "$scratch/test.out")"

# Neither root nor sudo: both commands say what to install and how, and fail.
mkdir "$scratch/nosudo"
for tool in bash dirname nproc grep; do
    ln -s "$(command -v "$tool")" "$scratch/nosudo/$tool"
done
cp "$scratch/bin/id" "$scratch/bin/dpkg-query" "$scratch/nosudo/"
for mode in play test; do
    env PATH="$scratch/nosudo" "$BASH" "$repo/scripts/setup" "$mode" >"$scratch/nosudo.out" 2>&1 &&
        fail "$mode without sudo passed"
    grep -q 'apt-get install .*libsdl1.2-dev' "$scratch/nosudo.out" &&
        grep -q 'as root' "$scratch/nosudo.out" || fail "$mode without sudo said: $(cat "$scratch/nosudo.out")"
done
