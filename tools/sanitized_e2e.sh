#!/usr/bin/env bash
# Runs one end-to-end test script (the arguments) under Debian's Python with
# every sanitizer report of the program and its helper programs sent to a file
# of its own, and fails when any report was written. A test that drives a
# pseudo-terminal, or a helper program that a command runs, may not show a
# report in what the test checks; this makes every one of them a failure.
set -u

reports=$(mktemp -d "${TMPDIR:-/tmp}/kolm_sanitizer_reports.XXXXXX")
trap 'rm -rf "$reports"' EXIT

common="abort_on_error=1:halt_on_error=1"
export ASAN_OPTIONS="${ASAN_OPTIONS:-$common:detect_leaks=1}:log_path=$reports/report"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-$common:print_stacktrace=1}:log_path=$reports/report"

/usr/bin/python3 "$@"
status=$?

if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "---- sanitizer report $(basename "$report")" >&2
        cat "$report" >&2
    done
    echo "sanitizer reports were written: failing the test" >&2
    exit 1
fi
exit "$status"
