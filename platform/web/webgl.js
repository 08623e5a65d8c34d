// webgl.js -- the only WebGL of the web build: fills the triangles that
// gl_layer.cpp hands over, already in clip coordinates with their lit
// colours, and writes the help's text on the 2D canvas over the picture.
//
// The game counts in CSS pixels (its window is the canvas's size on the
// page); the canvases may hold more device pixels than that (page.js sets
// Module.pixelScale, canvas pixels per game pixel on each axis), so the
// viewport and the text are scaled here and nowhere else.

// addToLibrary is the newer emscriptens' name for mergeInto.
(typeof addToLibrary === 'function' ? addToLibrary
  : function (functions) { mergeInto(LibraryManager.library, functions); })({
  $clankwiseGL: {
    gl: null, buffer: null, text: null,

    scale: function () { return Module.pixelScale || { x: 1, y: 1 }; },

    // The context and the one program, made on the first draw or clear.
    context: function () {
      if (clankwiseGL.gl) return clankwiseGL.gl;
      var gl = Module.canvas.getContext('webgl', {
        antialias: false, depth: true, alpha: false, preserveDrawingBuffer: true,
      });
      if (!gl) throw new Error('this browser gives no WebGL 1 context');
      function shader(type, source) {
        var s = gl.createShader(type);
        gl.shaderSource(s, source);
        gl.compileShader(s);
        if (!gl.getShaderParameter(s, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(s));
        return s;
      }
      var program = gl.createProgram();
      gl.attachShader(program, shader(gl.VERTEX_SHADER,
        'attribute vec4 position; attribute vec4 colour; varying vec4 shade;' +
        'void main() { gl_Position = position; shade = colour; }'));
      gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
        'precision mediump float; varying vec4 shade;' +
        'void main() { gl_FragColor = shade; }'));
      gl.bindAttribLocation(program, 0, 'position');
      gl.bindAttribLocation(program, 1, 'colour');
      gl.linkProgram(program);
      gl.useProgram(program);
      clankwiseGL.buffer = gl.createBuffer();
      gl.bindBuffer(gl.ARRAY_BUFFER, clankwiseGL.buffer);
      gl.enableVertexAttribArray(0);
      gl.enableVertexAttribArray(1);
      gl.vertexAttribPointer(0, 4, gl.FLOAT, false, 32, 0);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, 32, 16);
      gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
      gl.depthFunc(gl.LESS);
      gl.cullFace(gl.BACK);
      gl.frontFace(gl.CCW);
      clankwiseGL.gl = gl;
      return gl;
    },
  },

  webglDraw__deps: ['$clankwiseGL'],
  webglDraw: function (vertices, count, flags, vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context();
    (flags & 1) ? gl.enable(gl.DEPTH_TEST) : gl.disable(gl.DEPTH_TEST);
    (flags & 2) ? gl.enable(gl.CULL_FACE) : gl.disable(gl.CULL_FACE);
    blend ? gl.enable(gl.BLEND) : gl.disable(gl.BLEND);
    var s = clankwiseGL.scale();
    gl.viewport(Math.round(vx * s.x), Math.round(vy * s.y), Math.round(vw * s.x), Math.round(vh * s.y));
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * 8),
                  gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, count);
  },

  webglClear__deps: ['$clankwiseGL'],
  webglClear: function (r, g, b, a, mask) {
    var gl = clankwiseGL.context();
    gl.clearColor(r, g, b, a);
    gl.depthMask(true);
    gl.clear(((mask & 0x4000) ? gl.COLOR_BUFFER_BIT : 0) | ((mask & 0x100) ? gl.DEPTH_BUFFER_BIT : 0));
    var t = Module.textCanvas;
    if ((mask & 0x4000) && t) {
      var c = t.getContext('2d');
      c.setTransform(1, 0, 0, 1, 0, 0);
      c.clearRect(0, 0, t.width, t.height);
    }
  },

  webglFullscreen: function () {
    var page = Module.canvas.parentElement;
    if (document.fullscreenElement) document.exitFullscreen();
    else if (page.requestFullscreen) page.requestFullscreen().catch(function () {});
  },

  // Latin-1 bytes, as the game writes its text for GLUT's fonts.
  $latin1: function (ptr) {
    var s = '';
    for (var c = HEAPU8[ptr]; c; c = HEAPU8[++ptr]) s += String.fromCharCode(c);
    return s;
  },

  webglText__deps: ['$latin1', '$clankwiseGL'],
  webglText: function (x, y, r, g, b, size, text) {
    var t = Module.textCanvas;
    if (!t) return;
    var c = t.getContext('2d'), s = clankwiseGL.scale();
    c.setTransform(s.x, 0, 0, s.y, 0, 0);
    c.font = size + 'px Helvetica, Arial, sans-serif';
    c.fillStyle = 'rgb(' + [r, g, b].map(function (v) { return Math.round(v * 255); }) + ')';
    c.fillText(latin1(text), x, y);
  },

  webglTextWidth__deps: ['$latin1'],
  webglTextWidth: function (size, text) {
    var t = Module.textCanvas || document.createElement('canvas');
    var c = t.getContext('2d');
    c.font = size + 'px Helvetica, Arial, sans-serif';
    return Math.ceil(c.measureText(latin1(text)).width);
  },
});
