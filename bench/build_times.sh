#!/usr/bin/env bash
# What a contributor and CI wait for, measured on a fresh clone:
#
#   bench/build_times.sh [commit] [phase...]
#
# Clones the repository at `commit` (default HEAD) into a temporary folder and
# runs the phases in order (default: build test sanitize-build sanitize-test),
# as `./quorel test` and `.ci/run` run them. Each phase prints its wall-clock
# seconds, its processor seconds (user + system, children included) and the
# load average when it started; the end adds the compile and link steps
# ninja ran and the tests ctest ran. A phase named `ci-again` runs `.ci/run` a
# second time on another fresh clone (same folder) with the same compiler
# cache, as CI's next run does. Two measurements side by side (two commits at
# once, each in its own terminal) see the same machine: their processor
# seconds compare even when the machine is busy.
#
# The compiler cache is a fresh one in the temporary folder (a newcomer's
# first build), never the cache of the machine. Run it on an idle machine for
# figures to compare; on a loaded one the processor seconds still compare.
# QUORELWIN_MEASURE_KEEP=1 keeps the temporary folder.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commit=${1:-HEAD}
shift || true
phases=("$@")
[ ${#phases[@]} -gt 0 ] || phases=(build test sanitize-build sanitize-test)

work=$(mktemp -d "${TMPDIR:-/tmp}/quorel-measure.XXXXXX")
# Readable by all: a test runs quorelctl as another user (permission checks).
chmod 755 "$work"
[ "${QUORELWIN_MEASURE_KEEP:-}" = 1 ] || trap 'rm -rf "$work"' EXIT
export CCACHE_DIR="$work/ccache" QUORELWIN_BUILD_TYPE=Release
unset CCACHE_BASEDIR CCACHE_NOHASHDIR

clone() {
    cd "$work"
    rm -rf "$work/src"
    git clone --quiet --no-checkout "$top" "$work/src"
    git -C "$work/src" checkout --quiet "$(git -C "$top" rev-parse "$commit")"
}

# Runs a command and prints "phase wall cpu load".
timed() {
    local name=$1
    shift
    local load
    load=$(cut -d' ' -f1 /proc/loadavg)
    local verdict=ok
    /usr/bin/time -o "$work/time" -f '%e %U %S' "$@" >"$work/$name.log" 2>&1 || verdict=FAILED
    read -r wall user sys < <(tail -n 1 "$work/time")
    printf '%-16s wall %7.1f s   cpu %7.1f s   load %-5s %s\n' "$name" "$wall" \
        "$(echo "$user + $sys" | bc)" "$load" "$verdict"
    if [ $verdict != ok ]; then
        grep -E '^\s+[0-9]+ - |tests passed' "$work/$name.log" | tail -n 20 || tail -n 20 "$work/$name.log"
    fi
}

# Compile and link steps of a tree's last build, from ninja's log.
steps() {
    local tree=$1
    [ -f "$tree/.ninja_log" ] || return 0
    printf '%-16s compile %s  link %s  (ninja steps)\n' "$(basename "$tree")" \
        "$(awk -F'\t' '$4 ~ /\.o$/' "$tree/.ninja_log" | wc -l)" \
        "$(awk -F'\t' '$4 ~ /bin\/[^\/]*$/' "$tree/.ninja_log" | wc -l)"
}

tests_run() {
    local log=$1
    grep -E 'tests passed|tests failed' "$log" | tail -n 1 || true
}

clone
cd "$work/src"
echo "commit $(git rev-parse --short HEAD), $(nproc) cores, ccache $(command -v ccache >/dev/null && echo yes || echo no)"
for phase in "${phases[@]}"; do
    case $phase in
    build) timed build ./quorel build ;;
    test) timed test ./quorel test; tests_run "$work/test.log" ;;
    sanitize-build)
        # The build part of ./quorel sanitize: a ctest that runs nothing.
        mkdir -p "$work/noctest" && printf '#!/bin/sh\nexit 0\n' >"$work/noctest/ctest" &&
            chmod +x "$work/noctest/ctest"
        timed sanitize-build env PATH="$work/noctest:$PATH" ./quorel sanitize ;;
    sanitize-test) timed sanitize-test ./quorel sanitize; tests_run "$work/sanitize-test.log" ;;
    ci) timed ci .ci/run ;;
    ci-again) clone && cd "$work/src" && timed ci-again .ci/run ;;
    *) echo "unknown phase $phase" >&2; exit 2 ;;
    esac
done
steps "$work/src/build"
steps "$work/src/build-sanitize"
