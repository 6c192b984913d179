#!/usr/bin/env bash
# Reads a built plug-in DLL's export and import tables and compares them with
# what a host relies on: exactly the expected names at the expected ordinals,
# undecorated, imports from Windows system DLLs only, and the file's name.
# Usage: check_dll_tables.sh OBJDUMP DLL EXPECTED_EXPORTS SUFFIX
set -euo pipefail
objdump=$1 dll=$2 expected=$3 suffix=$4

tables=$("$objdump" -p "$dll")

base=$(awk '/^Ordinal Base/ {print $3; exit}' <<<"$tables")
# Lines of the form "[   N] Name" after the name table's heading; the
# ordinal is N plus the ordinal base.
exports=$(awk -v base="$base" '
  /^\[Ordinal\/Name Pointer\] Table/ {inside = 1; next}
  inside && /^\t\[ *[0-9]+\]/ {gsub(/[\[\]]/, " "); print $1 + base, $2; next}
  inside {inside = 0}
' <<<"$tables" | sort -n)

status=0
if [ "$exports" != "$(sort -n "$expected")" ]; then
  echo "export table of $dll differs from $expected:"
  diff <(sort -n "$expected") <(printf '%s\n' "$exports") || true
  status=1
fi

allowed='^(KERNEL32|USER32|msvcrt)\.dll$'
while read -r name; do
  if ! grep -qiE "$allowed" <<<"$name"; then
    echo "$dll imports $name, which is not a Windows system DLL"
    status=1
  fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$tables")

# Some hosts load only files ending in ".spi" (".sph" when 64-bit), compared
# case-sensitively.
[ "$(basename "$dll")" = "$(basename "$expected" .exports)$suffix" ] || {
  echo "$dll is not named after its plug-in with the extension $suffix"; status=1; }

[ "$status" -eq 0 ] && echo "$dll: exports and imports as expected"
exit "$status"
