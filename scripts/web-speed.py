#!/usr/bin/env python3
"""Frames per second of the browser pages in headless Chromium (SwiftShader
WebGL), in one browser: drape's page, the lab page at the sizes given (its
surface look) and the lab at 60 in the net look (drape's picture). Each page
runs on the browser's animation frames, at most 60 a second, or as fast as
they come with --unthrottled; its frames are counted over SECONDS after a
warm-up, RUNS times, pages taking turns, and the median is reported, with
the lab at 60 over drape's page as ratios.
  python3 scripts/web-speed.py [--sizes 60,128,256] [--runs 3] [--seconds 8]
                               [--window 1280x720] [--unthrottled]
Builds the site first (bash scripts/build-web.sh)."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(repo, "tests", "web"))
# Read by the test's browser helper when it is imported.
if "--unthrottled" in sys.argv:
    os.environ["ZE_CHROMIUM_FLAGS"] = "--disable-gpu-vsync --disable-frame-rate-limit"
from webPageTest import Session, serve  # noqa: E402

# Counts the page's animation frames from its first script on.
COUNTER = """
window.zeFrames = 0;
(function () {
  var raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = function (callback) {
    return raf(function (t) { window.zeFrames++; callback(t); });
  };
})();
"""


NET_LOOK = "Module.ccall('zeLabSet', 'number', ['string', 'number'], ['look', 2])"


def rate(browser, url, setup, warmup, seconds):
    browser.open(url)
    browser.wait_status(lambda s: s == "running", 120)
    if setup:
        browser.evaluate(setup)
    time.sleep(warmup)
    f0, t0 = browser.evaluate("window.zeFrames"), time.time()
    time.sleep(seconds)
    f1, t1 = browser.evaluate("window.zeFrames"), time.time()
    return (f1 - f0) / (t1 - t0)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sizes", default="60,128,256")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--seconds", type=float, default=8.0)
    ap.add_argument("--warmup", type=float, default=3.0)
    ap.add_argument("--window", default="1280x720")
    ap.add_argument("--unthrottled", action="store_true")
    opts = ap.parse_args()
    subprocess.run(["bash", os.path.join(repo, "scripts", "build-web.sh")], check=True,
                   stdout=subprocess.DEVNULL)
    site = os.path.join(repo, "build-web", "site")
    server, base = serve(site)
    pages = [("drape page", base + "index.html", None)] + [
        (f"lab page {n} x {n}", f"{base}lab.html?size={n}", None) for n in opts.sizes.split(",")]
    pages.append(("lab page 60 x 60, net", f"{base}lab.html?size=60", NET_LOOK))
    size = tuple(int(v) for v in opts.window.split("x"))
    found = {name: [] for name, _, _ in pages}
    out = tempfile.mkdtemp(prefix="web-speed-")
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    with Session(chromium, out, "speed", size) as browser:
        browser.call("Page.addScriptToEvaluateOnNewDocument", {"source": COUNTER}, session=True)
        for _ in range(opts.runs):
            for name, url, setup in pages:
                found[name].append(rate(browser, url, setup, opts.warmup, opts.seconds))
    shutil.rmtree(out, ignore_errors=True)
    print(f"headless Chromium, SwiftShader, {opts.window}, "
          f"{'unthrottled' if opts.unthrottled else 'animation frames'}, median of {opts.runs} "
          f"runs of {opts.seconds:g} s")
    medians = {name: statistics.median(v) for name, v in found.items()}
    for name, _, _ in pages:
        print(f"{name:>22}: {medians[name]:6.1f} fps   ({', '.join(f'{v:.1f}' for v in found[name])})")
    for lab in ("lab page 60 x 60", "lab page 60 x 60, net"):
        if lab in medians:
            print(f"{lab} / drape page: {medians[lab] / medians['drape page']:.2f}")


if __name__ == "__main__":
    main()
