#!/usr/bin/env bash
# Checks kmx685-convert.exe as a Windows program: every golden file to the same
# bytes, the failure contract, usage errors, kavero.ini beside the .exe with a
# backslash join, Polish letters in file and folder names, OBSBIEG replaced.
# Usage: cli-checks.sh EXE DATA_DIR [RUNNER...]   (RUNNER: wine64 on Linux)
set -u
exe=$1
data=$2
shift 2
runner=("$@")
export LC_ALL=C.UTF-8 # Wine turns the UTF-8 arguments into the wide command line by the locale
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

# A Unix path as Windows sees it under Wine (drive Z: is /); unchanged elsewhere.
win() {
    if ((${#runner[@]})); then
        local p=${1//\//\\}
        printf 'Z:%s' "$p"
    else
        printf '%s' "$1"
    fi
}

run() { # runs the tool; keeps status, stdout and stderr with Windows line ends removed
    "${runner[@]}" "$@" >"$work/out.raw" 2>"$work/err.raw"
    status=$?
    tr -d '\r' <"$work/out.raw" >"$work/out.txt"
    tr -d '\r' <"$work/err.raw" >"$work/err.txt"
}

same_file() { cmp -s "$1" "$2"; }
no_match() { ! grep -qiE "$1" "$2"; }
only_entries() { # folder, expected entry count: no temporary file left behind
    [ "$(find "$1" -mindepth 1 -maxdepth 1 | wc -l)" -eq "$2" ]
}

# Static runtime: only DLLs that come with Windows, none of the compiler's.
if command -v x86_64-w64-mingw32-objdump >/dev/null; then
    x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' >"$work/dlls.txt"
    check "imports KERNEL32.dll" grep -qix "KERNEL32.dll" "$work/dlls.txt"
    check "no runtime DLL to ship" no_match "libstdc|libgcc|libwinpthread" "$work/dlls.txt"
fi

# Every golden pair: NAME.expected from NAME.txt, from NAME-*.txt in order, or (examples)
# from the demo files of the repository's examples folder in order.
mkdir -p "$work/golden"
shopt -s nullglob
for expected in "$data"/*.expected; do
    name=$(basename "$expected" .expected)
    inputs=()
    if [ -f "$data/$name.txt" ]; then
        inputs=("$data/$name.txt")
    elif [ "$name" = examples ]; then
        inputs=("$data"/../../examples/*.txt)
    else
        inputs=("$data/$name"-*.txt)
    fi
    check "$name: inputs found (add new kinds of pair to this script)" [ ${#inputs[@]} -gt 0 ]
    for i in "${!inputs[@]}"; do inputs[i]=$(win "${inputs[i]}"); done
    run "$exe" -o "$(win "$work/golden/$name")" "${inputs[@]}"
    check "$name: exit 0" [ "$status" -eq 0 ]
    check "$name: same bytes as expected" same_file "$work/golden/$name" "$expected"
done

# The tool in a folder with Polish letters, beside a Windows-1250 kavero.ini whose Path
# names a working folder with Polish letters; started from another current folder.
bin="$work/programy łąka"
job="$work/praca łąka"
mkdir -p "$bin" "$job" "$work/elsewhere"
cp "$exe" "$bin/kmx685-convert.exe"
cli="$bin/kmx685-convert.exe"
printf '[General]\r\nPath = %s\r\n' "$(win "$job")" | iconv -f UTF-8 -t CP1250 >"$bin/kavero.ini"
cp "$data/worked-example.txt" "$work/pomiar_łąka.txt"
printf 'old result, longer than the new one\r\n%.0s' {1..200} >"$job/OBSBIEG"

cd "$work/elsewhere" || exit 1
run "$cli" -v "$(win "$work/pomiar_łąka.txt")"
check "kavero.ini beside the .exe: exit 0" [ "$status" -eq 0 ]
check "OBSBIEG joined with a backslash" grep -qxF "Zapisano $(win "$job")\\OBSBIEG" "$work/out.txt"
check "old OBSBIEG replaced by the converted Polish-named file" \
    same_file "$job/OBSBIEG" "$data/worked-example.expected"
check "no temporary file beside OBSBIEG" only_entries "$job" 1
check "nothing written to the current folder" only_entries "$work/elsewhere" 0

# Failure: the fixed message, a detail naming the file, status 1, the old output as it was.
cp "$job/OBSBIEG" "$work/before"
run "$cli" "$(win "$data/polish.txt")" "$(win "$work/brak_pliku_ż.txt")"
check "missing input: exit 1" [ "$status" -eq 1 ]
check "missing input: the fixed message first" \
    [ "$(head -n 1 "$work/err.txt")" = "Błąd podczas przetwarzania plików!" ]
check "missing input: the detail names the file" grep -qF "brak_pliku_ż.txt" "$work/err.txt"
check "missing input: old OBSBIEG untouched" same_file "$job/OBSBIEG" "$work/before"
check "missing input: no temporary file" only_entries "$job" 1

run "$cli" -o "$(win "$work/no such folder")\\OBSBIEG" "$(win "$data/polish.txt")"
check "missing output folder: exit 1" [ "$status" -eq 1 ]
check "missing output folder: the fixed message" grep -qxF "Błąd podczas przetwarzania plików!" "$work/err.txt"
check "missing output folder: the detail names it" grep -qF "no such folder\\OBSBIEG" "$work/err.txt"

# Bad usage exits 2 with the usage text on stderr.
usage_error() { # name, arguments...
    local name=$1
    shift
    run "$cli" "$@"
    check "$name: exit 2" [ "$status" -eq 2 ]
    check "$name: usage on stderr" grep -q "^Usage: kmx685-convert" "$work/err.txt"
}
usage_error "no input files"
usage_error "unknown option" -x "$(win "$data/polish.txt")"
usage_error "-o without a name" -o

# Without kavero.ini and -o there is no working folder: status 1 and the .ini path named.
rm "$bin/kavero.ini"
run "$cli" "$(win "$data/polish.txt")"
check "no kavero.ini: exit 1" [ "$status" -eq 1 ]
check "no kavero.ini: its Windows path named" grep -qF "$(win "$bin")\\kavero.ini" "$work/err.txt"

checks_summary kmx685-convert.exe
