#!/bin/sh
# check_types_and_thumbnail.sh THUMBNAILER SAMPLES WORK: the content types
# GIO gives a card named without extension and the sample pack, then the
# thumbnailer's Exec line run as a file manager runs it, for 48 dots.
set -eu
entry=$1 samples=$2 work=$3
fail() { echo "FAILED: $*" >&2; exit 1; }

card=$(ls "$samples"/*.2D | head -n 1)
cp "$card" "$work/a-card-without-extension"
type_of() { gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'; }
[ "$(type_of "$work/a-card-without-extension")" = image/x-krt-screen ] || fail "card: $(type_of "$work/a-card-without-extension")"
[ "$(type_of "$samples/samples.BIN")" = image/x-krt-screen-pack ] || fail "pack: $(type_of "$samples/samples.BIN")"

exec_line=$(sed -n 's/^Exec=//p' "$entry")
for input in "$work/a-card-without-extension" "$samples/samples.BIN"; do
  rm -f "$work/thumbnail.png"
  command=$(printf '%s\n' "$exec_line" | sed -e "s|%s|48|" -e "s|%u|file://$input|" \
    -e "s|%i|$input|" -e "s|%o|$work/thumbnail.png|")
  sh -c "$command" || fail "$command"
  # The PNG header's width and height, big-endian at bytes 16 and 20.
  size=$(od -An -tu1 -j16 -N8 "$work/thumbnail.png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  set -- $size
  [ "$1" -ge 1 ] && [ "$1" -le 48 ] && [ "$2" -ge 1 ] && [ "$2" -le 48 ] || fail "$input: thumbnail of $size"
  echo "$input: image/x-krt-* thumbnail $1 x $2"
done
