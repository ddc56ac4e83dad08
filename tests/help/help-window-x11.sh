#!/usr/bin/env bash
# The help window's Qt test on a real X server of its own, where key presses,
# wheel clicks and resizing come from the X server as they do for a user:
# bare, or with --wm=openbox under a window manager.
#
#   help-window-x11.sh <help_window_x11_tests> [--wm=openbox]
set -euo pipefail
export LC_ALL=C.UTF-8

test_program=${1:?usage: help-window-x11.sh <help_window_x11_tests> [--wm=openbox]}
shift
xvfb_lib_name=help-window-x11
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
xvfb_lib_require Xvfb xdotool xprop

tmp=$(mktemp -d)
trap 'xvfb_lib_cleanup; rm -rf "$tmp"' EXIT
xvfb_start "$tmp"
wm_from_args "$tmp" "$@"
QT_QPA_PLATFORM=xcb "$test_program" || { cat "$tmp"/*.log >&2 2>/dev/null; exit 1; }
