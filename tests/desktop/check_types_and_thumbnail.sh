#!/bin/sh
# check_types_and_thumbnail.sh THUMBNAILER SAMPLES WORK: GIO's content types
# for a card named without extension and for the sample pack, then the
# thumbnailer's Exec line run on each as a file manager runs it, for 48 dots.
set -eu
fail() { echo "FAILED: $*" >&2; exit 1; }
cp "$(ls "$2"/*.2D | head -n 1)" "$3/card"
for pair in "$3/card image/x-krt-screen" "$2/samples.BIN image/x-krt-screen-pack"; do
  set -- "$1" "$2" "$3" $pair
  type=$(gio info -a standard::content-type "$4" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = "$5" ] || fail "$4 is $type"
  rm -f "$3/thumbnail.png"
  sh -c "$(sed -n 's/^Exec=//p' "$1" | sed -e "s|%s|48|" -e "s|%u|file://$4|" -e "s|%i|$4|" -e "s|%o|$3/thumbnail.png|")"
  # The PNG's width and height: big-endian words at bytes 16 and 20.
  fit=$(od -An -tu1 -j16 -N8 "$3/thumbnail.png" | awk '{w = $1*16777216 + $2*65536 + $3*256 + $4
    h = $5*16777216 + $6*65536 + $7*256 + $8; print (w >= 1 && w <= 48 && h >= 1 && h <= 48) ? "fits" : w "x" h}')
  [ "$fit" = fits ] || fail "$4: a thumbnail of $fit"
done
