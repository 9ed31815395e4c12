#!/usr/bin/env python3
"""drape's web page in headless Chromium (SwiftShader WebGL), driven over the
DevTools pipe: the cloth digest after 600 frames equals the native one; the
page shows the white net, lit as the desktop lights it, inside the region the
view puts it in, and turned at a later frame; Escape ends the program and the
page says so; a fault shows in the page, and so does a program that cannot
be loaded; nothing is reported on the console as an error.

Exits 77 (skip) when Emscripten or Chromium is missing."""
import argparse
import base64
import functools
import http.server
import json
import math
import os
import queue
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
W, H = 1920, 1080
CAPTION = 22  # the caption line over the bottom of the canvas
FRAMES = 600
EARLY_FRAMES = 300
CALL_TIMEOUT = float(os.environ.get("ZE_CDP_TIMEOUT", "60"))
EXTRA_FLAGS = os.environ.get("ZE_CHROMIUM_FLAGS", "").split()
GL_FLAGS = os.environ.get("ZE_CHROMIUM_GL", "--use-angle=swiftshader --enable-unsafe-swiftshader").split()


def fail(text):
    print("FAIL: " + text)
    sys.exit(1)


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *args):
        pass


def serve(site):
    """Serves the folder site on a free local port, in a thread of its own;
    returns the server and its address (ending in /)."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f"http://127.0.0.1:{server.server_address[1]}/"


class Chromium:
    """One headless browser and one page, spoken to over --remote-debugging-pipe."""

    def __init__(self, exe, profile, log, size):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        args = [exe, "--headless"] + GL_FLAGS + [
                "--no-sandbox", "--no-first-run", "--hide-scrollbars", "--mute-audio",
                f"--user-data-dir={profile}", f"--window-size={size[0]},{size[1]}",
                "--remote-debugging-pipe"] + EXTRA_FLAGS + ["about:blank"]
        shell = f'exec "$0" "$@" 3<&{to_browser_r} 4>&{from_browser_w}'
        # Headless needs no display; an X server it cannot use would cost it WebGL.
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.proc = subprocess.Popen(["bash", "-c", shell] + args, stdin=subprocess.DEVNULL, env=env,
                                     stdout=log, stderr=log, start_new_session=True,
                                     pass_fds=(to_browser_r, from_browser_w))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.next_id = 0
        self.replies = {}
        self.events = queue.Queue()
        self.cond = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Runtime", "Log", "Page"):
            self.call(domain + ".enable", session=True)
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": size[0], "height": size[1], "deviceScaleFactor": 1, "mobile": False},
                  session=True)

    def _read(self):
        buf = b""
        while True:
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                return
            buf += chunk
            while b"\0" in buf:
                raw, buf = buf.split(b"\0", 1)
                msg = json.loads(raw)
                if "id" in msg:
                    with self.cond:
                        self.replies[msg["id"]] = msg
                        self.cond.notify_all()
                else:
                    self.events.put(msg)

    def call(self, method, params=None, session=False, timeout=CALL_TIMEOUT):
        self.next_id += 1
        msg = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            msg["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(msg).encode() + b"\0")
        with self.cond:
            if not self.cond.wait_for(lambda: self.next_id in self.replies, timeout):
                fail(f"no answer to {method} in {timeout} s")
            reply = self.replies.pop(self.next_id)
        if "error" in reply:
            fail(f"{method}: {reply['error']}")
        return reply["result"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True},
                           session=True)
        return result["result"].get("value")

    def status(self):
        return self.evaluate("(document.getElementById('status') || {}).textContent || ''")

    def wait_status(self, test, timeout):
        end = time.time() + timeout
        while time.time() < end:
            text = self.status()
            if test(text):
                return text
            if text.startswith("error:"):
                fail(f"the page reports {text!r}")
            time.sleep(0.2)
        fail(f"status still {self.status()!r} after {timeout} s")

    def open(self, url):
        self.call("Page.navigate", {"url": url}, session=True)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png"}, session=True)["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def key(self, key, code):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent",
                      {"type": kind, "key": key, "code": key,
                       "windowsVirtualKeyCode": code, "nativeVirtualKeyCode": code},
                      session=True)

    def errors(self):
        found = []
        while not self.events.empty():
            e = self.events.get()
            method, params = e.get("method"), e.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append(params["exceptionDetails"].get("text", "") + " " + str(
                    params["exceptionDetails"].get("exception", {}).get("description", "")))
            elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "assert"):
                found.append(" ".join(str(a.get("value", a.get("description", "")))
                                      for a in params["args"]))
            elif method == "Log.entryAdded" and params["entry"]["level"] == "error":
                found.append(params["entry"].get("text", "") + " " + params["entry"].get("url", ""))
        return found

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
            self.proc.wait(10)
        except (SystemExit, subprocess.TimeoutExpired):
            pass
        # The browser's own processes run in the session it was started in.
        try:
            os.killpg(self.proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.proc.wait()


# Where the cloth can show at any turntable angle in a 1920 x 1080 canvas:
# the standard view (z = 0 on the canvas one unit per pixel, 60 degree
# vertical field of view) of the cloth's model transform translate(800, 600)
# rotate(-35 about x) scale(10), applied to the cylinder of radius 47 about
# the cloth's vertical axis from height 0 to 30 that holds every drawn node.
def project(cx, cy, cz):
    tilt = math.radians(-35.0)
    wx = 800.0 + 10.0 * cx
    wy = 600.0 + 10.0 * (cy * math.cos(tilt) - cz * math.sin(tilt))
    wz = 10.0 * (cy * math.sin(tilt) + cz * math.cos(tilt))
    eye = 0.5 * H / math.tan(math.radians(30.0))
    k = eye / (eye - wz)
    return (0.5 * W + (wx - 0.5 * W) * k, H - (0.5 * H + (wy - 0.5 * H) * k))


def net_region():
    rim = sorted(project(47.0 * math.cos(math.radians(d)), 47.0 * math.sin(math.radians(d)), z)
                 for d in range(360) for z in (0.0, 30.0))

    def cross(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])

    hull = []
    for seq in (rim, rim[::-1]):
        part = []
        for p in seq:
            while len(part) >= 2 and cross(part[-2], part[-1], p) <= 0:
                part.pop()
            part.append(p)
        hull += part[:-1]
    return hull


def row_span(hull, y, margin=3.0):
    """The x range of the region (widened by margin) on the line at height y:
    each hull edge bounds x on one side, the convex region being their meet."""
    lo, hi = -math.inf, math.inf
    for i, a in enumerate(hull):
        b = hull[(i + 1) % len(hull)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        # Inside the edge: dx * (y - ay) - dy * (x - ax) >= -margin * length.
        free = dx * (y - a[1]) + margin * math.hypot(dx, dy)
        if dy > 0:
            hi = min(hi, a[0] + free / dy)
        elif dy < 0:
            lo = max(lo, a[0] + free / dy)
        elif free < 0:
            return math.inf, -math.inf
    return lo, hi


# The colour fixed-function lighting gives the net: the colour (1, 1, 1) as
# ambient and diffuse material under the global ambient 0.2 and light 0 from
# the eye's direction (centre x, centre y, eye distance, 0), lighting the
# current normal (0, 0, 1) turned by the tilt; the turntable leaves it alone.
def lit_grey():
    eye = 0.5 * H / math.tan(math.radians(30.0))
    light = (0.5 * W, 0.5 * H, eye)
    norm = math.sqrt(sum(c * c for c in light))
    normal = (0.0, math.sin(math.radians(35.0)), math.cos(math.radians(35.0)))
    diffuse = max(0.0, sum(n * c / norm for n, c in zip(normal, light)))
    return min(1.0, 0.2 + diffuse) * 255.0


def analyse(png, hull):
    rgb = subprocess.run(["convert", png, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    if len(rgb) != W * H * 3:
        fail(f"{png}: {len(rgb)} bytes, not a {W} x {H} picture")
    net, stray, greys = set(), 0, {}
    for y in range(H - CAPTION):
        row = rgb[y * W * 3:(y + 1) * W * 3]
        if max(row) <= 40:
            continue
        lo, hi = row_span(hull, y + 0.5)
        for x in range(W):
            r, g, b = row[3 * x:3 * x + 3]
            if max(r, g, b) <= 40:
                continue
            if not lo <= x + 0.5 <= hi:
                stray += 1
            elif r == g == b:
                greys[r] = greys.get(r, 0) + 1
                if r >= 200:
                    net.add((x, y))
    return net, stray, greys


SMALL = (320, 240)  # enough for the Escape check


class Session:
    """A Chromium with its own profile, closed and removed on leaving."""

    def __init__(self, exe, out, name, size):
        self.exe, self.size = exe, size
        self.profile = tempfile.mkdtemp(prefix="drape-web-")
        self.log = open(os.path.join(out, f"chromium-{name}.log"), "w")

    def __enter__(self):
        self.browser = Chromium(self.exe, self.profile, self.log, self.size)
        return self.browser

    def __exit__(self, *exc):
        self.browser.close()
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


def check_page_start(browser, url, name):
    """The start-up every page shares, on the page at url: its program runs,
    Escape ends it and the line says so with the page's name for it, nothing
    went wrong on the way, and a fault after that lands in #errors and in the
    line. Leaves the page in its fault."""
    problems = []
    browser.open(url)
    browser.wait_status(lambda s: s == "running", 60)
    time.sleep(1.0)
    browser.key("Escape", 27)
    ended = browser.wait_status(lambda s: s != "running", 30)
    if ended != f"{name} has ended.":
        problems.append(f"{url}: after Escape the status is {ended!r}")
    problems += ["console error: " + text for text in browser.errors()]
    page_errors = browser.evaluate("document.getElementById('errors').textContent")
    if page_errors:
        problems.append(f"{url}: the page recorded errors: {page_errors}")
    browser.evaluate("console.error('probe', 42)")
    recorded = browser.evaluate("document.getElementById('errors').textContent")
    if recorded != "probe 42\n" or browser.status() != "error: probe 42":
        problems.append(f"{url}: a fault shows as {recorded!r} in #errors and {browser.status()!r}")
    browser.errors()  # the probe's own console line
    return problems


def check_program_missing(browser, site):
    """Each page served without its program's script: the page says it could
    not load it instead of staying at its start."""
    problems = []
    folder = tempfile.mkdtemp(prefix="drape-web-bare-")
    for page in ("index.html", "lab.html", "pageStart.js"):
        shutil.copy(os.path.join(site, page), folder)
    server, base = serve(folder)
    for page, script in (("index.html", "drape.js"), ("lab.html", "lab.js")):
        browser.open(base + page)
        end = time.time() + 30
        while time.time() < end and browser.status() in ("", "starting"):
            time.sleep(0.2)
        line = browser.status()
        print(f"{page} without {script}: {line!r}")
        if line != f"error: could not load {script}":
            problems.append(f"{page} without {script} shows {line!r}")
    browser.errors()  # the browser's own lines about the missing script
    server.shutdown()
    shutil.rmtree(folder, ignore_errors=True)
    return problems


def run_pages(chromium, base, out, native):
    """The page at 1920 x 1080 after EARLY_FRAMES and FRAMES frames: the digest
    after FRAMES equals the native one; the white net in the lit colour inside
    its region, and turned between the two."""
    problems = []
    shots = []
    with Session(chromium, out, "page", (W, H)) as browser:
        for frames in (EARLY_FRAMES, FRAMES):
            started = time.time()
            browser.open(f"{base}?frames={frames}")
            line = browser.wait_status(lambda s: s.startswith("cloth digest"), 300)
            print(f"web:    {line} ({time.time() - started:.1f} s)")
            if frames == FRAMES and line != native:
                problems.append(f"digest {line!r} differs from the native {native!r}")
            shots.append(os.path.join(out, f"web-frame{frames}.png"))
            browser.screenshot(shots[-1])
        problems += ["console error: " + text for text in browser.errors()]
    hull = net_region()
    expected = lit_grey()
    masks = []
    for shot in shots:
        net, stray, greys = analyse(shot, hull)
        masks.append(net)
        lit = sum(greys.values())
        near = sum(n for v, n in greys.items() if abs(v - expected) <= 2.0)
        top = max(greys, key=greys.get) if greys else None
        print(f"{os.path.basename(shot)}: {len(net)} net pixels, most common grey {top} "
              f"(lit colour {expected:.1f}), {stray} lit outside the region")
        if len(net) <= 5000:
            problems.append(f"{shot}: only {len(net)} white net pixels in the region")
        if stray:
            problems.append(f"{shot}: {stray} lit pixels outside the region")
        if lit == 0 or near < 0.95 * lit:
            problems.append(f"{shot}: net not in the lit colour {expected:.1f}: {greys}")
    changed = len(masks[0] ^ masks[1])
    print(f"net pixels changed from frame {EARLY_FRAMES} to {FRAMES}: {changed}")
    if changed <= min(len(m) for m in masks) // 10:
        problems.append("the net did not turn")
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--repo", required=True)
    ap.add_argument("--digest-tool", required=True)
    ap.add_argument("--out", required=True)
    opts = ap.parse_args()

    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not shutil.which("emcc") or not chromium:
        print("SKIP: the web page test needs Emscripten (emcc) and Chromium; "
              "bash scripts/build-web.sh installs both")
        return SKIP
    site = os.path.join(opts.repo, "build-web", "site")
    # Brings the site up to date (a no-op build when it is).
    subprocess.run(["bash", os.path.join(opts.repo, "scripts", "build-web.sh")], check=True,
                   stdout=subprocess.DEVNULL)
    os.makedirs(opts.out, exist_ok=True)

    native = subprocess.run([opts.digest_tool, str(FRAMES)], check=True, capture_output=True,
                            text=True).stdout.strip()
    print("native:", native)

    server, base = serve(site)

    started = time.time()
    problems = run_pages(chromium, base, opts.out, native)

    with Session(chromium, opts.out, "escape", SMALL) as browser:
        problems += check_page_start(browser, f"{base}?timers=1", "drape")
        problems += check_program_missing(browser, site)

    server.shutdown()
    print(f"web page test: {time.time() - started:.1f} s")

    for p in problems:
        print("FAIL:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
