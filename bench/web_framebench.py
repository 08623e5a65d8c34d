#!/usr/bin/env python3
"""web_framebench.py -- what a drawn frame of the web page costs in headless
Chromium's software WebGL (SwiftShader), beside the desktop's framebench on
Mesa's llvmpipe, in one run. Figures only: nothing here fails on a time.

  python3 bench/web_framebench.py [--frames N] [--site DIR ...] [--desktop PATH]

Each --site (default build-web/site) is a built page; give two (a build of
the commit before a change, then this one) to compare them side by side. In
each, in turn, --rounds times (the medians of the rounds are shown, so a
machine shared with other work disturbs all of them alike), the game
starts with seed 1 at 500x500 (the test page, with a script of one frame), and for each camera `webFrames(1)` runs a drawn frame and a
one-pixel readPixels waits for its picture: the whole frame, then the same
with WebGL's bufferData, drawArrays and drawElements made no-ops (the
layer's own work and the calls into WebGL, nothing filled), and the same without waiting for
the picture (the page's own thread alone: the game, the layer and the calls
into WebGL). Cameras: surveillance as it starts,
chase with fire held (bullets in flight), the overhead map. Prints the
medians in milliseconds as a Markdown table.
"""

import argparse
import functools
import http.server
import os
import statistics
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
from web_test import Browser  # noqa: E402

# Camera keys as webKey takes them (character codes), and the frames run
# before measuring: & surveillance, e-acute chase, F5 (special 5) the map.
CAMERAS = [("surveillance, as it starts", None, False, 0),
           ("chase, fire held", (233, 0), True, 60),
           ("overhead map", (5, 1), False, 10)]

MEASURE = """(function (frames, stub, wait, run) {
  var gl = Module.canvas.getContext('webgl'), pixel = new Uint8Array(4), times = [];
  var kept = [gl.bufferData, gl.drawArrays, gl.drawElements];
  if (stub) { gl.bufferData = gl.drawArrays = gl.drawElements = function () {}; }
  for (var i = 0; i < frames; i++) {
    var t = performance.now();
    Module._webFrames(run);
    if (wait) gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
    times.push(performance.now() - t);
  }
  gl.bufferData = kept[0]; gl.drawArrays = kept[1]; gl.drawElements = kept[2];
  times.sort(function (a, b) { return a - b; });
  return times[times.length >> 1];
})(%d, %s, %s, %d)"""

# What each cell measures: (fills stubbed, picture waited for, frames a call).
KINDS = [(False, True, 1), (True, True, 1), (True, False, 1)]


def cpu_seconds(root):
    """Processor time (user and system) used so far by process `root` and
    all of its descendants: for Chromium, its renderer and its GPU process,
    where SwiftShader's threads run."""
    parents, times = {}, {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        parents[int(entry)] = int(fields[1])
        times[int(entry)] = int(fields[11]) + int(fields[12])
    total, tree, grew = 0, {root}, True
    while grew:
        grew = False
        for pid, parent in parents.items():
            if parent in tree and pid not in tree:
                tree.add(pid)
                grew = True
    for pid in tree:
        total += times.get(pid, 0)
    return total / os.sysconf("SC_CLK_TCK")


def serve(site):
    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=site)
    handler.log_message = lambda *args: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def page_figures(browser, site, frames):
    """{camera: (whole, stubbed)} medians in ms for one built page."""
    server, base = serve(site)
    browser.open(base + "index.html?script=data:text/plain,x1&seed=1")
    state = browser.wait_for("document.body && document.body.dataset.state !== 'loading'"
                             " && document.body.dataset.state")
    if state != "done":
        raise RuntimeError("the page did not start: " + str(state))
    figures = {}
    for name, key, fire, before in CAMERAS:
        if key:  # pressed for one frame, as a player taps it
            browser.js("Module._webKey(1, %d, %d); Module._webFrames(1);"
                       " Module._webKey(0, %d, %d)" % (key + key))
        browser.js("Module._webKey(%d, 32, 0); Module._webFrames(%d)" % (fire, max(before, 1)))
        cells = []
        for stub, wait, run in KINDS:
            before = cpu_seconds(browser.proc.pid)
            cells.append(browser.js(MEASURE % (frames, "true" if stub else "false",
                                               "true" if wait else "false", run)))
            if not stub:  # the whole frame: also Chromium's processor time a frame
                cpu = (cpu_seconds(browser.proc.pid) - before) * 1000 / frames
        figures[name] = cells + [cpu]
    server.shutdown()
    return figures


def desktop_figures(framebench, frames):
    """framebench's medians (ms) of its scenes a, b, c under Xvfb and llvmpipe."""
    env = dict(os.environ, LIBGL_ALWAYS_SOFTWARE="1", GALLIUM_DRIVER="llvmpipe")
    out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", framebench,
                          "--frames", str(frames), "--warmup", "10"],
                         env=env, capture_output=True, text=True, check=True).stdout
    medians = {}
    for line in out.splitlines():  # "a  scene  frames median mean min p90 budget%"
        fields = line.split()
        if fields and fields[0] in ("a", "b", "c") and fields[-1].endswith("%"):
            medians.setdefault(fields[0], float(fields[-5]))  # the first: default drawing
    return [medians.get(k, float("nan")) for k in "abc"], out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--frames", type=int, default=30)
    parser.add_argument("--rounds", type=int, default=3,
                        help="the pages measured in turn this many times (medians of the rounds)")
    parser.add_argument("--site", action="append")
    parser.add_argument("--desktop", default=os.path.join(ROOT, "build", "bench", "framebench"))
    args = parser.parse_args()
    sites = args.site or [os.path.join(ROOT, "build-web", "site")]
    desktop, raw = desktop_figures(args.desktop, args.frames * 3)
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(profile)
        try:
            rounds = [[page_figures(browser, site, args.frames) for site in sites]
                      for _ in range(args.rounds)]
            pages = [{name: [statistics.median(r[i][name][k] for r in rounds)
                             for k in range(len(KINDS) + 1)]
                      for name, _, _, _ in CAMERAS} for i in range(len(sites))]
        finally:
            browser.close()
    print("| Camera | Desktop (llvmpipe) | Page | Whole frame | Fills stubbed | Fills stubbed,"
          " picture not waited for | Whole frame, Chromium's processor time |")
    print("|---" * 7 + "|")
    for i, (name, _, _, _) in enumerate(CAMERAS):
        for site, figures in zip(sites, pages):
            print("| %s | %.1f ms | %s | %.1f ms | %.2f ms | %.2f ms | %.1f ms |"
                  % ((name, desktop[i], os.path.relpath(site, ROOT)) + tuple(figures[name])))
    print("\nframebench said:\n" + raw)


if __name__ == "__main__":
    main()
