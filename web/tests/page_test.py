#!/usr/bin/python3
"""The page in headless Chromium: every bundled card, and every entry of the
bundled pack, opened through input#open and shown dot for dot as krt renders
it; a damaged file named in #message with the page still working after it; a
screenshot in the output folder; and the time a 1,000-screen pack of the
cards takes from opening to its thumbnails shown."""
import argparse
import base64
import pathlib
import subprocess
import sys
import time

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

ROOT = pathlib.Path(__file__).resolve().parents[2]
CARDS = ["card1-16-colours.2D", "card2-palette-regions.2D", "card3-256-colours-16-dot.2D",
         "card4-three-palettes.2D"]
CANVAS_DOTS = """const c = document.querySelector(arguments[0]);
const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
let s = ''; for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
return [c.width, c.height, btoa(s)];"""


def expected_pictures(krt, samples, out):
    """krt's PNG files of the cards and of the pack's entries, as RGB."""
    run = lambda command, *a: subprocess.run([krt, command, "--quiet", *a], check=True)
    run("render", *(str(samples / c) for c in CARDS), "-o", f"{out}/")
    run("extract", "--render", "-o", str(out / "pack"), str(samples / "samples.BIN"))
    load = lambda p: Image.open(p).convert("RGB")
    cards = {c: load(out / c.replace(".2D", ".png")) for c in CARDS}
    entries = {f"{k:03d}.2D": load(out / "pack" / f"{k:03d}.png") for k in range(len(CARDS))}
    return cards, entries


def main():
    parser = argparse.ArgumentParser()
    for option in ("--site", "--krt", "--samples", "--out"):
        parser.add_argument(option, type=pathlib.Path, required=True)
    args = parser.parse_args()
    if not args.krt.is_file():
        sys.exit(f"no krt at {args.krt}: build the native preset first")
    args.out.mkdir(parents=True, exist_ok=True)
    cards, entries = expected_pictures(args.krt, args.samples, args.out / "expected")

    server = subprocess.Popen([ROOT / "tools/serve-web", "--port", "0", args.site],
                              stdout=subprocess.PIPE, text=True)
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                 "--window-size=1400,1000"):
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)
            print("FAILED:", what)

    def wait(predicate, what, seconds=30):
        try:
            return WebDriverWait(driver, seconds).until(lambda d: predicate())
        except Exception:
            check(False, f"timed out waiting for {what}")

    def open_files(*paths):
        driver.find_element(By.ID, "open").send_keys("\n".join(str(p) for p in paths))

    def text(selector):
        return driver.find_element(By.CSS_SELECTOR, selector).text

    def same_dots(title, expected):
        width, height, dots = driver.execute_script(CANVAS_DOTS, "#picture")
        check((width, height) == expected.size, f"{title}: canvas {width}x{height}, krt {expected.size}")
        check(base64.b64decode(dots) == expected.tobytes(), f"{title}: dots differ from krt's picture")
        info = text("#info")
        check(f"{width} × {height}" in info and "-bit" in info, f"{title}: #info says {info!r}")

    try:
        driver.get(server.stdout.readline().strip())
        for card, expected in cards.items():
            open_files(args.samples / card)
            wait(lambda: text("#info").startswith(card), f"{card} shown")
            same_dots(card, expected)

        open_files(args.samples / "samples.BIN")
        wait(lambda: len(driver.find_elements(By.CSS_SELECTOR, ".entry")) == len(entries), "the pack's entries")
        for name, expected in entries.items():
            driver.find_element(By.CSS_SELECTOR, f'.entry[data-name="{name}"]').click()
            wait(lambda: text("#info").startswith(f"samples.BIN, {name}"), f"entry {name} shown")
            same_dots(f"samples.BIN {name}", expected)
        driver.save_screenshot(str(args.out / "page.png"))

        damaged = args.out / "damaged.2D"
        damaged.write_bytes((args.samples / CARDS[2]).read_bytes()[:3000])
        open_files(damaged)
        wait(lambda: text("#message").startswith("damaged.2D: "), "a message naming damaged.2D")
        open_files(args.samples / CARDS[0])
        wait(lambda: text("#info").startswith(CARDS[0]), "a card shown after the damaged file")
        same_dots(f"{CARDS[0]} after damaged.2D", cards[CARDS[0]])

        # The cards again and again, after the 4-byte gap the bundled pack has.
        pack = args.out / "cards-1000.BIN"
        bytes_of_cards = b"".join((args.samples / c).read_bytes() for c in CARDS)
        pack.write_bytes(b"\xee" * 4 + bytes_of_cards * 250)
        open_files(pack)
        wait(lambda: text("#pack-title").startswith(pack.name), "cards-1000.BIN listed")
        shown_ms = wait(lambda: driver.find_element(By.ID, "grid").get_attribute("data-shown-ms"),
                        "the 1,000 thumbnails", seconds=120)
        count = len(driver.find_elements(By.CSS_SELECTOR, ".entry"))
        check(count == 1000, f"cards-1000.BIN: {count} entries shown")
        blank = driver.execute_script("return [...document.querySelectorAll('.entry canvas')]"
                                      ".filter(c => c.width === 0).length")
        check(blank == 0, f"cards-1000.BIN: {blank} thumbnails not drawn")
        print(f"cards-1000.BIN: {count} thumbnails shown {float(shown_ms or 'nan'):.0f} ms after opening")
        driver.save_screenshot(str(args.out / "page-1000.png"))
    finally:
        driver.quit()
        server.terminate()
        server.wait()
    print(f"screenshots: {args.out / 'page.png'}, {args.out / 'page-1000.png'}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
