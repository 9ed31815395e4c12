#!/usr/bin/env python3
"""The lab page (site/lab.html) in headless Chromium over the DevTools pipe,
with the helpers of the drape page's test: its digests after ?frames=N equal
drapeExplorer --batch N for two sizes and a preset; a drag on the cloth moves
the node under the pointer; a bad address value shows its one line and runs
nothing; the panel holds one control per parameter of the cloth's table, with
its range, and a change there reaches the cloth; a long press pins a node;
the overlay's text shows over the canvas; Escape ends the lab and the page
says so; a fault shows in the page; nothing is reported on the console as an
error.

Exits 77 (skip) when Emscripten or Chromium is missing."""
import argparse
import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from webPageTest import SKIP, Session, check_page_start, serve  # noqa: E402

SIZE = (1280, 720)

# size, preset, frames: the page's line must be the native one.
DIGESTS = [(60, "drape", 600), (128, "drape", 300), (60, "flag", 300), (128, "sphere", 300),
           (128, "pile", 300)]

# A closed box 16 wide and 8 high, served beside the page for ?collider=.
CUBE_OBJ = ("v -8 -8 0\nv 8 -8 0\nv 8 8 0\nv -8 8 0\nv -8 -8 8\nv 8 -8 8\nv 8 8 8\nv -8 8 8\n"
            "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\nf 2 3 7\nf 2 7 6\nf 3 4 8\n"
            "f 3 8 7\nf 4 1 5\nf 4 5 8\n")

# The address, and the line the page shows instead of running.
REFUSED = [
    ("size=abc", "size: 'abc' is not a whole number from 8 to 512"),
    ("preset=silk", "preset: unknown preset 'silk' (one of drape, curtain, flag, hanging, sphere, pile)"),
    ("frames=-1", "frames: '-1' is not a whole number from 0 to 100000000"),
    ("sise=128", "unknown address value 'sise' (size, preset, scene, frames, collider or a parameter of "
                 "drapeExplorer --list-params)"),
    ("stiffness=abc", "stiffness=abc: stiffness takes a number from 1 to 5000"),
    ("scene=missing.json", "scene: missing.json: could not be fetched (404 File not found)"),
    ("collider=missing.obj", "collider: missing.obj: could not be fetched (404 File not found)"),
    ("collider=lab.html", "collider: lab.html: line 1: not OBJ ('<!doctype' begins no OBJ statement)"),
]

NODE = 30 * 60 + 30  # the middle of the 60 x 60 cloth


def node(browser, n):
    return json.loads(browser.evaluate(f"Module.ccall('zeLabNode', 'string', ['number'], [{n}])"))


def lab_state(browser):
    return json.loads(browser.evaluate("Module.ccall('zeLabState', 'string', [], [])"))


def mouse(browser, kind, x, y):
    browser.call("Input.dispatchMouseEvent",
                 {"type": kind, "x": x, "y": y, "button": "left", "buttons": 1 if kind != "mouseReleased" else 0,
                  "clickCount": 1}, session=True)


def check_digests(browser, base, explorer):
    problems = []
    for size, preset, frames in DIGESTS:
        native = subprocess.run([explorer, "--batch", str(frames), "--size", str(size), "--preset", preset],
                                check=True, capture_output=True, text=True).stdout.strip()
        started = time.time()
        browser.open(f"{base}?size={size}&preset={preset}&frames={frames}")
        line = browser.wait_status(lambda s: s.startswith("cloth digest"), 240)
        print(f"{size} {preset}: page {line!r}, native {native!r} ({time.time() - started:.1f} s)")
        if line != native:
            problems.append(f"{size} {preset} {frames}: page {line!r}, native {native!r}")
    return problems


def check_collider(browser, base, explorer, site):
    """A mesh collider fetched beside the page: the page's cloth is the native one's."""
    path = os.path.join(site, "test-cube.obj")
    with open(path, "w") as f:
        f.write(CUBE_OBJ)
    native = subprocess.run([explorer, "--batch", "200", "--size", "32", "--preset", "sphere",
                             "--set", "ball=0", "--collider", path],
                            check=True, capture_output=True, text=True).stdout.strip()
    browser.open(f"{base}?size=32&preset=sphere&ball=0&collider=test-cube.obj&frames=200")
    line = browser.wait_status(lambda s: s.startswith("cloth digest") or "collider" in s, 120)
    print(f"collider: page {line!r}, native {native!r}")
    return [] if line == native else [f"collider: page {line!r}, native {native!r}"]


def check_refused(browser, base):
    problems = []
    for address, expected in REFUSED:
        browser.open(f"{base}?{address}")
        line = browser.wait_status(lambda s: s not in ("", "starting"), 60)
        time.sleep(1.0)  # long enough for a program that had started to show a frame
        ran = browser.evaluate("!!(window.Module && Module.calledRun && "
                               "Module.ccall('zeLabState', 'string', [], []) !== '{}')")
        print(f"?{address}: {line!r}")
        if line != expected or browser.status() != expected:
            problems.append(f"?{address}: the page shows {browser.status()!r}, not {expected!r}")
        if ran:
            problems.append(f"?{address}: the lab ran")
    return problems


def check_drag(browser, base):
    """Grabs the middle node once the cloth has landed and drags it 150
    pixels up: it follows the pointer, held, and is let go at the release."""
    browser.open(f"{base}?timers=1")
    browser.wait_status(lambda s: s == "running", 60)
    end = time.time() + 120
    while lab_state(browser).get("frame", 0) < 150 and time.time() < end:
        time.sleep(0.5)
    browser.call("Runtime.evaluate", {"expression": "Module.ccall('zeLabSet', 'number', "
                                      "['string', 'number'], ['autoTurn', 0])"}, session=True)
    time.sleep(0.5)
    before = node(browser, NODE)
    x, y = before["window"]
    mouse(browser, "mousePressed", x, y)
    for k in range(1, 16):
        mouse(browser, "mouseMoved", x, y - 10 * k)
        time.sleep(0.05)
    time.sleep(1.0)
    held = node(browser, NODE)
    mouse(browser, "mouseReleased", x, y - 150)
    time.sleep(0.5)
    after = node(browser, NODE)
    moved = sum((a - b) ** 2 for a, b in zip(held["position"], before["position"])) ** 0.5
    off = abs(held["window"][0] - x) + abs(held["window"][1] - (y - 150))
    print(f"drag: node {NODE} moved {moved:.2f} units, {off:.1f} px from the pointer, "
          f"held pinned {held['pinned']}, pinned after the release {after['pinned']}")
    problems = []
    if moved < 5.0 or off > 3.0:
        problems.append(f"the dragged node moved {moved:.2f} units and is {off:.1f} px from the pointer")
    if not held["pinned"] or after["pinned"]:
        problems.append("the node was not held while dragged, or stayed held after the release")
    return problems


def check_panel_and_pin(browser, base):
    problems = []
    browser.open(f"{base}?timers=1")
    browser.wait_status(lambda s: s == "running", 60)
    time.sleep(1.0)
    browser.key("Tab", 9)
    time.sleep(0.5)
    table = json.loads(browser.evaluate("Module.ccall('zeLabDescribe', 'string', [], [])"))["params"]
    shown = browser.evaluate("Array.from(document.querySelectorAll('#params input')).map("
                             "i => [i.name, i.type, i.min, i.max])")
    def bound(p, value):  # logarithmic sliders run over a thousand positions
        return "" if p["kind"] == "flag" else str(value).removesuffix(".0")
    wanted = [[p["name"], "checkbox" if p["kind"] == "flag" else "range",
               bound(p, 0 if p["logarithmic"] else p["least"]),
               bound(p, 1000 if p["logarithmic"] else p["most"])]
              for p in table if p["kind"] != "choice"]
    if shown != wanted or browser.evaluate("document.getElementById('panel').hidden"):
        problems.append(f"the panel shows {shown}, not the table's {wanted}")
    # A choice is a list of its value names, and picking one reaches the cloth.
    choices = browser.evaluate("Array.from(document.querySelectorAll('#params select')).map("
                               "s => [s.name, Array.from(s.options).map(o => o.text)])")
    if choices != [[p["name"], p["choices"]] for p in table if p["kind"] == "choice"]:
        problems.append(f"the panel's lists are {choices}")
    browser.evaluate("(s => { s.value = '1'; s.dispatchEvent(new Event('change')); })"
                     "(document.querySelector('#params select[name=solver]'))")
    if lab_state(browser)["values"]["solver"] != 1:
        problems.append("the solver list did not reach the cloth")
    browser.evaluate("(i => { i.value = 500; i.dispatchEvent(new Event('input')); })"
                     "(document.querySelector('#params input[name=bendCompliance]'))")
    bend = lab_state(browser)["values"]["bendCompliance"]
    if not 1e-5 < bend < 1e-4:  # halfway over nine powers of ten from a billionth
        problems.append(f"the bending compliance slider gave {bend}")
    browser.evaluate("(i => { i.value = 123.5; i.dispatchEvent(new Event('input')); })"
                     "(document.querySelector('#params input[name=gravity]'))")
    if lab_state(browser)["values"]["gravity"] != 123.5:
        problems.append("the gravity slider did not reach the cloth")
    text = browser.evaluate("Array.from(document.querySelectorAll('span')).map(s => s.textContent).join('|')")
    if "fps" not in text or "frame " not in text:
        problems.append(f"the overlay's text is not over the canvas: {text!r}")
    # A long press on a node of the paused cloth pins it.
    browser.evaluate("Module.ccall('zeLabSet', 'number', ['string', 'number'], ['paused', 1])")
    time.sleep(0.3)
    x, y = node(browser, NODE)["window"]
    mouse(browser, "mousePressed", x, y)
    time.sleep(0.9)
    mouse(browser, "mouseReleased", x, y)
    time.sleep(0.3)
    pinned = node(browser, NODE)["pinned"]
    print(f"panel: {len(shown)} controls; long press pinned node {NODE}: {pinned}")
    if not pinned:
        problems.append("a long press did not pin the node")
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--repo", required=True)
    ap.add_argument("--explorer", required=True)
    ap.add_argument("--out", required=True)
    opts = ap.parse_args()

    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not shutil.which("emcc") or not chromium:
        print("SKIP: the lab page test needs Emscripten (emcc) and Chromium; "
              "bash scripts/build-web.sh installs both")
        return SKIP
    subprocess.run(["bash", os.path.join(opts.repo, "scripts", "build-web.sh")], check=True,
                   stdout=subprocess.DEVNULL)
    os.makedirs(opts.out, exist_ok=True)
    site = os.path.join(opts.repo, "build-web", "site")
    server, base = serve(site)
    base += "lab.html"

    started = time.time()
    with Session(chromium, opts.out, "lab", SIZE) as browser:
        problems = check_digests(browser, base, opts.explorer)
        problems += check_collider(browser, base, opts.explorer, site)
        problems += check_refused(browser, base)
        problems += check_drag(browser, base)
        problems += check_panel_and_pin(browser, base)
        # A missing scene is reported by the page itself, not as a console error.
        problems += ["console error: " + e for e in browser.errors()
                     if "missing.json" not in e and "missing.obj" not in e]
        problems += check_page_start(browser, f"{base}?timers=1", "the lab")
    server.shutdown()
    print(f"lab page test: {time.time() - started:.1f} s")
    for p in problems:
        print("FAIL:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
