#!/usr/bin/env python3
"""web_test.py -- the web build in headless Chromium, driven over the
DevTools protocol on a pipe (no extra packages): every key script's trace
against the kept one, the kept shots against the kept pictures, real key
events in the player's page, the frame pacing, and real touch events on an
emulated phone.

  python3 tests/web/web_test.py [--pngdiff PATH] [--out DIR]

Needs build-web/site (bash scripts/web.sh) and pngdiff from the desktop
build (build/tests/golden/pngdiff). Exit status 0 when everything passed.
"""

import argparse
import base64
import functools
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SITE = os.path.join(ROOT, "build-web", "site")
SCRIPTS = os.path.join(ROOT, "tools", "scripts")
GOLDEN = os.path.join(ROOT, "tests", "golden")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


class Handler(http.server.SimpleHTTPRequestHandler):
    """The site, and the key scripts under /keys/."""

    def translate_path(self, path):
        path = path.split("?", 1)[0]
        if path.startswith("/keys/"):
            return os.path.join(SCRIPTS, os.path.basename(path))
        return super().translate_path(path)

    def log_message(self, *args):
        pass


def serve():
    handler = functools.partial(Handler, directory=SITE)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


class Browser:
    """Headless Chromium, its DevTools messages on file descriptors 3 and 4
    (NUL-terminated JSON), one page attached with a flat session."""

    def __init__(self, profile):
        to_chrome_r, self.to_chrome = os.pipe()
        self.from_chrome, from_chrome_w = os.pipe()

        def pipes():
            os.dup2(to_chrome_r, 3)
            os.dup2(from_chrome_w, 4)
            # dup2 onto itself (a pipe that already got fd 3, in a process
            # with nothing else open) leaves it closed at exec
            os.set_inheritable(3, True)
            os.set_inheritable(4, True)

        self.proc = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--remote-debugging-pipe",
             "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-first-run",
             "--disable-gpu-vsync", "--disable-dev-shm-usage",
             "--window-size=1000,800", "--user-data-dir=" + profile,
             "about:blank"],
            preexec_fn=pipes, close_fds=False, stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(profile, "chromium.log"), "w"))
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self.buffer = b""
        self.next_id = 0
        self.target = self.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", targetId=self.target,
                                 flatten=True)["sessionId"]

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.to_chrome, json.dumps(message).encode() + b"\0")
        while True:
            while b"\0" not in self.buffer:
                chunk = os.read(self.from_chrome, 1 << 20)
                if not chunk:
                    raise RuntimeError("chromium went away (see chromium.log)")
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b"\0", 1)
            reply = json.loads(raw)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply["result"]

    def page(self, method, **params):
        return self.call(method, session=self.session, **params)

    def js(self, expression):
        result = self.page("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def open(self, url):
        self.page("Page.navigate", url=url)

    def wait_for(self, expression, limit=900):
        """Polls until the expression is truthy; the limit only ends a hung run."""
        end = time.monotonic() + limit
        while time.monotonic() < end:
            value = self.js(expression)
            if value:
                return value
            time.sleep(0.05)
        raise RuntimeError("gave up waiting for " + expression)

    def holds(self, expression, limit=120):
        """Whether the expression becomes truthy within the limit."""
        try:
            return bool(self.wait_for(expression, limit))
        except RuntimeError:
            return False

    def touch(self, kind, *points):
        """A touch event with these fingers on the screen: (id, (x, y)) each."""
        self.page("Input.dispatchTouchEvent", type=kind,
                  touchPoints=[{"id": i, "x": x, "y": y} for i, (x, y) in points])

    def spot(self, label, dx=0.0, dy=0.0):
        """The centre of the element with that aria-label (or #id), moved dx, dy half-sizes."""
        selector = label if label.startswith("#") else '[aria-label=\\"%s\\"]' % label
        return self.js("(function(){var r=document.querySelector('%s')"
                       ".getBoundingClientRect(); return [r.x + r.width * (1 + %f) / 2,"
                       " r.y + r.height * (1 + %f) / 2];})()" % (selector, dx, dy))

    def key(self, kind, key, code, vk):
        params = {"type": kind, "key": key, "code": code, "windowsVirtualKeyCode": vk}
        if len(key) == 1 and kind == "keyDown":
            params["text"] = key
        self.page("Input.dispatchKeyEvent", **params)

    def click(self, selector):
        box = self.js("(function(){var r=document.querySelector('%s').getBoundingClientRect();"
                      "return [r.x + r.width / 2, r.y + r.height / 2];})()" % selector)
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent", type=kind, x=box[0], y=box[1],
                      button="left", clickCount=1)

    def close(self):
        try:
            self.call("Browser.close")
        except (RuntimeError, OSError):
            pass
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def replay_scripts(browser, base, out, pngdiff, immediate_too):
    """Each script's trace and kept shots, as the desktop's golden tests do."""
    for name in sorted(n[:-5] for n in os.listdir(SCRIPTS) if n.endswith(".keys")):
        for immediate in ([0, 1] if name in immediate_too else [0]):
            label = name + (" (immediate)" if immediate else "")
            started = time.monotonic()
            browser.open("%sindex.html?script=/keys/%s.keys&seed=1%s"
                         % (base, name, "&immediate=1" if immediate else ""))
            state = browser.wait_for("document.body && document.body.dataset.state !== 'loading'"
                                     " && document.body.dataset.state")
            trace = browser.js("document.getElementById('trace').textContent")
            with open(os.path.join(GOLDEN, "traces", name + ".trace")) as f:
                kept = f.read()
            frames = len(trace.splitlines())
            check(state == "done" and trace == kept, "%s: trace of %d frames %s the kept one (%.1f s)"
                  % (label, frames, "equals" if trace == kept else "DIFFERS from",
                     time.monotonic() - started))
            shots = json.loads(browser.js("JSON.stringify(window.clankwiseShots || {})"))
            kept_dir = os.path.join(GOLDEN, "images", name)
            folder = os.path.join(out, name + ("-immediate" if immediate else ""))
            os.makedirs(folder, exist_ok=True)
            for picture in sorted(os.listdir(kept_dir)):
                shot = picture[:-4]
                if shot not in shots:
                    check(False, "%s: no picture %s from the page" % (label, shot))
                    continue
                path = os.path.join(folder, picture)
                with open(path, "wb") as f:
                    f.write(base64.b64decode(shots[shot].split(",", 1)[1]))
                diff = subprocess.run([pngdiff, "--diff", path[:-4] + ".diff.png",
                                       os.path.join(kept_dir, picture), path],
                                      capture_output=True, text=True)
                check(diff.returncode == 0, "%s: %s" % (label, diff.stdout.strip() or diff.stderr.strip()))


# Scripts the test page must refuse, and what its message must say.
BAD_SCRIPTS = [
    ("/keys/missing.keys", "404"),
    ("data:text/plain,z%20x2%0Azz%20x1", "line 2: unknown key name \"zz\""),
]


def refused_scripts(browser, base):
    for script, message in BAD_SCRIPTS:
        browser.open("%sindex.html?script=%s" % (base, script))
        state = browser.wait_for("document.body && document.body.dataset.state !== 'loading'"
                                 " && document.body.dataset.state")
        text = browser.js("document.getElementById('trace').textContent")
        check(state == "error" and message in text,
              "%s: state %s, message %r" % (script, state, text))


# Keys as Chromium sends them on a French keyboard: key, code, virtual key.
MODE_KEYS = [
    (("F5", "F5", 116), 3),
    (("\u00e9", "Digit2", 50), 1),
    (("\"", "Digit3", 51), 2),
    (("'", "Digit4", 52), 4),
    (("&", "Digit1", 49), 0),
]


def probe(browser, what):
    return browser.js("Module._webProbe(%d)" % what)


def after_frames(browser, count):
    """Waits until the page has run `count` more game frames."""
    target = probe(browser, 4) + count
    browser.wait_for("Module._webProbe(4) >= %d" % target, limit=120)


def player_page(browser, base, out):
    browser.open(base + "index.html")
    browser.wait_for("document.body && document.body.dataset.state === 'playing'")
    after_frames(browser, 20)

    # Pacing, from the page's own account at its animation frames: frames
    # run plus frames dropped (by the catch-up bound, on a slow or busy
    # machine) follow page time at 100 a second.
    sample = "[clankwisePace.now, clankwisePace.run, clankwisePace.dropped]"
    t0, f0, d0 = browser.js(sample)
    browser.wait_for("clankwisePace.now - %f >= 3000" % t0)
    t1, f1, d1 = browser.js(sample)
    rate = (f1 - f0 + d1 - d0) * 1000 / (t1 - t0)
    check(99 <= rate <= 101, "pacing: %d frames run and %d dropped in %.0f ms of page time: "
          "%.2f a second (99..101); %.1f run a second"
          % (f1 - f0, d1 - d0, t1 - t0, rate, (f1 - f0) * 1000 / (t1 - t0)))
    # A page that stalls for 0.6 s (60 frames) catches up by 25 at most.
    browser.js("(function(){var t = performance.now(); while (performance.now() - t < 600);})()")
    browser.wait_for("clankwisePace.dropped - %d >= 35" % d1, limit=60)
    check(browser.js("clankwisePace.most") <= 25, "after a 0.6 s stall: at most %d frames at once"
          % browser.js("clankwisePace.most"))

    # A held key drives the robot; the canvas gets the keys once clicked.
    browser.click("#canvas")
    browser.js("window.notPrevented = []; addEventListener('keydown', function (e) {"
               " if (!e.defaultPrevented) notPrevented.push(e.key); })")
    check(browser.js("document.activeElement.id") == "canvas", "a click gives the canvas the keys")
    x0, z0 = probe(browser, 0), probe(browser, 1)
    browser.key("keyDown", "z", "KeyW", 90)
    after_frames(browser, 30)
    moved = ((probe(browser, 0) - x0) ** 2 + (probe(browser, 1) - z0) ** 2) ** 0.5
    check(moved > 0.5, "z held for 30 frames moves the robot %.2f units" % moved)

    # The camera keys, the French top row and a function key; each stays held.
    for (key, code, vk), mode in MODE_KEYS:
        browser.key("keyDown", key, code, vk)
        after_frames(browser, 2)
        browser.key("keyUp", key, code, vk)
        check(probe(browser, 2) == mode, "%s selects camera %d (got %d)" % (key, mode, probe(browser, 2)))
    check(browser.js("getComputedStyle(document.getElementById('touch')).display === 'none'"
                     " && !document.body.classList.contains('app') && canvas.width === canvas.clientWidth"),
          "on a desktop (no touch, 1 pixel per CSS pixel) the touch controls are hidden and the canvas"
          " has its CSS size")
    browser.key("keyDown", "F5", "F5", 116)
    browser.key("keyDown", " ", "Space", 32)
    after_frames(browser, 5)
    shot = browser.page("Page.captureScreenshot", format="png")["data"]
    with open(os.path.join(out, "page-map.png"), "wb") as f:
        f.write(base64.b64decode(shot))
    left = browser.js("notPrevented")
    check(probe(browser, 3) == 3 and left == [],
          "z, F5 and space held: %d keys held; the browser's own use of the keys prevented"
          " (left to it: %s)" % (probe(browser, 3), left))

    # Focus elsewhere: every key goes, and the robot stands still.
    browser.click("aside h1")
    after_frames(browser, 3)
    x1 = probe(browser, 0)
    after_frames(browser, 10)
    check(probe(browser, 3) == 0 and probe(browser, 0) == x1,
          "a click outside lets every key go (%d held) and the robot stops" % probe(browser, 3))

    # Another tab in front: the page loses the focus and is hidden (last:
    # a hidden page runs no more frames).
    browser.click("#canvas")
    browser.key("keyDown", "z", "KeyW", 90)
    after_frames(browser, 2)
    held = probe(browser, 3)
    other = browser.call("Target.createTarget", url="about:blank")["targetId"]
    browser.call("Target.activateTarget", targetId=other)
    try:
        browser.wait_for("Module._webProbe(3) === 0 && !document.hasFocus()", limit=30)
        released = True
    except RuntimeError:
        released = False
    check(held == 1 and released, "another tab in front lets every key go (%d held before)" % held)


# The phone's touch controls, by their aria-labels.
TOUCH_CONTROLS = ["drive", "fire", "punch", "surveillance camera", "chase camera",
                  "first-person camera", "free camera", "map", "help: show or hide the controls",
                  "pause, and go on", "sound off, and on", "fullscreen, and back"]
# The stick pushed to a point (in its half-widths from its centre): the keys held.
STICK = [((0, -0.9), 1), ((0.6, -0.6), 2), ((0.9, 0), 1), ((-0.6, 0.6), 2), ((-0.9, 0), 1),
         ((0.1, -0.1), 0)]
# Camera controls tapped in turn (shorter than a frame): the camera each selects.
CAMERAS = [("surveillance camera", 0), ("map", 3), ("chase camera", 1), ("map", 3), ("first-person camera", 2),
           ("surveillance camera", 0), ("free camera", 4)]
# In the free camera, a finger put down and moved: what it flies (webProbe
# 6 to 10: eye X, Y, Z, heading, tilt).
FLYING = [("the stick forward", "drive", (0, 0), (0, -0.9), (6, 8)),
          ("free camera: up", "free camera: up", (0, 0), (0, 0), (7,)),
          ("a drag to the right", "#canvas", (0, 0), (0.3, 0), (9,)),
          ("a drag down", "#canvas", (0, 0), (0, 0.3), (10,))]
# Device pixels per CSS pixel, and the canvas pixels per CSS pixel then (2 at most).
PIXEL_SCALES = [(1, 1), (1.5, 1.5), (2, 2), (3, 2)]


def sound_page(browser, base):
    """The page's sound: none before the first key, then heard; the button and n mute it."""
    browser.open(base + "index.html?seed=1")
    browser.wait_for("document.body && document.body.dataset.state === 'playing'")
    after_frames(browser, 20)
    check(probe(browser, 12) == 0 and browser.js("typeof AL === 'undefined' || !AL.currentCtx"),
          "no sound before the player's first key, click or touch")
    browser.js("canvas.focus()")
    after_frames(browser, 5)
    check(probe(browser, 12) == 0, "the canvas given the keys, no key yet: no sound")
    browser.key("keyDown", "z", "KeyW", 90)
    check(browser.holds("Module._webProbe(12) === 1 && AL.currentCtx.audioCtx.state === 'running'"),
          "after the first key the sound is heard: audio context %s"
          % browser.js("typeof AL !== 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx.state"))
    browser.key("keyUp", "z", "KeyW", 90)
    heard = "AL.currentCtx.gain.gain.value"

    def n_key():
        browser.click("#canvas")
        browser.key("keyDown", "n", "KeyN", 78)
        browser.key("keyUp", "n", "KeyN", 78)
    for how, act, muted in [("the sound button", lambda: browser.click("#sound"), 1),
                            ("n", n_key, 0), ("n again", n_key, 1),
                            ("the sound button again", lambda: browser.click("#sound"), 0)]:
        act()
        want = "Sound: off" if muted else "Sound: on"
        check(browser.holds("Module._webProbe(13) === %d && Module._webProbe(12) === %d && %s === %d"
                            " && document.getElementById('sound').textContent === '%s'"
                            % (muted, 1 - muted, heard, 1 - muted, want)),
              "%s: the sound %s, the button says %s" % (how, "muted" if muted else "heard", want))


def phone(browser, width, height, scale=3):
    browser.page("Emulation.setDeviceMetricsOverride", width=width, height=height,
                 deviceScaleFactor=scale, mobile=True,
                 screenOrientation={"type": "portraitPrimary", "angle": 0} if height > width
                 else {"type": "landscapePrimary", "angle": 90})


def screenshot(browser, path, width, height):
    shot = browser.page("Page.captureScreenshot", format="png",
                        clip={"x": 0, "y": 0, "width": width, "height": height, "scale": 2 / 3})
    with open(path, "wb") as f:
        f.write(base64.b64decode(shot["data"]))


def phone_controls(browser, base, out):
    """The page on a phone with touch: the controls appear, fill the screen and drive."""
    phone(browser, 390, 760)
    browser.page("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
    browser.open(base + "index.html?seed=1")   # the same forest every time
    browser.wait_for("document.body && document.body.dataset.state === 'playing'")
    after_frames(browser, 5)
    shown = [label for label in TOUCH_CONTROLS if browser.js(
        "(function(){var r=document.querySelector('[aria-label=\"%s\"]').getBoundingClientRect();"
        " return r.width >= 40 && r.height >= 40 && r.right <= innerWidth && r.bottom <= innerHeight;})()"
        % label)]
    check(shown == TOUCH_CONTROLS, "phone: controls shown, a finger wide, on the screen: %s" % shown)
    size = browser.js("[canvas.clientWidth, canvas.clientHeight, canvas.width, canvas.height]")
    check(size == [390, 760, 780, 1520], "phone: the picture fills the screen, %dx%d CSS pixels,"
          " %dx%d canvas pixels (3 per CSS pixel capped at 2)" % tuple(size))

    # Drive and fire with two fingers; lift one, then the other.
    x0, z0, shots = probe(browser, 0), probe(browser, 1), probe(browser, 5)
    browser.touch("touchStart", (1, browser.spot("drive", 0, -0.9)), (2, browser.spot("fire")))
    after_frames(browser, 40)
    moved = ((probe(browser, 0) - x0) ** 2 + (probe(browser, 1) - z0) ** 2) ** 0.5
    fired = probe(browser, 5) - shots
    screenshot(browser, os.path.join(out, "phone-portrait.png"), 390, 760)
    check(moved > 0.5 and fired >= 3, "two fingers on the stick and fire for 40 frames: the robot"
          " moves %.2f units and fires %d shots" % (moved, fired))
    browser.touch("touchEnd", (1, browser.spot("drive", 0, -0.9)))   # the stick's finger lifted
    after_frames(browser, 2)
    at, shots = [probe(browser, 0), probe(browser, 1)], probe(browser, 5)
    after_frames(browser, 20)
    now = [probe(browser, 0), probe(browser, 1)]
    check(probe(browser, 3) == 1 and now == at and probe(browser, 5) > shots,
          "the stick's finger lifted: the robot stops (%s then %s), fire still held and shooting"
          " (%d keys, %d shots)" % (at, now, probe(browser, 3), probe(browser, 5) - shots))
    browser.touch("touchEnd")
    check(browser.holds("Module._webProbe(3) === 0"), "every finger lifted: no key held")

    for (dx, dy), keys in STICK:
        browser.touch("touchStart", (1, browser.spot("drive", dx, dy)))
        after_frames(browser, 2)
        held = probe(browser, 3)
        browser.touch("touchEnd")
        check(held == keys, "stick at (%.1f, %.1f): %d keys held (%d)" % (dx, dy, held, keys))

    for label, mode in CAMERAS:
        browser.touch("touchStart", (1, browser.spot(label)))
        browser.touch("touchEnd")
        check(browser.holds("Module._webProbe(2) === %d && Module._webProbe(3) === 0 && document"
                            ".querySelector('[aria-label=\"%s\"]').ariaPressed === 'true'" % (mode, label)),
              "a tap on %s: camera %d (got %d), let go, shown pressed" % (label, mode, probe(browser, 2)))

    # The free camera (the last one tapped) flies by touch, the robot stays.
    check(browser.holds("getComputedStyle(document.querySelector('.fly')).display === 'flex'"),
          "the free camera shows its up and down buttons")
    for what, label, start, to, moves in FLYING:
        robot = [probe(browser, 0), probe(browser, 1)]
        before = [probe(browser, i) for i in moves]
        browser.touch("touchStart", (1, browser.spot(label, *start)))
        browser.touch("touchMove", (1, browser.spot(label, *to)))
        after_frames(browser, 10)
        after = [probe(browser, i) for i in moves]
        browser.touch("touchCancel")
        check(after != before and [probe(browser, 0), probe(browser, 1)] == robot,
              "free camera, %s: %s -> %s, robot still" % (what, before, after))
        check(browser.holds("Module._webProbe(3) === 0"), "free camera, %s, then touchcancel: no key held" % what)
    screenshot(browser, os.path.join(out, "phone-free-camera.png"), 390, 760)

    # The keyboard hides the controls, a touch shows them again.
    browser.key("keyDown", "x", "KeyX", 88)
    browser.key("keyUp", "x", "KeyX", 88)
    hidden = browser.js("getComputedStyle(document.getElementById('touch')).display")
    browser.touch("touchStart", (1, (200, 300)))
    browser.touch("touchEnd")
    check(hidden == "none" and browser.js("getComputedStyle(document.getElementById('touch')).display")
          == "block", "a key hides the touch controls, a touch shows them")


def phone_page(browser, base, out):
    """No scrolling or zooming; the shape of the screen; the canvas's pixels; a hidden page."""
    # A swipe up, a double tap and a pinch on the picture.
    swipe = [("touchStart", (200, 600)), ("touchMove", (200, 300)), ("touchMove", (200, 50)),
             ("touchEnd", None), ("touchStart", (200, 400)), ("touchEnd", None),
             ("touchStart", (200, 400)), ("touchEnd", None)]
    for kind, point in swipe:
        browser.touch(kind, *([(1, point)] if point else []))
    for spread in (0, 60, 150):
        browser.touch("touchStart" if spread == 0 else "touchMove",
                      (1, (200 - spread, 400)), (2, (220 + spread, 420)))
    browser.touch("touchEnd")
    after_frames(browser, 10)
    view = browser.js("[scrollX, scrollY, document.scrollingElement.scrollTop, visualViewport.scale]")
    check(view == [0, 0, 0, 1], "a swipe, a double tap and a pinch: scroll %s, %s, %s, scale %s" % tuple(view))

    browser.touch("touchStart", (1, browser.spot("chase camera")))
    browser.touch("touchEnd")
    phone(browser, 844, 390)
    wide = browser.holds("canvas.clientWidth === 844 && canvas.clientHeight === 390"
                         " && canvas.width === 1688 && Module._webProbe(2) === 1", limit=60)
    after_frames(browser, 5)
    browser.touch("touchStart", (1, browser.spot("drive", -0.6, -0.6)), (2, browser.spot("punch")))
    after_frames(browser, 20)
    screenshot(browser, os.path.join(out, "phone-landscape.png"), 844, 390)
    browser.touch("touchEnd")
    check(wide, "landscape 844x390: the picture %dx%d, wider than tall"
          % tuple(browser.js("[canvas.clientWidth, canvas.clientHeight]")))

    for device, scale in PIXEL_SCALES:
        phone(browser, 390, 760, device)
        ok = browser.holds("canvas.width === %d && canvas.height === %d"
                           % (round(390 * scale), round(760 * scale)), limit=60)
        check(ok, "%g device pixels per CSS pixel: canvas %dx%d (%g per CSS pixel)"
              % ((device,) + tuple(browser.js("[canvas.width, canvas.height]")) + (scale,)))

    # Another tab in front while two fingers hold keys: they are let go.
    browser.touch("touchStart", (1, browser.spot("drive", 0, -0.9)), (2, browser.spot("fire")))
    after_frames(browser, 2)
    held = probe(browser, 3)
    other = browser.call("Target.createTarget", url="about:blank")["targetId"]
    browser.call("Target.activateTarget", targetId=other)
    released = browser.holds("Module._webProbe(3) === 0", limit=30)
    browser.call("Target.closeTarget", targetId=other)
    browser.call("Target.activateTarget", targetId=browser.target)
    browser.touch("touchEnd")   # a hidden page takes no touch events
    check(held == 2 and released, "the page hidden lets go of what the fingers held (%d before)" % held)
    browser.page("Emulation.setTouchEmulationEnabled", enabled=False)
    browser.page("Emulation.clearDeviceMetricsOverride")


# A test pad in place of the browser's (as the Gamepad API's own tests do):
# navigator.getGamepads answers with it, standard mapping, 17 buttons.
TEST_PAD = ("window.testPad = {id: 'test pad', index: 0, connected: true, mapping: 'standard',"
            " axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, function () {"
            " return {pressed: false, value: 0}; })};"
            " navigator.getGamepads = function () { return testPad.connected ? [testPad] : []; };")


def pad_button(browser, button, down):
    browser.js("testPad.buttons[%d] = {pressed: %s, value: %d}" % (button, "true" if down else "false",
                                                                   1 if down else 0))


def gamepad_page(browser, base):
    """The page with a test pad: the stick drives as z does, A fires, the
    shoulders cycle the cameras, Start pauses, the pad gone lets go of all."""
    browser.open(base + "index.html?seed=1")
    browser.wait_for("document.body && document.body.dataset.state === 'playing'")
    browser.js(TEST_PAD)
    browser.wait_for("document.getElementById('pad').textContent.indexOf('gamepad connected') === 0",
                     limit=30)
    check(browser.js("document.querySelector('#controls thead').textContent") == "KeyTwinPadAction",
          "page: the controls table has a Pad column")
    x0, z0 = probe(browser, 0), probe(browser, 1)
    browser.js("testPad.axes[1] = -1")
    pad_button(browser, 0, True)
    after_frames(browser, 30)
    moved = ((probe(browser, 0) - x0) ** 2 + (probe(browser, 1) - z0) ** 2) ** 0.5
    check(moved > 1 and probe(browser, 3) == 2 and probe(browser, 5) >= 2,
          "pad: the stick drives (%.2f units) and A fires (%d shots), 2 keys held"
          % (moved, probe(browser, 5)))
    browser.js("testPad.axes[1] = 0")
    pad_button(browser, 0, False)
    cameras = []
    for _ in range(5):
        pad_button(browser, 5, True)
        after_frames(browser, 2)
        pad_button(browser, 5, False)
        after_frames(browser, 2)
        cameras.append(probe(browser, 2))
    check(cameras == [1, 2, 4, 3, 0], "pad: RB cycles the cameras: %s" % cameras)
    pad_button(browser, 9, True)
    after_frames(browser, 2)
    pad_button(browser, 9, False)
    browser.js("testPad.axes[0] = 1")
    after_frames(browser, 2)
    x1, z1 = probe(browser, 0), probe(browser, 1)
    after_frames(browser, 20)
    check(probe(browser, 3) == 1 and (probe(browser, 0), probe(browser, 1)) == (x1, z1),
          "pad: Start pauses (the stick held, nothing moves)")
    browser.js("testPad.connected = false")
    check(browser.holds("Module._webProbe(3) === 0 && document.getElementById('pad').textContent === ''",
                        limit=30), "pad: unplugged, it lets go of all it held and the page says so")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pngdiff", default=os.path.join(ROOT, "build", "tests", "golden", "pngdiff"))
    parser.add_argument("--out", default=os.path.join(ROOT, "build-web", "test-out"))
    args = parser.parse_args()
    for needed in (os.path.join(SITE, "index.html"), args.pngdiff):
        if not os.path.exists(needed):
            sys.exit("web_test: %s is missing: run bash scripts/web.sh and build the desktop "
                     "build first" % needed)
    os.makedirs(args.out, exist_ok=True)
    server, base = serve()
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(profile)
        try:
            replay_scripts(browser, base, args.out, args.pngdiff, immediate_too={"tour"})
            refused_scripts(browser, base)
            phone_controls(browser, base, args.out)
            phone_page(browser, base, args.out)
            gamepad_page(browser, base)
            sound_page(browser, base)
            player_page(browser, base, args.out)
        except RuntimeError as e:
            check(False, str(e))
        finally:
            browser.close()
            server.shutdown()
    print("web_test: %s" % ("%d failed" % len(failures) if failures else "all passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
