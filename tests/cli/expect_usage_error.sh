#!/bin/sh
# usage: expect_usage_error.sh PROGRAM EXPECTED_LINE ARG...
#
# Runs PROGRAM with the ARGs in an empty directory holding only a batch file "lines.txt"
# of two curves, and passes when it exits with status 2, writes exactly EXPECTED_LINE on
# standard error and nothing on standard output, and leaves no new file behind.
program=$1
expected=$2
shift 2
work=$(mktemp -d) || exit 1
streams=$(mktemp -d) || exit 1
trap 'rm -rf "$work" "$streams"' EXIT
cd "$work" || exit 1
printf 'radius=1000 delta=30\nleft=on\n' > lines.txt
LC_ALL=C "$program" "$@" > "$streams/out" 2> "$streams/err"
status=$?
fail=0
if [ "$status" -ne 2 ]; then echo "exit status $status, expected 2"; fail=1; fi
if [ -s "$streams/out" ]; then echo "standard output not empty:"; cat "$streams/out"; fail=1; fi
if [ "$(cat "$streams/err")" != "$expected" ] || [ "$(wc -l < "$streams/err")" -ne 1 ]; then
    echo "standard error:"; cat "$streams/err"; echo "expected one line:"; echo "$expected"
    fail=1
fi
files=$(ls -A)
if [ "$files" != "lines.txt" ]; then echo "files written:"; ls -A; fail=1; fi
exit $fail
