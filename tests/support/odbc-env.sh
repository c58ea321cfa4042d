# Registers the stand-in Access driver for the calling shell:
#   . tests/support/odbc-env.sh build/native
# exports ODBCSYSINI, where unixODBC (natively, and under wine through wine's
# odbc32) finds odbcinst.ini naming the driver "Microsoft Access Driver (*.mdb)".
# The native build must exist (cmake --build build/native builds the shim).
_quorvel_build=${1:-build/native}
_quorvel_dir=$(cd "$_quorvel_build/tests/support" 2>/dev/null && pwd) || {
  echo "odbc-env.sh: $_quorvel_build/tests/support not found; build the native tree first" >&2
  return 1 2>/dev/null || exit 1
}
if [ ! -f "$_quorvel_dir/odbcinst.ini" ]; then
  echo "odbc-env.sh: no odbcinst.ini in $_quorvel_dir; build the native tree first" >&2
  return 1 2>/dev/null || exit 1
fi
export ODBCSYSINI="$_quorvel_dir"
unset _quorvel_build _quorvel_dir
