#!/usr/bin/env bash
# Builds the libFuzzer targets of the portable core (preset fuzz) and runs each one for a
# bounded time, FUZZ_SECONDS each (default 60), on a scratch copy of its seed corpus in
# fuzz/corpus/, so the repository's corpus is never changed. Any crash, sanitizer report,
# broken property, time-out, leak or memory blow-up fails the run; the reproducer is kept and
# its path printed. FUZZ_TARGETS="Url Text" runs only those targets.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-$(cd fuzz/corpus && echo *)}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-fuzz.XXXXXX")
export UBSAN_OPTIONS=print_stacktrace=1

failed=0
summary=$(printf '%-16s %12s %10s %6s %6s %8s  %s' target runs exec/s cov ft corpus result)
for target in $targets; do
    fuzzer=build/fuzz/fuzz/${target}Fuzzer
    corpus=$work/$target/corpus
    artifacts=$work/$target/artifacts/
    log=$work/$target/log
    mkdir -p "$corpus" "$artifacts"
    cp -R "fuzz/corpus/$target/." "$corpus"

    echo "Fuzzing $target for $seconds s"
    status=0
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1 || status=$?

    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)
    runs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: //p' "$log")
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
    size=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$done_line")

    result=ok
    reproducers=$(find "$artifacts" -type f)
    if [ "$status" -ne 0 ] || [ -n "$reproducers" ] ||
        grep -qE '^(==[0-9]+==ERROR|SUMMARY: |property failed)|runtime error:' "$log"; then
        result="FAILED (exit $status)"
        failed=1
        echo "---- $target failed; end of its log ($log):"
        tail -n 40 "$log"
        for reproducer in $reproducers; do
            echo "Reproducer: $reproducer   (replay: $fuzzer $reproducer)"
        done
    fi
    summary+=$'\n'$(printf '%-16s %12s %10s %6s %6s %8s  %s' "$target" "${runs:-?}" "${rate:-?}" \
        "${cov:-?}" "${ft:-?}" "${size:-?}" "$result")
done

echo
echo "$summary"
if [ "$failed" -ne 0 ]; then
    echo "Fuzzing failed; logs, corpora and reproducers kept in $work"
    exit 1
fi
rm -rf "$work"
