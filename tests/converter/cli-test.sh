#!/usr/bin/env bash
# Checks the command-line converter as a script would use it: exit status,
# messages, kavero.ini beside the executable, the old output kept on failure.
set -u
exe=$1
data=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
# shellcheck source=tests/support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

run() { # runs the converter, keeping status, stdout and stderr
    "$@" >"$work/out.txt" 2>"$work/err.txt"
    status=$?
}

# The converter beside its own kavero.ini, with a working folder whose name has Polish letters.
mkdir -p "$work/bin" "$work/praca łąka"
cp "$exe" "$work/bin/"
cli="$work/bin/$(basename "$exe")"
# kavero.ini is Windows-1250 text, like every file of the suite.
printf '[General]\r\nPath = "%s"\r\n' "$work/praca łąka" | iconv -f UTF-8 -t CP1250 >"$work/bin/kavero.ini"

run "$cli" "$data/worked-example.txt"
check "converts into the working folder of kavero.ini" [ "$status" -eq 0 ]
check "OBSBIEG matches the worked example" cmp -s "$work/praca łąka/OBSBIEG" "$data/worked-example.expected"

run "$cli" -v -o "$work/two.out" "$data/two-files-a.txt" "$data/two-files-b.txt"
check "-o converts in order" cmp -s "$work/two.out" "$data/two-files.expected"
check "-v prints the summary" grep -q "Pliki: 2, stanowiska: 2, obserwacje: 3, pominięte wiersze: 0" "$work/out.txt"

printf 'old\r\n' >"$work/keep.out"
run "$cli" -o "$work/keep.out" "$data/worked-example.txt" "$work/missing.txt"
check "a missing input exits 1" [ "$status" -eq 1 ]
check "the fixed message on stderr" grep -q "^Błąd podczas przetwarzania plików!$" "$work/err.txt"
check "the detail names the file" grep -q "missing.txt" "$work/err.txt"
check "the old output is kept" [ "$(cat "$work/keep.out")" = $'old\r' ]

# Durable: the new bytes are on the disk before the rename, the rename before the exit.
if strace -o /dev/null true 2>/dev/null; then
    # LeakSanitizer cannot work under ptrace; the sanitizer build checks leaks elsewhere.
    ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0 \
        strace -o "$work/trace" -e trace=fsync,fdatasync,rename,renameat,renameat2 \
        "$cli" -o "$work/keep.out" "$data/worked-example.txt"
    check "fsync, rename, fsync of the folder" \
        [ "$(sed -E 's/\(.*//' "$work/trace" | grep -v '^+++' | tr '\n' ' ')" = "fsync renameat fsync " ]
else
    echo "strace cannot trace here: the order of fsync and rename is not checked"
fi

run "$cli"
check "no files is bad usage" [ "$status" -eq 2 ]
check "usage text on stderr" grep -q "^Usage: kmx685-convert" "$work/err.txt"
run "$cli" -x "$data/worked-example.txt"
check "an unknown option is bad usage" [ "$status" -eq 2 ]
run "$cli" -o
check "-o without a name is bad usage" [ "$status" -eq 2 ]
cp "$work/praca łąka/OBSBIEG" "$work/before"
run "$cli" -o "" "$data/polish.txt"
check "-o with an empty name is bad usage" [ "$status" -eq 2 ]
check "and the working folder's OBSBIEG is untouched" cmp -s "$work/praca łąka/OBSBIEG" "$work/before"
run "$cli" --help
check "--help exits 0 with usage on stdout" [ "$status" -eq 0 ]
check "--help text" grep -q "^Usage: kmx685-convert" "$work/out.txt"

# The report: entries on stderr with -v as PATH:LINE: REASON, PATH as given; the
# report file in Windows-1250 with CR LF; --strict exits 3 once OBSBIEG is written.
report=$data/report
(cd "$report" && "$cli" -v -o "$work/plain.out" ./fields.txt ./../report/points.txt \
    >"$work/out.txt" 2>"$work/err.txt")
check "-v: the entries on stderr, paths as given" cmp -s "$work/err.txt" \
    <(sed 's|^|./|' "$report/fields.report"; sed 's|^|./../report/|' "$report/points.report")
check "-v: the count in the summary" grep -q "pominięte wiersze: 0, uwagi: 15$" "$work/out.txt"
run "$cli" --strict --report "$work/r.txt" -o "$work/strict.out" "$data/worked-example.txt"
check "--strict with entries exits 3" [ "$status" -eq 3 ]
check "after writing OBSBIEG as ever" cmp -s "$work/strict.out" "$data/worked-example.expected"
check "--report: Windows-1250, CR LF" cmp -s "$work/r.txt" \
    <(printf '%s:4: nieznany typ rekordu „X”, wiersz pominięty\r\n' "$data/worked-example.txt" |
        iconv -f UTF-8 -t CP1250)
run "$cli" --strict -o "$work/clean.out" "$report/ctrlz-clean.txt"
check "--strict without entries exits 0" [ "$status" -eq 0 ]
printf 'old\r\n' >"$work/keep.out"
run "$cli" --report "$work/no-folder/r.txt" -o "$work/keep.out" "$data/worked-example.txt"
check "a report that cannot be written exits 1" [ "$status" -eq 1 ]
check "before anything is converted" [ "$(cat "$work/keep.out")" = $'old\r' ]
run "$cli" -o "$work/x.out" "$data/worked-example.txt" --report
check "--report without a name is bad usage" [ "$status" -eq 2 ]
run "$cli" --report "" "$data/worked-example.txt"
check "--report with an empty name is bad usage" [ "$status" -eq 2 ]
cp "$data/worked-example.txt" "$work/pomiar.txt"
run "$cli" --report "$work/./pomiar.txt" -o "$work/x.out" "$work/pomiar.txt"
check "a report over an input file is bad usage" [ "$status" -eq 2 ]
check "and the input is kept" cmp -s "$work/pomiar.txt" "$data/worked-example.txt"

# The other recorders: --format chooses the reader, auto each file's own; a file
# that looks like another format than the chosen one is named in the report.
rec=$data/recorders
run "$cli" --format gsi -o "$work/gsi.out" "$rec/gsi8.gsi" "$rec/gsi16.gsi"
check "--format gsi converts GSI files" cmp -s "$work/gsi.out" "$rec/gsi.expected"
run "$cli" --format auto -o "$work/auto.out" "$rec/manual-sdr.sdr" "$data/worked-example.txt" "$rec/manual-nikon.raw"
check "--format auto: each file in its own format" cmp -s "$work/auto.out" \
    <(cat "$rec/manual-sdr.expected" "$data/worked-example.expected" "$rec/manual-nikon.expected")
run "$cli" -v -o "$work/kmx.out" "$rec/manual-gsi.gsi"
check "a GSI file read as KMX 685: the entry says so first" [ "$(head -n 1 "$work/err.txt")" = \
    "$rec/manual-gsi.gsi:1: plik wygląda na format Leica GSI, a wybrano KMX 685" ]
printf 'Dear surveyor,\nthis is a letter.\n' >"$work/letter.txt"
printf 'old\r\n' >"$work/keep.out"
run "$cli" --format auto -o "$work/keep.out" "$rec/manual-gsi.gsi" "$work/letter.txt"
check "--format auto: a file in no known format exits 1" [ "$status" -eq 1 ]
check "naming the file" grep -qF "Nie rozpoznano formatu pliku „$work/letter.txt”" "$work/err.txt"
check "and the old output is kept" [ "$(cat "$work/keep.out")" = $'old\r' ]
run "$cli" --format gsi16 "$rec/gsi16.gsi"
check "an unknown format is bad usage" [ "$status" -eq 2 ]
run "$cli" --format
check "--format without a format is bad usage" [ "$status" -eq 2 ]

# A NUL byte would cut the path short at "praca łąka": the folder is refused instead.
printf '[General]\r\nPath=%s\0/inna\r\n' "$work/praca łąka" | iconv -f UTF-8 -t CP1250 >"$work/bin/kavero.ini"
run "$cli" "$data/polish.txt"
check "a working folder with a NUL byte: exit 1" [ "$status" -eq 1 ]
check "and the cause named" grep -q "znakiem sterującym (kod 0)" "$work/err.txt"
check "and nothing written where the path was cut" cmp -s "$work/praca łąka/OBSBIEG" "$work/before"

rm "$work/bin/kavero.ini"
run "$cli" "$data/worked-example.txt"
check "without kavero.ini and -o it fails" [ "$status" -eq 1 ]
check "and says why" grep -q "kavero.ini" "$work/err.txt"

checks_summary
