// webgl.js -- the only WebGL of the web build: fills the triangles that
// gl_layer.cpp hands over, already in clip coordinates with their lit
// colours (immediate mode), keeps each display list in a static buffer and
// draws it with a vertex shader that transforms and lights it as the layer
// does (the fixed-function formulas of gl_layer.cpp's lightVertex, in single
// precision), and writes the help's text on the 2D canvas over the picture.
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
    programs: null, using: null, lists: [null], freeNames: [], last: null,

    // The vertex layouts and the uniform block, in floats: the same as
    // layer.h's BATCH_*, LIST_* and U_* constants; change both together.
    layout: {
      BATCH_CLIP: 0, BATCH_COLOUR: 4, BATCH_FLOATS: 8,
      LIST_POSITION: 0, LIST_NORMAL: 3, LIST_COLOUR: 6, LIST_FLOATS: 10,
      U_MODELVIEW: 0, U_PROJECTION: 16, U_NORMAL_MATRIX: 32, U_SWITCHES: 41,
      U_AMBIENT: 45, U_DIFFUSE: 49, U_LIGHT_DIFFUSE: 53, U_LIGHT_POSITION: 57,
      U_SPOT_DIRECTION: 61, U_SPOT: 64, U_ATTENUATION: 67, U_FLOATS: 70,
    },

    // The lists' vertex shader: GL's per-vertex transform and lighting as
    // gl_layer.cpp's lightVertex computes them (the scene's ambient 0.2 on
    // the ambient material, the spot light's diffuse part attenuated with
    // distance and by the cone, no specular), colour material, normals
    // normalised on request, the colour clamped.
    LIT_SHADER:
      'attribute vec3 position; attribute vec3 normal; attribute vec4 colour;' +
      'uniform mat4 modelview, projection; uniform mat3 normalMatrix;' +
      'uniform vec4 switches, ambient, diffuse, lightDiffuse, lightPosition;' +
      'uniform vec3 spotDirection, spot, attenuation;' +
      'varying vec4 shade;' +
      'void main() {' +
      '  vec4 eye = modelview * vec4(position, 1.0);' +
      '  gl_Position = projection * eye;' +
      '  if (switches.x == 0.0) { shade = clamp(colour, 0.0, 1.0); return; }' +
      '  vec4 amb = switches.y != 0.0 ? colour : ambient;' +
      '  vec4 dif = switches.y != 0.0 ? colour : diffuse;' +
      '  vec3 n = normalMatrix * normal;' +
      '  float len = length(n);' +
      '  if (switches.z != 0.0 && len > 0.0) n = n / len;' +
      '  vec4 c = vec4(0.2 * amb.rgb, dif.a);' +
      '  if (switches.w != 0.0) {' +
      '    bool local = lightPosition.w != 0.0;' +
      '    vec3 l = local ? lightPosition.xyz - eye.xyz : lightPosition.xyz;' +
      '    float d = length(l);' +
      '    if (d > 0.0) l = l / d;' +
      '    float att = 1.0, cone = 1.0;' +
      '    if (local) {' +
      '      att = 1.0 / (attenuation.x + attenuation.y * d + attenuation.z * d * d);' +
      '      if (spot.x != 0.0) {' +
      '        float sl = length(spotDirection);' +
      '        float cs = sl > 0.0 ? -dot(l, spotDirection) / sl : 0.0;' +
      '        cone = cs < spot.y ? 0.0 : (spot.z == 0.0 ? 1.0 : (cs > 0.0 ? pow(cs, spot.z) : 0.0));' +
      '      }' +
      '    }' +
      '    float nl = dot(n, l);' +
      '    if (nl > 0.0) c.rgb += att * cone * nl * lightDiffuse.rgb * dif.rgb;' +
      '  }' +
      '  shade = clamp(c, 0.0, 1.0);' +
      '}',

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
      function program(vertex, attributes) {
        var p = gl.createProgram();
        gl.attachShader(p, shader(gl.VERTEX_SHADER, vertex));
        gl.attachShader(p, shader(gl.FRAGMENT_SHADER,
          'precision mediump float; varying vec4 shade;' +
          'void main() { gl_FragColor = shade; }'));
        attributes.forEach(function (name, i) { gl.bindAttribLocation(p, i, name); });
        gl.linkProgram(p);
        if (!gl.getProgramParameter(p, gl.LINK_STATUS)) throw new Error(gl.getProgramInfoLog(p));
        var u = {};
        ['modelview', 'projection', 'normalMatrix', 'switches', 'ambient', 'diffuse',
         'lightDiffuse', 'lightPosition', 'spotDirection', 'spot', 'attenuation'
        ].forEach(function (name) { u[name] = gl.getUniformLocation(p, name); });
        return { program: p, uniforms: u };
      }
      clankwiseGL.programs = {
        batch: program('attribute vec4 position; attribute vec4 colour; varying vec4 shade;' +
                       'void main() { gl_Position = position; shade = colour; }',
                       ['position', 'colour']),
        list: program(clankwiseGL.LIT_SHADER, ['position', 'colour', 'normal']),
      };
      clankwiseGL.buffer = gl.createBuffer();
      gl.enableVertexAttribArray(0);
      gl.enableVertexAttribArray(1);
      gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
      gl.depthFunc(gl.LESS);
      gl.cullFace(gl.BACK);
      gl.frontFace(gl.CCW);
      clankwiseGL.gl = gl;
      return gl;
    },
  },

  // Takes the batch program and buffer, or a list's buffer with the list
  // program, and points the attributes at it (by layout).
  $clankwiseUse__deps: ['$clankwiseGL'],
  $clankwiseUse: function (gl, buffer) {
    var L = clankwiseGL.layout, F = 4;  // bytes a float
    if (clankwiseGL.using === buffer) return;
    var list = buffer !== clankwiseGL.buffer;
    if (clankwiseGL.using === null || (clankwiseGL.using === clankwiseGL.buffer) === list)
      gl.useProgram((list ? clankwiseGL.programs.list : clankwiseGL.programs.batch).program);
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    if (list) {
      gl.enableVertexAttribArray(2);
      gl.vertexAttribPointer(0, 3, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_POSITION * F);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_COLOUR * F);
      gl.vertexAttribPointer(2, 3, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_NORMAL * F);
    } else {
      gl.disableVertexAttribArray(2);
      gl.vertexAttribPointer(0, 4, gl.FLOAT, false, L.BATCH_FLOATS * F, L.BATCH_CLIP * F);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, L.BATCH_FLOATS * F, L.BATCH_COLOUR * F);
    }
    clankwiseGL.using = buffer;
  },

  $clankwiseState__deps: ['$clankwiseGL'],
  $clankwiseState: function (gl, flags, vx, vy, vw, vh, blend) {
    (flags & 1) ? gl.enable(gl.DEPTH_TEST) : gl.disable(gl.DEPTH_TEST);
    (flags & 2) ? gl.enable(gl.CULL_FACE) : gl.disable(gl.CULL_FACE);
    blend ? gl.enable(gl.BLEND) : gl.disable(gl.BLEND);
    var s = clankwiseGL.scale();
    gl.viewport(Math.round(vx * s.x), Math.round(vy * s.y), Math.round(vw * s.x), Math.round(vh * s.y));
  },

  webglDraw__deps: ['$clankwiseGL', '$clankwiseUse', '$clankwiseState'],
  webglDraw: function (vertices, count, flags, vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.BATCH_FLOATS;
    clankwiseState(gl, flags, vx, vy, vw, vh, blend);
    clankwiseUse(gl, clankwiseGL.buffer);
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * n),
                  gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, count);
  },

  // A list's vertices into a static buffer, once; returns its name.
  webglListBuffer__deps: ['$clankwiseGL'],
  webglListBuffer: function (vertices, count) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.LIST_FLOATS;
    var buffer = gl.createBuffer();
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * n),
                  gl.STATIC_DRAW);
    clankwiseGL.using = null;  // the binding changed under clankwiseUse
    var name = clankwiseGL.freeNames.length ? clankwiseGL.freeNames.pop() : clankwiseGL.lists.length;
    clankwiseGL.lists[name] = buffer;
    return name;
  },

  webglListFree__deps: ['$clankwiseGL'],
  webglListFree: function (name) {
    var buffer = clankwiseGL.lists[name];
    if (!buffer) return;
    if (clankwiseGL.using === buffer) clankwiseGL.using = null;
    clankwiseGL.gl.deleteBuffer(buffer);
    clankwiseGL.lists[name] = null;
    clankwiseGL.freeNames.push(name);
  },

  // Draws part of a list's buffer with the uniforms the layer hands over
  // (U_FLOATS floats); each group is sent only when it changed.
  webglListDraw__deps: ['$clankwiseGL', '$clankwiseUse', '$clankwiseState'],
  webglListDraw: function (name, first, count, uniforms, flags, vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context(), L = clankwiseGL.layout, u = clankwiseGL.programs.list.uniforms;
    clankwiseState(gl, flags, vx, vy, vw, vh, blend);
    clankwiseUse(gl, clankwiseGL.lists[name]);
    var now = HEAPF32.subarray(uniforms >> 2, (uniforms >> 2) + L.U_FLOATS);
    var last = clankwiseGL.last || (clankwiseGL.last = new Float32Array(L.U_FLOATS).fill(NaN));
    function changed(at, n) {
      for (var k = at; k < at + n; k++)
        if (now[k] !== last[k]) { last.set(now.subarray(at, at + n), at); return true; }
      return false;
    }
    if (changed(L.U_MODELVIEW, 16)) gl.uniformMatrix4fv(u.modelview, false, now.subarray(L.U_MODELVIEW, L.U_MODELVIEW + 16));
    if (changed(L.U_PROJECTION, 16)) gl.uniformMatrix4fv(u.projection, false, now.subarray(L.U_PROJECTION, L.U_PROJECTION + 16));
    if (changed(L.U_NORMAL_MATRIX, 9)) gl.uniformMatrix3fv(u.normalMatrix, false, now.subarray(L.U_NORMAL_MATRIX, L.U_NORMAL_MATRIX + 9));
    var vec4s = [['switches', L.U_SWITCHES], ['ambient', L.U_AMBIENT], ['diffuse', L.U_DIFFUSE],
                 ['lightDiffuse', L.U_LIGHT_DIFFUSE], ['lightPosition', L.U_LIGHT_POSITION]];
    for (var i = 0; i < vec4s.length; i++)
      if (changed(vec4s[i][1], 4)) gl.uniform4fv(u[vec4s[i][0]], now.subarray(vec4s[i][1], vec4s[i][1] + 4));
    var vec3s = [['spotDirection', L.U_SPOT_DIRECTION], ['spot', L.U_SPOT], ['attenuation', L.U_ATTENUATION]];
    for (i = 0; i < vec3s.length; i++)
      if (changed(vec3s[i][1], 3)) gl.uniform3fv(u[vec3s[i][0]], now.subarray(vec3s[i][1], vec3s[i][1] + 3));
    gl.drawArrays(gl.TRIANGLES, first, count);
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
