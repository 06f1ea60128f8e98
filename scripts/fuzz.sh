#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and fuzzes one of them, or each in turn, for
# SECONDS each (default 60), starting from its checked-in corpus. Inputs that reach new code are
# merged into fuzz/corpus/<target> (only those that add coverage); a crashing input is left in
# build-fuzz/artifacts/<target>/ and the script fails.
#   scripts/fuzz.sh [TARGET|all] [SECONDS]
# Extra libFuzzer flags go in FUZZ_FLAGS (for example FUZZ_FLAGS="-max_len=2000").
set -euo pipefail
cd "$(dirname "$0")/.."

which=${1:-all}
seconds=${2:-60}
build_dir=${TERVANE_FUZZ_BUILD_DIR:-build-fuzz}
read -r -a extra_flags <<< "${FUZZ_FLAGS:-}"

mapfile -t targets < <(sed -n 's/^tervane_fuzz_target(\([a-z_0-9]*\).*/\1/p' fuzz/targets.cmake)
if [ "$which" != all ]; then
    if ! printf '%s\n' "${targets[@]}" | grep -qx "$which"; then
        echo "unknown fuzz target '$which'; known: ${targets[*]}" >&2
        exit 2
    fi
    targets=("$which")
fi

if [ ! -f "$build_dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERVANE_FUZZ=ON
fi
nice cmake --build "$build_dir" --target "${targets[@]/#/fuzz_}"

# Leaks only in system libraries are suppressed; the fuzz targets set the offscreen platform
# themselves when none is given.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

failed=()
for target in "${targets[@]}"; do
    fuzzer="$build_dir/fuzz/fuzz_$target"
    corpus="fuzz/corpus/$target"
    artifacts="$build_dir/artifacts/$target/"
    found=$(mktemp -d)
    mkdir -p "$corpus" "$artifacts"
    echo "== $target: ${seconds}s"
    status=0
    # New inputs go to a scratch folder first, so that only the merged ones reach the corpus.
    nice "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts" \
        "${extra_flags[@]}" "$found" "$corpus" || status=$?
    before=$(find "$corpus" -type f | wc -l)
    nice "$fuzzer" -merge=1 "${extra_flags[@]}" "$corpus" "$found" 2>&1 | grep -E '^MERGE-OUTER: [0-9]+ new files' || true
    after=$(find "$corpus" -type f | wc -l)
    echo "== $target: $((after - before)) inputs added to $corpus"
    rm -rf "$found"
    if [ "$status" -ne 0 ]; then
        echo "== $target stopped with status $status; the input is in $artifacts" >&2
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
