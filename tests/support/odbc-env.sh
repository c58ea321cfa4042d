# Registers the stand-in Access driver for the calling shell:
#   . tests/support/odbc-env.sh build/native
# exports ODBCSYSINI, where unixODBC (natively, and under wine through wine's
# odbc32) finds odbcinst.ini naming the driver "Microsoft Access Driver (*.mdb)".
# The native build must exist (cmake --build build/native builds the shim).
_quorvel_ini=${1:-build/native}/tests/support/odbcinst.ini
if [ ! -f "$_quorvel_ini" ]; then
  echo "odbc-env.sh: no $_quorvel_ini; build the native tree first" >&2
  return 1 2>/dev/null || exit 1
fi
ODBCSYSINI=$(cd "$(dirname "$_quorvel_ini")" && pwd)
export ODBCSYSINI
unset _quorvel_ini
