# Sourced: run_step NAME COMMAND... runs one set-up step with its output kept
# aside. When the step fails it prints which step failed, the command and the
# end of its output, and ends the script with the step's exit status.
run_step() {
  local name="$1" status=0 log
  shift
  log="$(mktemp "${TMPDIR:-/tmp}/parvane-step.XXXXXX")"
  "$@" >"$log" 2>&1 </dev/null || status=$?
  if [ "$status" != 0 ]; then
    {
      echo "set-up step failed: $name (exit status $status)"
      echo "command: ${*@Q}"
      echo "its output (last 80 lines; all of it in $log):"
      tail -n 80 "$log" | sed 's/^/  | /'
    } >&2
    exit "$status"
  fi
  rm -f "$log"
}
