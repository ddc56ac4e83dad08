#!/usr/bin/env bash
# OBSBIEG in a folder a group of surveyors shares, converted by two ordinary
# users in turn (setpriv, numeric ids, no accounts needed): the file keeps its
# group and its 0664, so the other one can convert again; a file its owner made
# read-only stays protected against a colleague who may write the folder.
#
#   shared-folder-test.sh <kmx685-convert>
# Needs root to take other users' ids; exits 77 (skipped) without it.
set -euo pipefail
convert=${1:?usage: shared-folder-test.sh <kmx685-convert>}
[[ $(id -u) -eq 0 ]] || { echo "shared-folder-test: needs root to act as other users"; exit 77; }

group=4242 surveyor=4243 colleague=4244
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
cp "$convert" "$tmp/kmx685-convert"
chmod 755 "$tmp/kmx685-convert"
printf 'C,10,,,,,1.56\r\nE,11,,22.50,101.2345,1.50,99.8765\r\n' >"$tmp/pomiar.txt"
chmod 644 "$tmp/pomiar.txt"
shared=$tmp/praca
mkdir "$shared"
chown "0:$group" "$shared"
chmod 2775 "$shared"
printf 'stary\r\n' >"$shared/OBSBIEG"
chown "$surveyor:$group" "$shared/OBSBIEG"
chmod 664 "$shared/OBSBIEG"

failures=0
fail() { echo "shared-folder-test: $*" >&2; failures=$((failures + 1)); }
as_user() { # uid, then the command; umask 022 as in a login shell
  local uid=$1
  shift
  setpriv --reuid="$uid" --regid="$uid" --groups="$group" -- sh -c 'umask 022; exec "$@"' sh "$@"
}
mode_owner() { stat -c '%a %u:%g' "$shared/OBSBIEG"; }
printf '10    42\r\n11  101.2345  99.8765  22.50  1.50\r\n0 0 0 0 1.56\r\n' >"$tmp/expected"

as_user "$colleague" "$tmp/kmx685-convert" -o "$shared/OBSBIEG" "$tmp/pomiar.txt" ||
  fail "the colleague could not convert into the shared OBSBIEG"
[[ $(mode_owner) == "664 $colleague:$group" ]] ||
  fail "after the colleague's conversion OBSBIEG is $(mode_owner), expected 664 $colleague:$group"
cmp -s "$shared/OBSBIEG" "$tmp/expected" || fail "the colleague's OBSBIEG has other bytes"

as_user "$surveyor" "$tmp/kmx685-convert" -o "$shared/OBSBIEG" "$tmp/pomiar.txt" ||
  fail "the surveyor could not convert again after the colleague"
[[ $(stat -c '%a %g' "$shared/OBSBIEG") == "664 $group" ]] ||
  fail "after the second conversion OBSBIEG is $(mode_owner)"

# Made read-only by its owner: the colleague's conversion fails and changes nothing.
chmod 644 "$shared/OBSBIEG"
before=$(mode_owner)
if as_user "$colleague" "$tmp/kmx685-convert" -o "$shared/OBSBIEG" "$tmp/pomiar.txt" 2>"$tmp/err"; then
  fail "a read-only OBSBIEG was replaced by a colleague"
fi
grep -q 'brak uprawnień' "$tmp/err" || fail "no 'brak uprawnień' in: $(cat "$tmp/err")"
[[ $(mode_owner) == "$before" ]] || fail "the read-only OBSBIEG changed to $(mode_owner)"
[[ $(ls -A "$shared") == OBSBIEG ]] || fail "files left in the shared folder: $(ls -A "$shared")"

((failures == 0)) && echo "shared-folder-test: passed"
exit $((failures > 0))
