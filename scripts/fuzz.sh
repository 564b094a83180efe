#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# in their own build folder and runs each one for a fixed time.
#
#   scripts/fuzz.sh            every target for 20 seconds (the CI run)
#   scripts/fuzz.sh 3600       every target for an hour
#   scripts/fuzz.sh 60 fuzz_exif fuzz_jpeg    only the named targets
#
# Environment: KELVRA_FUZZ_BUILD (build folder, default <repo>/build-fuzz),
# KELVRA_FUZZ_OUT (crash files and logs, default <repo>/fuzz-out).
# The corpus each target grows is kept in the build folder and reused by the
# next run. A finding leaves its input in the output folder; run the target on
# it to see the report again:  build-fuzz/fuzz_exif fuzz-out/fuzz_exif-crash-<hash>
# Exit status: 0 when no target found anything, 1 on a finding
# (crash, sanitizer report, leak, timeout, broken property), 2 on a build error.
set -uo pipefail

secs=${1:-20}
shift $(( $# > 0 ? 1 : 0 ))
if ! [[ "$secs" =~ ^[0-9]+$ ]] || [ "$secs" -lt 1 ]; then
    echo "usage: $0 [seconds per target] [target ...]" >&2
    exit 2
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVRA_FUZZ_BUILD:-$repo/build-fuzz}
out=${KELVRA_FUZZ_OUT:-$repo/fuzz-out}
jobs=${KELVRA_FUZZ_JOBS:-2}

echo "fuzz: configuring $build"
mkdir -p "$build"
if ! CC=clang CXX=clang++ cmake -S "$repo" -B "$build" -DKELVRA_FUZZ=ON -DKELVRA_UI=OFF \
        -DKELVRA_TESTS=OFF -DKELVRA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        >"$build/fuzz-configure.log" 2>&1; then
    cat "$build/fuzz-configure.log" >&2
    exit 2
fi
echo "fuzz: building"
if ! cmake --build "$build" -j"$jobs" --target fuzz_all >"$build/fuzz-build.log" 2>&1; then
    tail -n 60 "$build/fuzz-build.log" >&2
    exit 2
fi

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for src in "$repo"/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$src" .cpp)")
    done
fi

seeds="$build/seeds"
rm -rf "$seeds"
"$build/make_fuzz_seeds" "$seeds" || exit 2
mkdir -p "$out"

# Longest input each target is given, and its dictionary.
max_len() {
    case "$1" in
        fuzz_jpeg | fuzz_exif) echo 16384 ;;
        fuzz_thumbcache) echo 12000 ;;
        fuzz_ini) echo 2048 ;;
        *) echo 4096 ;;
    esac
}
dict_of() {
    case "$1" in
        fuzz_jpeg | fuzz_exif) echo "-dict=$repo/fuzz/exif.dict" ;;
    esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
printf '%-18s %12s %10s  %s\n' target executions exec/s result
for t in "${targets[@]}"; do
    bin="$build/$t"
    if [ ! -x "$bin" ]; then
        echo "fuzz: no target $t" >&2
        failed=1
        continue
    fi
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    log="$out/$t.log"
    seed_dir=()
    [ -d "$seeds/$t" ] && seed_dir=("$seeds/$t")
    dict=$(dict_of "$t")
    # shellcheck disable=SC2086
    "$bin" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -max_len="$(max_len "$t")" \
        -print_final_stats=1 -artifact_prefix="$out/$t-" $dict \
        "$corpus" "${seed_dir[@]}" >"$log" 2>&1
    rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    if [ $rc -eq 0 ]; then
        result="no finding"
    else
        result="FINDING (exit $rc), see $log"
        failed=1
    fi
    printf '%-18s %12s %10s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "$result"
    if [ $rc -ne 0 ]; then
        grep -E "ERROR|SUMMARY|property failed|runtime error|Test unit written" "$log" | head -n 20 >&2
    fi
done
exit $failed
