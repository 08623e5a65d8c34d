// page.js -- the page around the game: starts it, paces its frames, passes
// the keys on, and in the test mode (index.html?script=PATH[&seed=N]
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

function releaseKeys() { Module._webReleaseKeys(); }

// The canvas's pixels follow its size on the page.
function fitCanvas() {
  var w = Math.max(1, Math.round(canvas.clientWidth));
  var h = Math.max(1, Math.round(canvas.clientHeight));
  if (w === canvas.width && h === canvas.height) return;
  canvas.width = Module.textCanvas.width = w;
  canvas.height = Module.textCanvas.height = h;
  Module._webResize(w, h);
}

function fillControls() {
  var body = document.querySelector('#controls tbody');
  for (var row = 0; ; row++) {
    var key = Module.ccall('webControl', 'string', ['number', 'number'], [row, 0]);
    if (!key) break;
    if (key === 'Escape') continue;  // a page is left by closing it
    var tr = document.createElement('tr');
    for (var col = 0; col < 3; col++) {
      var td = document.createElement('td');
      td.textContent = col ? Module.ccall('webControl', 'string', ['number', 'number'], [row, col]) : key;
      tr.appendChild(td);
    }
    body.appendChild(tr);
  }
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
    var due = Module._webPace(now);
    p.run += due;
    p.most = Math.max(p.most, due);
    p.dropped = Module._webProbe(5);
    p.now = now;
    requestAnimationFrame(tick);
  }
  requestAnimationFrame(tick);
}

function playerPage() {
  fillControls();
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
