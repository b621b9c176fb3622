#!/usr/bin/env bash
# A set-up step that fails names itself, its command and its output, and ends
# the script with the step's exit status; one that succeeds prints nothing.
set -uo pipefail
source "$(dirname "$0")/../../scripts/step.sh"
fail() { echo "FAILED: $*" >&2; exit 1; }

quiet="$( (run_step "a step that works" sh -c 'echo hidden output') 2>&1)" || fail "a working step ended the script"
[ -z "$quiet" ] || fail "a working step printed: $quiet"

report="$( (run_step "create the prefix" sh -c 'echo "exec format error here" >&2; exit 126'; echo "not reached") 2>&1)"
status=$?
[ "$status" = 126 ] || fail "exit status $status, not the step's 126"
for expected in "set-up step failed: create the prefix" "command: 'sh' '-c'" "exec format error here"; do
  case "$report" in *"$expected"*) ;; *) fail "the report lacks '$expected': $report" ;; esac
done
case "$report" in *"not reached"*) fail "the script went on after the failed step" ;; esac
echo "set-up steps: a failure is reported and ends the script"
