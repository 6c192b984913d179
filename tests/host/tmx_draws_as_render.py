#!/usr/bin/env python3
"""Tiled's own renderer draws krt's maps of the bundled cards and of every
entry of the bundled pack exactly as krt renders them: same size, the same
RGB at every dot, every dot opaque. So do the maps of cards 1 and 4 whose
first name draws nothing, a cell the picture leaves as background.

Usage: tmx_draws_as_render.py KRT TMXRASTERIZER SAMPLES_FOLDER
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image


def run(*command, **options):
    subprocess.run(command, check=True, **options)


def main():
    krt, rasterizer, samples = sys.argv[1:4]
    cards = sorted(os.path.join(samples, name) for name in os.listdir(samples)
                   if name.endswith(".2D"))
    pack = os.path.join(samples, "samples.BIN")
    with tempfile.TemporaryDirectory() as folder:
        # Cards whose first name the picture leaves as background: in card 1
        # character 1023 of palette 1 is past the characters; in card 4
        # (256 colours, a 24-bit picture) bit 0 skips the name.
        for card_number, first_name_of in ((0, lambda name: 0x13FF), (3, lambda name: name | 1)):
            with open(cards[card_number], "rb") as file:
                card = bytearray(file.read())
            # The name table's offset is big-endian at header byte 32; its
            # names start 16 bytes in.
            at = int.from_bytes(card[32:36], "big") + 16
            name = first_name_of(int.from_bytes(card[at:at + 2], "big"))
            card[at:at + 2] = name.to_bytes(2, "big")
            cards.append(os.path.join(folder, f"background-{card_number + 1}.2D"))
            with open(cards[-1], "wb") as file:
                file.write(card)
        maps, pictures = os.path.join(folder, "maps/"), os.path.join(folder, "pictures/")
        run(krt, "tmx", "-q", "-o", maps, *cards, pack)
        run(krt, "render", "-q", "-o", pictures, *cards)
        run(krt, "extract", "-q", "--render", "-o", pictures, pack)
        pairs = [(os.path.basename(card)[:-3] + ".tmx", os.path.basename(card)[:-3] + ".png")
                 for card in cards]
        entries = sorted(name for name in os.listdir(pictures) if name[0].isdigit())
        pairs += [("samples-" + name[:-4] + ".tmx", name) for name in entries]
        if len(cards) < 6 or len(entries) < 4:
            sys.exit(f"expected 4 cards and 4 entries, found {len(cards) - 2} and {len(entries)}")
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        failures = 0
        for map_name, picture_name in pairs:
            drawn = os.path.join(folder, map_name + ".png")
            run(rasterizer, "--no-smoothing", os.path.join(maps, map_name), drawn,
                env=environment)
            with Image.open(drawn) as image:
                rgba = image.convert("RGBA")
            with Image.open(os.path.join(pictures, picture_name)) as image:
                want = image.convert("RGB")
            problem = None
            if rgba.size != want.size:
                problem = f"is {rgba.size}, krt's picture {want.size}"
            elif rgba.getchannel("A").getextrema() != (255, 255):
                problem = "has dots that are not opaque"
            else:
                got = rgba.convert("RGB").tobytes()
                expected = want.tobytes()
                if got != expected:
                    first = next(k for k in range(len(got)) if got[k] != expected[k]) // 3
                    problem = f"differs first at dot {first % want.width},{first // want.width}"
            print(f"{map_name}: " + (problem or f"{want.width}x{want.height} dot for dot"))
            failures += problem is not None
        sys.exit(1 if failures else 0)


main()
