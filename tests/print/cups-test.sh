#!/usr/bin/env bash
# End-to-end print test through a real spooler: starts a private cupsd with a
# cups-pdf printer, prints from an editor frame through Qt's print system and
# checks what the spooler made of it: one job per print, no title, one copy in
# the job's attributes, the pages in the right order.
#
#   cups-test.sh <path to cups_print_probe>
#
# Needs root (cupsd and the cups-pdf backend run as root). Exits 77 (skipped)
# when not root, 1 on any failure. REJKMX_KEEP_CUPS_TEST=1 keeps the spooler's
# folder (logs, output) for a look afterwards.
set -euo pipefail

probe=${1:?usage: cups-test.sh <cups_print_probe>}

fail() {
    echo "cups-test: FAIL: $*" >&2
    if [[ -n ${work:-} && -f $work/log/error_log ]]; then
        echo "--- cupsd error_log (last lines) ---" >&2
        grep -E '^[EW] ' "$work/log/error_log" | tail -n 20 >&2 || true
    fi
    exit 1
}

if [[ $(id -u) -ne 0 ]]; then
    echo "cups-test: SKIPPED: needs root to run cupsd and the cups-pdf backend" >&2
    exit 77
fi
for tool in cupsd lpadmin lpstat ipptool pdfinfo pdftoppm md5sum; do
    command -v "$tool" >/dev/null || fail "$tool not installed (scripts/setup.sh installs it)"
done
[[ -x /usr/lib/cups/backend/cups-pdf ]] || fail "cups-pdf backend missing (printer-driver-cups-pdf)"

# Everything lives under one temporary folder. Filters run as lp: they must
# reach the PPD and the temporary folder.
work=$(mktemp -d /tmp/rejkmx-cups.XXXXXX)
chmod 755 "$work"
mkdir -p "$work"/{conf,spool,cache,state,log,out,cups-pdf}
chmod 755 "$work/conf"
install -d -o root -g lp -m 1770 "$work/tmp"

# cups-pdf reads /etc/cups/cups-pdf-<name>.conf for the device cups-pdf:/<name>;
# its path is built in, so an instance of our own is the way to a private output folder.
instance="rejkmx-test-$$"
pdf_conf="/etc/cups/cups-pdf-$instance.conf"
cupsd_pid=
cleanup() {
    if [[ -n $cupsd_pid ]]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    rm -f "$pdf_conf"
    if [[ -n ${REJKMX_KEEP_CUPS_TEST:-} ]]; then
        echo "cups-test: kept $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

cat >"$pdf_conf" <<EOF
Out $work/out
AnonDirName $work/out
Spool $work/cups-pdf
Log $work/log
EOF

socket=$work/cups.sock
cat >"$work/conf/cupsd.conf" <<EOF
LogLevel info
Listen $socket
Browsing Off
WebInterface No
DefaultAuthType None
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
# Job names are private by default and would read as empty to ipptool.
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$work/conf/cups-files.conf" <<EOF
ServerRoot $work/conf
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
SystemGroup root
EOF

cupsd -t -c "$work/conf/cupsd.conf" -s "$work/conf/cups-files.conf" >/dev/null 2>&1 ||
    fail "cupsd rejects its configuration: $(cupsd -t -c "$work/conf/cupsd.conf" \
        -s "$work/conf/cups-files.conf" 2>&1 | tail -n 3)"
cupsd -f -c "$work/conf/cupsd.conf" -s "$work/conf/cups-files.conf" \
    >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!

export CUPS_SERVER=$socket
unset PRINTER LPDEST
for _ in $(seq 50); do
    lpstat -r >/dev/null 2>&1 && break
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd exited: $(tail -n 5 "$work/log/cupsd.out")"
    sleep 0.2
done
lpstat -r >/dev/null 2>&1 || fail "cupsd did not answer on $socket within 10 s"

ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
lpadmin -p PDF -E -v "cups-pdf:/$instance" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
    lpadmin -p PDF -E -v "cups-pdf:/$instance" -P "$ppd" 2>/dev/null ||
    fail "lpadmin could not add the cups-pdf printer"
lpstat -p PDF >/dev/null || fail "printer PDF not listed"

uri="ipp://$(printf '%s' "$socket" | sed 's#/#%2F#g')/printers/PDF"
cat >"$work/get-jobs.test" <<'EOF'
{
  OPERATION Get-Jobs
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  ATTR keyword which-jobs all
  ATTR keyword requested-attributes job-id,job-name,job-state,copies
  DISPLAY job-id
  DISPLAY job-name
  DISPLAY job-state
  DISPLAY copies
}
EOF
# One line per job: id,name,state,copies (an absent name reads as empty).
jobs_list() { ipptool -c "$uri" "$work/get-jobs.test" | tail -n +2; }

# Waits for every job to leave the queue and for cups-pdf's file.
wait_for_output() {
    local count=$1
    for _ in $(seq 150); do
        if [[ -z $(lpstat -o PDF 2>/dev/null) ]] &&
            [[ $(find "$work/out" -name '*.pdf' | wc -l) -ge $count ]]; then
            return 0
        fi
        sleep 0.2
    done
    fail "job did not finish within 30 s; queue: $(lpstat -o PDF 2>&1)"
}

# Runs the probe and checks the job it made; sets max_page (the dialog's
# maximum) and job_pdf (cups-pdf's file).
print_one() {
    local mode=$1 number=$2 output
    output=$("$probe" "$mode") || fail "probe '$mode' failed: $output"
    grep -qx 'printer=PDF' <<<"$output" || fail "probe '$mode' printed elsewhere: $output"
    max_page=$(sed -n 's/^maxPage=//p' <<<"$output")
    wait_for_output "$number"
    local jobs
    jobs=$(jobs_list)
    [[ $(wc -l <<<"$jobs") -eq $number ]] || fail "expected $number job(s) in all, spooler has: $jobs"
    local last
    last=$(tail -n 1 <<<"$jobs")
    IFS=, read -r id name state copies <<<"$last"
    [[ -z $name ]] || fail "job $id has title '$name', expected none"
    [[ $state == completed ]] || fail "job $id ended $state"
    [[ -z $copies || $copies == 1 ]] || fail "job $id asks the spooler for $copies copies"
    job_pdf=$(find "$work/out" -name "*job_${id}.pdf" | head -n 1)
    [[ -n $job_pdf ]] || fail "no cups-pdf file for job $id in $work/out"
}

# cups-pdf goes through PostScript and makes Type 3 fonts without usable text,
# so pages are compared as pictures.
page_picture() { pdftoppm -q -r 50 -gray -f "$2" -l "$2" "$1" | md5sum; }
pages_of() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }

# Job 1: all pages, on the only printer, which is not the default one.
print_one all 1
all_pdf=$job_pdf
all_pages=$(pages_of "$all_pdf")
[[ $max_page -ge 3 ]] || fail "text should fill at least 3 pages, the dialog offered $max_page"
[[ $all_pages -eq $max_page ]] || fail "all pages printed $all_pages pages, dialog offered $max_page"
[[ $(page_picture "$all_pdf" 2) != $(page_picture "$all_pdf" 3) ]] ||
    fail "pages 2 and 3 look the same: nothing printed?"

# Job 2: two copies of pages 2 to 3 in one job, as 2, 3, 2, 3.
lpadmin -d PDF
print_one range 2
range_pdf=$job_pdf
[[ $(pages_of "$range_pdf") -eq 4 ]] || fail "2 copies of 2-3 gave $(pages_of "$range_pdf") pages"
expected=(2 3 2 3)
for sheet in 1 2 3 4; do
    [[ $(page_picture "$range_pdf" "$sheet") == $(page_picture "$all_pdf" "${expected[sheet - 1]}") ]] ||
        fail "sheet $sheet is not page ${expected[sheet - 1]} of the text"
done

echo "cups-test: OK: 2 jobs, no title, one copy each; $all_pages pages, then 2,3,2,3"
