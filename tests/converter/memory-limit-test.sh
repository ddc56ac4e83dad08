#!/usr/bin/env bash
# The converter under a memory limit far below its input: a 300 MB line of an
# unknown type or with 300 MB after field 7 converts in a few MiB; a used field
# of 300 MB runs out of memory, which is the usual failure message with the old
# output kept, not an abort.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

limit_kib=65536
bulk() { head -c 300000000 /dev/zero | tr '\0' 'x'; }
convert() { # runs the converter on stdin under the limit
    (ulimit -v "$limit_kib" && exec "$cli" -o "$work/OBSBIEG" /dev/stdin) >"$work/out.txt" 2>"$work/err.txt"
    status=$?
}

convert < <(printf 'NOTATKA' && bulk && printf ',1\r\nC,1,,,,,2\r\n')
check "a long line of an unknown type: exit 0" [ "$status" -eq 0 ]
check "and the lines after it converted" [ "$(cat "$work/OBSBIEG")" = $'1    42\r\n0 0 0 0 2\r' ]

convert < <(printf 'E,1,,2,3,4,5,' && bulk && printf '\r\n')
check "300 MB after field 7: exit 0" [ "$status" -eq 0 ]
check "and the record converted" [ "$(cat "$work/OBSBIEG")" = $'1  3  5  2  4\r' ]

printf 'old\r\n' >"$work/OBSBIEG"
convert < <(printf 'E,' && bulk && printf ',,2,3,4,5\r\n')
check "a used field beyond the limit: exit 1, no abort" [ "$status" -eq 1 ]
check "the fixed message" grep -qxF "Błąd podczas przetwarzania plików!" "$work/err.txt"
check "the cause in Polish" grep -qF "Zabrakło pamięci" "$work/err.txt"
check "the old output kept" [ "$(cat "$work/OBSBIEG")" = $'old\r' ]
check "no temporary file" [ "$(ls -A "$work")" = "$(printf 'OBSBIEG\nerr.txt\nout.txt')" ]

checks_summary memory-limit
