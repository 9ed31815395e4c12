#!/usr/bin/env python3
"""docs/web-lab.png: the lab page in headless Chromium, the flag preset
after some seconds with the panel open and the net over the surface.
  python3 scripts/web-lab-picture.py [OUT]   (builds the site first)"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(repo, "tests", "web"))
from webPageTest import Session, serve  # noqa: E402

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(repo, "docs", "web-lab.png")
subprocess.run(["bash", os.path.join(repo, "scripts", "build-web.sh")], check=True,
               stdout=subprocess.DEVNULL)
site = os.path.join(repo, "build-web", "site")
server, base = serve(site)
logs = tempfile.mkdtemp(prefix="web-lab-picture-")
with Session(shutil.which("chromium") or shutil.which("chromium-browser"), logs, "picture",
             (1280, 720)) as browser:
    browser.open(f"{base}lab.html?preset=flag&timers=1")
    browser.wait_status(lambda s: s == "running", 60)
    time.sleep(8)
    browser.key("Tab", 9)
    browser.key("n", 78)
    time.sleep(1)
    browser.screenshot(out)
shutil.rmtree(logs, ignore_errors=True)
print("wrote", out)
