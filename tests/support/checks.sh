# The checks of the shell test scripts: `check DESCRIPTION COMMAND...` runs
# the command and prints "ok:" or "FAILED:" with the description; after the
# last one, `finish_checks` exits 1 when any failed. Sourced, not run.
failures=0
check() {
  local description=$1
  shift
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description"; failures=$((failures + 1)); fi
}
finish_checks() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
}
