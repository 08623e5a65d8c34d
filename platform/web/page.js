// page.js -- the page around the game: starts it, paces its frames, passes
// the keys and the touch controls on, and in the test mode (index.html?script=PATH[&seed=N]
// [&immediate=1]) plays a key script and puts the state lines into
// <pre id="trace">, with data-state="done" (or "error") on <body>.
'use strict';

var params = new URLSearchParams(location.search);
var canvas = document.getElementById('canvas');
var errors = [];

var Module = {
  canvas: canvas,
  textCanvas: document.getElementById('text'),
  print: function (line) { console.log(line); },
  printErr: function (line) { errors.push(line); console.error(line); },
  onRuntimeInitialized: function () {
    try {
      params.get('script') ? testPage(params.get('script')) : playerPage();
    } catch (e) {
      finish('error', String(e && e.message || e));
    }
  },
};
window.addEventListener('error', function (e) { finish('error', String(e.message)); });

function finish(state, text) {
  document.getElementById('trace').textContent = text;
  document.body.dataset.state = state;
}

// The seed of the crown colours: the URL's, or as the desktop game, the clock.
function seed(fallback) {
  var s = params.get('seed');
  return s !== null && /^[0-9]+$/.test(s) ? Number(s) >>> 0 : fallback >>> 0;
}

// --- the test page ----------------------------------------------------------

// Fetches the script, plays every frame as fast as it can (yielding now and
// then so the page stays alive), keeps the pictures of the shots in
// window.clankwiseShots as PNG data URLs, and leaves the last frame drawn.
function testPage(path) {
  document.body.classList.add('test');
  window.clankwiseShots = {};
  fetch(path).then(function (r) {
    if (!r.ok) throw new Error('cannot fetch ' + path + ': ' + r.status);
    return r.text();
  }).then(function (text) {
    var name = '/' + path.split('/').pop();
    FS.writeFile(name, text);
    var count = Module.ccall('webLoadScript', 'number', ['string'], [name]);
    if (count < 0) throw new Error(errors.join('\n') || 'bad script');
    Module.ccall('webStart', null, ['number', 'number', 'number', 'number', 'number'],
                 [seed(1), params.get('immediate') === '1' ? 1 : 0, 0, 500, 500]);
    var frame = 0;
    (function some() {
      var until = performance.now() + 50;
      while (frame < count && performance.now() < until) {
        var shot = Module.ccall('webScriptFrame', 'string', ['number'], [frame++]);
        if (shot) window.clankwiseShots[shot] = canvas.toDataURL('image/png');
      }
      if (frame < count) return setTimeout(some, 0);
      finish('done', Module.ccall('webTrace', 'string', [], []));
    })();
  }).catch(function (e) { finish('error', String(e.message || e)); });
}

// --- the player's page ------------------------------------------------------

// Arrow and function keys by KeyboardEvent.key, as GLUT numbers them.
var SPECIAL = { ArrowLeft: 100, ArrowUp: 101, ArrowRight: 102, ArrowDown: 103 };
for (var f = 1; f <= 12; f++) SPECIAL['F' + f] = f;
var MODIFIER = { ShiftLeft: 112, ShiftRight: 113, ControlLeft: 114, ControlRight: 115,
                 AltLeft: 116, AltRight: 117 };

// [code, special] for a key event, or null for a key the game does not
// take (Escape is left to the browser: it leaves fullscreen).
function gameKey(e) {
  if (e.key.length === 1) {
    var c = e.key.charCodeAt(0);
    return c < 256 ? [c, 0] : null;
  }
  if (e.key in SPECIAL) return [SPECIAL[e.key], 1];
  if (e.code in MODIFIER) return [MODIFIER[e.code], 1];
  return null;
}

function onKey(down, e) {
  var key = gameKey(e);
  if (!key) return;
  // The browser's shortcuts stay the browser's; the modifiers themselves
  // still reach the game, which lets go of the character keys on them.
  if ((e.ctrlKey || e.metaKey) && !(e.code in MODIFIER)) return;
  e.preventDefault();                          // no help on F1, no scrolling
  if (down && e.repeat) return;                // a held key is held, not repeated
  Module._webKey(down ? 1 : 0, key[0], key[1]);
}

function releaseKeys() {
  releaseTouches();
  Module._webReleaseKeys();
}

// Canvas pixels per CSS pixel at most: a phone with 3 device pixels per CSS
// pixel gets 2 (4/9 of the pixels, which a slow phone can still fill 100
// times a second); a screen of 1.5 or 2 gets all of its own.
var MOST_PIXELS_PER_CSS_PIXEL = 2;

// The canvas's pixels follow its size on the page, at the screen's device
// pixels up to the bound above. The game itself counts in CSS pixels (its
// window is the canvas as laid out, so the help's text keeps its size on
// every screen); webgl.js scales its viewport and text to the canvas.
var gameSize = [0, 0];
function fitCanvas() {
  var w = Math.max(1, Math.round(canvas.clientWidth));
  var h = Math.max(1, Math.round(canvas.clientHeight));
  var scale = Math.min(Math.max(window.devicePixelRatio || 1, 1), MOST_PIXELS_PER_CSS_PIXEL);
  var pw = Math.round(w * scale), ph = Math.round(h * scale);
  if (w === gameSize[0] && h === gameSize[1] && pw === canvas.width && ph === canvas.height) return;
  canvas.width = Module.textCanvas.width = pw;
  canvas.height = Module.textCanvas.height = ph;
  Module.pixelScale = { x: pw / w, y: ph / h };
  gameSize = [w, h];
  Module._webResize(w, h);
}

// --- the touch controls -----------------------------------------------------
//
// Every control holds keys of the game's held-key table, with the codes the
// keyboard sends, so the game cannot tell a touch from a key. Each finger
// holds its own keys; a key two fingers hold goes up with the last of them.
// A finger lifted, a touchcancel, the page hidden or the focus lost let go
// of what it held.

var STICK_DRIVE = [[122, 0], [115, 0], [113, 0], [100, 0]];  // z s q d
var STICK_FLY = [[56, 0], [53, 0], [52, 0], [54, 0]];        // 8 5 4 6
var FREE_CAMERA = 4;                                          // typeCam
var DEAD_ZONE = 0.3;      // of the stick's radius: a thumb at rest holds nothing
var DRAG_STEP = 12;       // CSS pixels a drag goes before it turns or tilts
var TURN = { right: [107, 0], left: [109, 0], down: [111, 0], up: [108, 0] };  // k m o l

var touchLayer = document.getElementById('touch');
var fingers = {};         // touch identifier: { control, x0, y0, keys }
var touchHeld = {};       // 'code,special': fingers holding it
var pressedOn = {};       // 'code,special': the frame its touch pressed it
var lateReleases = [];    // keys lifted before any frame saw them

function framesRun() { return Module._webProbe(4); }

function touchPress(key) {
  var id = key.join();
  touchHeld[id] = (touchHeld[id] || 0) + 1;
  if (touchHeld[id] > 1) return;
  pressedOn[id] = framesRun();
  Module._webKey(1, key[0], key[1]);
}

// A tap shorter than a game frame is let go after the next frame, so the
// game sees it held once, as it sees the shortest key press.
function touchRelease(key) {
  var id = key.join();
  if (!touchHeld[id] || --touchHeld[id] > 0) return;
  delete touchHeld[id];
  if (pressedOn[id] === framesRun()) lateReleases.push(key);
  else Module._webKey(0, key[0], key[1]);
}

function releaseLate() {
  var keys = lateReleases;
  lateReleases = [];
  keys.forEach(function (key) { if (!touchHeld[key.join()]) Module._webKey(0, key[0], key[1]); });
}

// Makes a finger hold exactly `keys`, pressing and letting go the difference.
function holdKeys(finger, keys) {
  var has = function (list, key) { return list.some(function (k) { return k.join() === key.join(); }); };
  finger.keys.forEach(function (key) { if (!has(keys, key)) touchRelease(key); });
  keys.forEach(function (key) { if (!has(finger.keys, key)) touchPress(key); });
  finger.keys = keys;
}

// The keys of the stick pushed (dx, dy) from its centre, in eighths of a
// turn: forward, back, left, right, and two of them on the diagonals. In
// the free camera it flies the camera (8 5 4 6) instead of driving.
function stickKeys(stick, dx, dy) {
  var r = stick.clientWidth / 2;
  var knob = stick.firstElementChild;
  var d = Math.sqrt(dx * dx + dy * dy), k = d > r ? r / d : 1;
  knob.style.transform = 'translate(' + dx * k + 'px,' + dy * k + 'px)';
  if (d < DEAD_ZONE * r) return [];
  var keys = Number(touchLayer.dataset.camera) === FREE_CAMERA ? STICK_FLY : STICK_DRIVE;
  var eighth = (Math.round(Math.atan2(-dy, dx) / (Math.PI / 4)) + 8) % 8;  // 0 right, 2 up
  return [[3], [0, 3], [0], [0, 2], [2], [1, 2], [1], [1, 3]][eighth]
    .map(function (i) { return keys[i]; });
}

// A drag on the picture in the free camera turns it (sideways) or tilts it
// (up and down), whichever way it went further from where it started.
function dragKeys(dx, dy) {
  if (Number(touchLayer.dataset.camera) !== FREE_CAMERA) return [];
  if (Math.max(Math.abs(dx), Math.abs(dy)) < DRAG_STEP) return [];
  if (Math.abs(dx) >= Math.abs(dy)) return [dx > 0 ? TURN.right : TURN.left];
  return [dy > 0 ? TURN.down : TURN.up];
}

function controlKey(control) { return control.dataset.key.split(',').map(Number); }

function fingerKeys(finger, touch) {
  var c = finger.control;
  if (!c) return dragKeys(touch.clientX - finger.x0, touch.clientY - finger.y0);
  if (c.dataset.control === 'stick') {
    var box = c.getBoundingClientRect();
    return stickKeys(c, touch.clientX - box.left - box.width / 2, touch.clientY - box.top - box.height / 2);
  }
  return c.dataset.on === 'lift' ? [] : [controlKey(c)];
}

function onTouch(e) {
  e.preventDefault();  // no scrolling, zooming, selection, menu, nor mouse events
  for (var i = 0; i < e.changedTouches.length; i++) {
    var t = e.changedTouches[i], finger = fingers[t.identifier];
    if (e.type === 'touchstart') {
      var target = t.target instanceof Element ? t.target : null;
      var control = target && target.closest('[data-control]');
      finger = fingers[t.identifier] = { control: control, x0: t.clientX, y0: t.clientY, keys: [] };
      if (control) control.classList.add('held');
    }
    if (!finger) continue;
    if (e.type === 'touchstart' || e.type === 'touchmove') {
      holdKeys(finger, fingerKeys(finger, t));
      continue;
    }
    delete fingers[t.identifier];
    letGo(finger);
    // Fullscreen is asked for on the lift: browsers grant it to a touchend.
    if (e.type === 'touchend' && finger.control && finger.control.dataset.on === 'lift')
      tap(controlKey(finger.control));
  }
}

function letGo(finger) {
  holdKeys(finger, []);
  if (!finger.control) return;
  finger.control.classList.remove('held');
  if (finger.control.dataset.control === 'stick') finger.control.firstElementChild.style.transform = '';
}

function tap(key) {
  touchPress(key);
  touchRelease(key);
}

function releaseTouches() {
  for (var id in fingers) letGo(fingers[id]);
  fingers = {};
}

// Touch shows the controls, the keyboard hides them; a phone (a coarse main
// pointer) or a first touch also gives the page its phone layout: the
// picture fills the screen, with its shape.
function showTouch(shown) {
  if (shown) document.body.classList.add('app');
  document.body.classList.toggle('touch', shown);
}

function touchControls() {
  ['touchstart', 'touchmove', 'touchend', 'touchcancel'].forEach(function (type) {
    touchLayer.addEventListener(type, onTouch, { passive: false });
  });
  // A screen reader's activation, or a click, taps the button.
  touchLayer.addEventListener('click', function (e) {
    var c = e.target.closest && e.target.closest('button[data-control]');
    if (c) tap(controlKey(c));
  });
  document.addEventListener('touchstart', function () { showTouch(true); },
                            { capture: true, passive: true });
  window.addEventListener('keydown', function () { showTouch(false); }, true);
  document.querySelector('.screen').addEventListener('contextmenu', function (e) {
    if (document.body.classList.contains('app')) e.preventDefault();
  });
  if (!(document.fullscreenEnabled && touchLayer.requestFullscreen))
    touchLayer.querySelector('[data-on=lift]').remove();
  if (window.matchMedia && matchMedia('(pointer: coarse)').matches) showTouch(true);
}

// What the controls show follows the game: the free camera's own buttons,
// the camera in use pressed.
function followGame() {
  var camera = String(Module._webProbe(2));
  if (touchLayer.dataset.camera === camera) return;
  touchLayer.dataset.camera = camera;
  touchLayer.querySelectorAll('[data-camera]').forEach(function (b) {
    b.setAttribute('aria-pressed', String(b.dataset.camera === camera));
  });
}

function fillControls() {
  var body = document.querySelector('#controls tbody');
  function cell(row, col) { return Module.ccall('webControl', 'string', ['number', 'number'], [row, col]); }
  // Key, twin, pad, action; a row may have no key (the pad's own).
  for (var row = 0; cell(row, 3); row++) {
    if (cell(row, 0) === 'Escape') continue;  // a page is left by closing it
    var tr = document.createElement('tr');
    for (var col = 0; col < 4; col++) {
      var td = document.createElement('td');
      td.textContent = cell(row, col);
      tr.appendChild(td);
    }
    body.appendChild(tr);
  }
}

// --- the game pads -----------------------------------------------------------

// The standard mapping's buttons in the game's order (PadState: A B X Y,
// Back, Start, the sticks pressed in, LB RB, the d-pad's up down left right);
// its buttons 6 and 7 are the triggers.
var PAD_BUTTONS = [0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 12, 13, 14, 15];
var padShown = '';  // what the page says of the pads

// Once per animation frame: every pad with the standard mapping read into
// one (a button pressed on any, each axis from the pad that pushes it
// furthest) and handed to the game, which presses and lets go of the keys
// it stands for. A pad connected while the page is open is picked up here.
function readPads() {
  var pads = navigator.getGamepads ? navigator.getGamepads() : [];
  var found = 0, bits = 0, axes = [0, 0, 0, 0, 0, 0], names = [];
  for (var i = 0; pads && i < pads.length; i++) {
    var pad = pads[i];
    if (!pad || !pad.connected || pad.mapping !== 'standard') continue;
    found = 1;
    names.push(pad.id);
    PAD_BUTTONS.forEach(function (b, bit) {
      if (pad.buttons[b] && pad.buttons[b].pressed) bits |= 1 << bit;
    });
    var values = [pad.axes[0], pad.axes[1], pad.axes[2], pad.axes[3],
                  pad.buttons[6] ? pad.buttons[6].value : 0, pad.buttons[7] ? pad.buttons[7].value : 0];
    values.forEach(function (v, a) {
      v = Number(v) || 0;
      if (v * v > axes[a] * axes[a]) axes[a] = v;
    });
  }
  Module._webPad(found, bits, axes[0], axes[1], axes[2], axes[3], axes[4], axes[5]);
  var shown = found ? 'gamepad connected: ' + names.join(', ') + ' (its buttons in the Pad column)' : '';
  if (shown !== padShown) document.getElementById('pad').textContent = padShown = shown;
}

// At each animation frame, the game runs the frames its pace calls for at
// this page time (100 a second, at most 25 at once, the rest dropped) and
// draws only the last: the same rule as the desktop's timer.
// window.clankwisePace tells, as of the last animation frame, its time, the
// frames run and dropped so far, and the most run at once.
function pace() {
  var p = window.clankwisePace = { now: 0, run: 0, dropped: 0, most: 0 };
  // The time is read here, not taken from the animation frame: some
  // Chromium versions give a frame that was held up by a long task the time
  // it was due, so the time lost would never be caught up or dropped.
  function tick() {
    var now = performance.now();
    fitCanvas();
    if (document.body.dataset.state === 'playing') readPads();
    var due = Module._webPace(now);
    if (due > 0) {
      releaseLate();
      followGame();
      showSound();
    }
    p.run += due;
    p.most = Math.max(p.most, due);
    p.dropped = Module._webProbe(11);
    p.now = now;
    requestAnimationFrame(tick);
  }
  requestAnimationFrame(tick);
}

// The sound: browsers play none before the player's first key, click or
// touch, so the game's sound starts then (and its audio context is told to
// go on, should the browser have held it). The button turns it off and on,
// as n does; it shows the game's own setting.
var soundButton = document.getElementById('sound');
function startSound() {
  ['keydown', 'pointerdown', 'touchstart'].forEach(function (type) {
    window.removeEventListener(type, startSound, true);
  });
  Module._webSoundStart();
  if (typeof AL !== 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx.resume)
    AL.currentCtx.audioCtx.resume();
  document.getElementById('sound-note').textContent = '';
}

function soundControls() {
  ['keydown', 'pointerdown', 'touchstart'].forEach(function (type) {
    window.addEventListener(type, startSound, true);
  });
  soundButton.addEventListener('click', function () {
    Module._webKey(1, 110, 0);  // n
    Module._webKey(0, 110, 0);
    showSound();
  });
}

function showSound() {
  var muted = Module._webProbe(13) === 1;
  if (soundButton.getAttribute('aria-pressed') === String(muted)) return;
  soundButton.setAttribute('aria-pressed', String(muted));
  soundButton.textContent = muted ? 'Sound: off' : 'Sound: on';
}

function playerPage() {
  fillControls();
  touchControls();
  soundControls();
  canvas.addEventListener('keydown', function (e) { onKey(true, e); });
  canvas.addEventListener('keyup', function (e) { onKey(false, e); });
  canvas.addEventListener('blur', releaseKeys);
  window.addEventListener('blur', releaseKeys);
  document.addEventListener('visibilitychange', releaseKeys);
  canvas.addEventListener('focus', function () {
    document.getElementById('first').textContent = 'Playing: the keys go to the game.';
  });
  canvas.addEventListener('blur', function () {
    document.getElementById('first').textContent = 'Click the picture first: the keys then drive the robot.';
  });
  Module.ccall('webStart', null, ['number', 'number', 'number', 'number', 'number'],
               [seed(Date.now() / 1000), params.get('immediate') === '1' ? 1 : 0, 1,
                canvas.width, canvas.height]);
  fitCanvas();
  document.getElementById('status').textContent = '';
  document.body.dataset.state = 'playing';
  pace();
}
