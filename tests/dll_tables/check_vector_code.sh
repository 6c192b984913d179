#!/usr/bin/env bash
# Checks that IFKRT runs no SSE instruction unless it chose the vector path:
# - no object of the plug-in but the vector drawing unit holds one;
# - that unit defines no symbol the linker could take for another unit's
#   (an inline function compiled there with SSE2) but its entry point;
# - in the linked DLL, every function holding one comes from that unit.
# Usage: check_vector_code.sh OBJDUMP NM DLL "OBJECT;OBJECT;..."
set -euo pipefail
objdump=$1 nm=$2 dll=$3
IFS=';' read -r -a objects <<<"$4"

# Registers and instructions that exist only from MMX and SSE on.
vector_code='%[xyz]mm[0-9]|%mm[0-7]|[[:space:]](movnti|[lms]fence|clflush|prefetch[a-z0-9]*)[[:space:]]'

# Prints "<function> instruction" for each vector instruction of a
# disassembly.
vector_instructions() {
  "$objdump" -d --no-show-raw-insn "$1" |
    awk -v pattern="$vector_code" '/^[0-9a-f]+ <.*>:$/ {name = substr($2, 1, length($2) - 1)}
                                   $0 ~ pattern {print name " " $0}'
}

status=0
vector_object=
for object in "${objects[@]}"; do
  if [[ $object == *draw_sse2* ]]; then
    vector_object=$object
    continue
  fi
  found=$(vector_instructions "$object")
  if [ -n "$found" ]; then
    echo "$object holds vector instructions outside the vector unit, e.g.:"
    sed 3q <<<"$found"
    status=1
  fi
done
if [ -z "$vector_object" ]; then
  echo "no vector drawing unit among the objects"
  exit 1
fi
if [ -z "$(vector_instructions "$vector_object")" ]; then
  echo "$vector_object holds no vector instruction: the check would prove nothing"
  status=1
fi

exported=$("$nm" --defined-only -g "$vector_object" | awk '{print $3}' | grep -v VectorNameDrawer || true)
if [ -n "$exported" ]; then
  echo "$vector_object defines symbols other units could be linked to:"
  echo "$exported"
  status=1
fi

own=$("$nm" --defined-only "$vector_object" | awk '{print "<" $3 ">"}' | sort -u)
outside=$(vector_instructions "$dll" | cut -d' ' -f1 | sort -u | comm -23 - <(printf '%s\n' "$own"))
if [ -n "$outside" ]; then
  echo "$dll has vector instructions in functions not from the vector unit:"
  echo "$outside"
  status=1
fi

[ "$status" -eq 0 ] && echo "$dll: vector instructions only in the vector drawing unit"
exit "$status"
