// webgl.js -- the only WebGL of the web build: keeps the display lists of
// gl_layer.cpp in static buffers (a list's own, or a page that several
// share), streams its immediate-mode triangles, and draws both with vertex
// shaders that transform and light them as fixed-function GL does (the
// formulas of gl_layer.cpp's lightVertex, in single precision: the general
// one, the same for the game's usual state without its switches, and one
// for vertices the light cannot reach); and writes the help's text on the
// 2D canvas over the picture.
//
// The game counts in CSS pixels (its window is the canvas's size on the
// page); the canvases may hold more device pixels than that (page.js sets
// Module.pixelScale, canvas pixels per game pixel on each axis), so the
// viewport and the text are scaled here and nowhere else.

// addToLibrary is the newer emscriptens' name for mergeInto.
(typeof addToLibrary === 'function' ? addToLibrary
  : function (functions) { mergeInto(LibraryManager.library, functions); })({
  $clankwiseGL: {
    gl: null, text: null,
    program: null, stream: null, using: null, lists: [null], freeNames: [],

    // The vertex layout and the uniform block, in floats: the same as
    // layer.h's LIST_* and U_* constants; change both together.
    layout: {
      LIST_POSITION: 0, LIST_NORMAL: 3, LIST_COLOUR: 6, LIST_SEGMENT: 10, LIST_FLOATS: 11,
      LIST_SEGMENTS: 1,
      U_PROJECTION: 0, U_SWITCHES: 16, U_AMBIENT: 20, U_DIFFUSE: 24, U_LIGHT_DIFFUSE: 28,
      U_LIGHT_POSITION: 32, U_SPOT_DIRECTION: 36, U_SPOT: 39, U_ATTENUATION: 42,
      U_MODELVIEWS: 45, U_NORMAL_MATRICES: 45 + 16 * 1, U_FLOATS: 45 + 25 * 1,
    },
    drawn: {},  // the fill state last set: flags, viewport, blend

    // Points the four attributes at the bound vertex buffer, by the layout.
    point: function (gl) {
      var L = clankwiseGL.layout, F = 4;  // bytes a float
      gl.vertexAttribPointer(0, 3, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_POSITION * F);
      gl.vertexAttribPointer(1, 4, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_COLOUR * F);
      gl.vertexAttribPointer(2, 3, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_NORMAL * F);
      gl.vertexAttribPointer(3, 1, gl.FLOAT, false, L.LIST_FLOATS * F, L.LIST_SEGMENT * F);
    },

    // A vertex buffer and its index buffer (or null), with their own
    // vertex array object when there are such, left bound.
    buffers: function (gl, vertices, indices) {
      var b = { vertices: vertices, indices: indices, vao: null };
      if (clankwiseGL.vaos) {
        b.vao = clankwiseGL.vaos.createVertexArrayOES();
        clankwiseGL.vaos.bindVertexArrayOES(b.vao);
        for (var a = 0; a < 4; a++) gl.enableVertexAttribArray(a);
      }
      gl.bindBuffer(gl.ARRAY_BUFFER, vertices);
      gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, indices);
      clankwiseGL.point(gl);
      clankwiseGL.using = b;
      return b;
    },

    // The lists' vertex shader: GL's per-vertex transform and lighting as
    // gl_layer.cpp's lightVertex computes them (the scene's ambient 0.2 on
    // the ambient material, the spot light's diffuse part attenuated with
    // distance and by the cone, no specular), colour material, normals
    // normalised on request, the colour clamped.
    LIT_SHADER:
      'attribute vec3 position; attribute vec3 normal; attribute vec4 colour;' +
      'attribute float segment;' +
      'uniform mat4 projection, modelview[1]; uniform mat3 normalMatrix[1];' +
      'uniform vec4 switches, ambient, diffuse, lightDiffuse, lightPosition;' +
      'uniform vec3 spotDirection, spot, attenuation;' +
      'varying vec4 shade;' +
      'void main() {' +
      '  const int k = 0;' +  // LIST_SEGMENTS 1; more would take int(segment)
      '  vec4 eye = modelview[k] * vec4(position, 1.0);' +
      '  gl_Position = projection * eye;' +
      '  if (switches.x == 0.0) { shade = clamp(colour, 0.0, 1.0); return; }' +
      '  vec4 amb = switches.y != 0.0 ? colour : ambient;' +
      '  vec4 dif = switches.y != 0.0 ? colour : diffuse;' +
      '  vec3 n = normalMatrix[k] * normal;' +
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

    // The same for vertices the light does not reach (DRAW_AMBIENT_ONLY):
    // the lit shader's colour with the light's part left out, which there
    // adds exactly nothing.
    AMBIENT_SHADER:
      'attribute vec3 position; attribute vec3 normal; attribute vec4 colour;' +
      'attribute float segment;' +
      'uniform mat4 projection, modelview[1];' +
      'uniform vec4 switches, ambient, diffuse;' +
      'varying vec4 shade;' +
      'void main() {' +
      '  const int k = 0;' +
      '  vec4 eye = modelview[k] * vec4(position, 1.0);' +
      '  gl_Position = projection * eye;' +
      '  if (switches.x == 0.0) { shade = clamp(colour, 0.0, 1.0); return; }' +
      '  vec4 amb = switches.y != 0.0 ? colour : ambient;' +
      '  vec4 dif = switches.y != 0.0 ? colour : diffuse;' +
      '  shade = clamp(vec4(0.2 * amb.rgb, dif.a), 0.0, 1.0);' +
      '}',

    // The lit shader as it runs for the game's usual state (lighting, colour
    // material, normalising and the spot light on, a cut-off under 90
    // degrees: see clankwiseProgram), the same formulas without the
    // switches' branches: SwiftShader runs it on every lit vertex of the
    // trees.
    SPOT_SHADER:
      'attribute vec3 position; attribute vec3 normal; attribute vec4 colour;' +
      'attribute float segment;' +
      'uniform mat4 projection, modelview[1]; uniform mat3 normalMatrix[1];' +
      'uniform vec4 lightDiffuse, lightPosition;' +
      'uniform vec3 spotDirection, spot, attenuation;' +
      'varying vec4 shade;' +
      'void main() {' +
      '  const int k = 0;' +
      '  vec4 eye = modelview[k] * vec4(position, 1.0);' +
      '  gl_Position = projection * eye;' +
      '  vec3 n = normalMatrix[k] * normal;' +
      '  float len = length(n);' +
      '  n = len > 0.0 ? n / len : n;' +
      '  vec3 l = lightPosition.xyz - eye.xyz;' +
      '  float d = length(l);' +
      '  l = d > 0.0 ? l / d : l;' +
      '  float att = 1.0 / (attenuation.x + attenuation.y * d + attenuation.z * d * d);' +
      '  float cs = -dot(l, spotDirection) / length(spotDirection);' +
      '  float cone = cs < spot.y ? 0.0 : pow(cs, spot.z);' +
      '  float nl = dot(n, l);' +
      '  vec3 c = 0.2 * colour.rgb;' +
      '  vec3 lit = c + att * cone * nl * lightDiffuse.rgb * colour.rgb;' +
      '  shade = clamp(vec4(nl > 0.0 ? lit : c, colour.a), 0.0, 1.0);' +
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
        ['modelview[0]', 'projection', 'normalMatrix[0]', 'switches', 'ambient', 'diffuse',
         'lightDiffuse', 'lightPosition', 'spotDirection', 'spot', 'attenuation'
        ].forEach(function (name) { u[name] = gl.getUniformLocation(p, name); });
        return { program: p, uniforms: u, last: null };
      }
      var attributes = ['position', 'colour', 'normal', 'segment'];
      clankwiseGL.lit = program(clankwiseGL.LIT_SHADER, attributes);
      clankwiseGL.ambientOnly = program(clankwiseGL.AMBIENT_SHADER, attributes);
      clankwiseGL.spot = program(clankwiseGL.SPOT_SHADER, attributes);
      clankwiseGL.program = clankwiseGL.lit;
      gl.useProgram(clankwiseGL.program.program);
      for (var a = 0; a < 4; a++) gl.enableVertexAttribArray(a);
      // With vertex array objects, each buffer's attribute pointers are set
      // once and a draw binds one object instead of two buffers and four
      // pointers.
      clankwiseGL.vaos = gl.getExtension('OES_vertex_array_object');
      clankwiseGL.gl = gl;
      clankwiseGL.stream = clankwiseGL.buffers(gl, gl.createBuffer(), gl.createBuffer());
      gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
      gl.depthFunc(gl.LESS);
      gl.cullFace(gl.BACK);
      gl.frontFace(gl.CCW);
      clankwiseGL.gl = gl;
      return gl;
    },
  },

  // Binds a list's buffers (or the stream's), with the attributes pointed
  // at them by the layout.
  $clankwiseUse__deps: ['$clankwiseGL'],
  $clankwiseUse: function (gl, buffer) {
    if (clankwiseGL.using === buffer) return;
    if (buffer.vao) {
      clankwiseGL.vaos.bindVertexArrayOES(buffer.vao);
    } else {
      gl.bindBuffer(gl.ARRAY_BUFFER, buffer.vertices);
      gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, buffer.indices);
      clankwiseGL.point(gl);
    }
    clankwiseGL.using = buffer;
  },

  // Sends the uniforms the layer hands over (U_FLOATS floats, of which the
  // matrices of `segments` segments), each group only when it changed.
  $clankwiseUniforms__deps: ['$clankwiseGL'],
  $clankwiseUniforms: function (gl, uniforms, segments) {
    var L = clankwiseGL.layout, u = clankwiseGL.program.uniforms;
    var now = HEAPF32.subarray(uniforms >> 2, (uniforms >> 2) + L.U_FLOATS);
    var program = clankwiseGL.program;  // each program keeps its own uniforms
    var last = program.last || (program.last = new Float32Array(L.U_FLOATS).fill(NaN));
    function changed(at, n) {
      for (var k = at; k < at + n; k++)
        if (now[k] !== last[k]) { last.set(now.subarray(at, at + n), at); return true; }
      return false;
    }
    if (changed(L.U_PROJECTION, 16)) gl.uniformMatrix4fv(u.projection, false, now.subarray(L.U_PROJECTION, L.U_PROJECTION + 16));
    if (changed(L.U_MODELVIEWS, 16 * segments))
      gl.uniformMatrix4fv(u['modelview[0]'], false, now.subarray(L.U_MODELVIEWS, L.U_MODELVIEWS + 16 * segments));
    if (changed(L.U_NORMAL_MATRICES, 9 * segments))
      gl.uniformMatrix3fv(u['normalMatrix[0]'], false, now.subarray(L.U_NORMAL_MATRICES, L.U_NORMAL_MATRICES + 9 * segments));
    if (changed(L.U_SWITCHES, L.U_MODELVIEWS - L.U_SWITCHES)) {  // the light and materials
      gl.uniform4fv(u.switches, now.subarray(L.U_SWITCHES, L.U_SWITCHES + 4));
      gl.uniform4fv(u.ambient, now.subarray(L.U_AMBIENT, L.U_AMBIENT + 4));
      gl.uniform4fv(u.diffuse, now.subarray(L.U_DIFFUSE, L.U_DIFFUSE + 4));
      gl.uniform4fv(u.lightDiffuse, now.subarray(L.U_LIGHT_DIFFUSE, L.U_LIGHT_DIFFUSE + 4));
      gl.uniform4fv(u.lightPosition, now.subarray(L.U_LIGHT_POSITION, L.U_LIGHT_POSITION + 4));
      gl.uniform3fv(u.spotDirection, now.subarray(L.U_SPOT_DIRECTION, L.U_SPOT_DIRECTION + 3));
      gl.uniform3fv(u.spot, now.subarray(L.U_SPOT, L.U_SPOT + 3));
      gl.uniform3fv(u.attenuation, now.subarray(L.U_ATTENUATION, L.U_ATTENUATION + 3));
    }
  },

    // The program a draw's flags and uniforms call for: the ambient light
  // alone (DRAW_AMBIENT_ONLY), the lit shader for the usual state, or the
  // general one.
  $clankwiseProgram__deps: ['$clankwiseGL'],
  $clankwiseProgram: function (flags, uniforms) {
    if (flags & 4) return clankwiseGL.ambientOnly;
    var L = clankwiseGL.layout, u = HEAPF32, at = uniforms >> 2;
    var usual = u[at + L.U_SWITCHES] && u[at + L.U_SWITCHES + 1] && u[at + L.U_SWITCHES + 2] &&
      u[at + L.U_SWITCHES + 3] && u[at + L.U_LIGHT_POSITION + 3] && u[at + L.U_SPOT] &&
      u[at + L.U_SPOT + 1] > 0;  // a cut-off under 90 degrees: the cone's cosine positive
    return usual ? clankwiseGL.spot : clankwiseGL.lit;
  },

  $clankwiseState__deps: ['$clankwiseGL', '$clankwiseProgram'],
  $clankwiseState: function (gl, flags, uniforms, vx, vy, vw, vh, blend) {
    var d = clankwiseGL.drawn;
    var program = clankwiseProgram(flags, uniforms);
    if (clankwiseGL.program !== program) {
      gl.useProgram(program.program);
      clankwiseGL.program = program;
    }
    flags &= 3;
    if (d.flags !== flags) {
      (flags & 1) ? gl.enable(gl.DEPTH_TEST) : gl.disable(gl.DEPTH_TEST);
      (flags & 2) ? gl.enable(gl.CULL_FACE) : gl.disable(gl.CULL_FACE);
      d.flags = flags;
    }
    if (d.blend !== blend) {
      blend ? gl.enable(gl.BLEND) : gl.disable(gl.BLEND);
      d.blend = blend;
    }
    var s = clankwiseGL.scale();
    var v = [Math.round(vx * s.x), Math.round(vy * s.y), Math.round(vw * s.x), Math.round(vh * s.y)];
    if (!d.viewport || v.some(function (x, i) { return x !== d.viewport[i]; })) {
      gl.viewport(v[0], v[1], v[2], v[3]);
      d.viewport = v;
    }
  },

  // Immediate-mode triangles: into the stream's buffers, drawn once.
  webglStreamDraw__deps: ['$clankwiseGL', '$clankwiseUse', '$clankwiseState', '$clankwiseUniforms'],
  webglStreamDraw: function (vertices, count, indices, indexCount, segments, uniforms, flags,
                             vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.LIST_FLOATS;
    clankwiseState(gl, flags, uniforms, vx, vy, vw, vh, blend);
    clankwiseUse(gl, clankwiseGL.stream);
    clankwiseUniforms(gl, uniforms, segments);
    gl.bindBuffer(gl.ARRAY_BUFFER, clankwiseGL.stream.vertices);  // not a vertex array's state
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * n),
                  gl.STREAM_DRAW);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU16.subarray(indices >> 1, (indices >> 1) + indexCount),
                  gl.STREAM_DRAW);
    gl.drawElements(gl.TRIANGLES, indexCount, gl.UNSIGNED_SHORT, 0);
  },

  // A list's vertices and indices into static buffers, once; returns their
  // name.
  webglListBuffer__deps: ['$clankwiseGL'],
  webglListBuffer: function (vertices, count, indices, indexCount) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.LIST_FLOATS;
    var buffer = clankwiseGL.buffers(gl, gl.createBuffer(), gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * n),
                  gl.STATIC_DRAW);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU16.subarray(indices >> 1, (indices >> 1) + indexCount),
                  gl.STATIC_DRAW);
    var name = clankwiseGL.freeNames.length ? clankwiseGL.freeNames.pop() : clankwiseGL.lists.length;
    clankwiseGL.lists[name] = buffer;
    return name;
  },

  webglListFree__deps: ['$clankwiseGL'],
  webglListFree: function (name) {
    var buffer = clankwiseGL.lists[name];
    if (!buffer) return;
    if (clankwiseGL.using === buffer) clankwiseGL.using = null;
    if (buffer.vao) clankwiseGL.vaos.deleteVertexArrayOES(buffer.vao);
    clankwiseGL.gl.deleteBuffer(buffer.vertices);
    clankwiseGL.gl.deleteBuffer(buffer.indices);
    clankwiseGL.lists[name] = null;
    clankwiseGL.freeNames.push(name);
  },

  // A page: a static vertex buffer of room for `count` vertices, drawn
  // with indices sent at each draw (the batch's index buffer).
  webglPageCreate__deps: ['$clankwiseGL'],
  webglPageCreate: function (count) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.LIST_FLOATS;
    if (!clankwiseGL.batchIndices) clankwiseGL.batchIndices = gl.createBuffer();
    var page = clankwiseGL.buffers(gl, gl.createBuffer(), clankwiseGL.batchIndices);
    gl.bufferData(gl.ARRAY_BUFFER, count * n * 4, gl.STATIC_DRAW);
    var name = clankwiseGL.freeNames.length ? clankwiseGL.freeNames.pop() : clankwiseGL.lists.length;
    clankwiseGL.lists[name] = page;
    return name;
  },

  webglPageWrite__deps: ['$clankwiseGL'],
  webglPageWrite: function (name, first, vertices, count) {
    var gl = clankwiseGL.context(), n = clankwiseGL.layout.LIST_FLOATS;
    gl.bindBuffer(gl.ARRAY_BUFFER, clankwiseGL.lists[name].vertices);
    gl.bufferSubData(gl.ARRAY_BUFFER, first * n * 4,
                     HEAPF32.subarray(vertices >> 2, (vertices >> 2) + count * n));
  },

  webglPageDraw__deps: ['$clankwiseGL', '$clankwiseUse', '$clankwiseState', '$clankwiseUniforms'],
  webglPageDraw: function (name, indices, count, uniforms, flags, vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context();
    clankwiseState(gl, flags, uniforms, vx, vy, vw, vh, blend);
    clankwiseUse(gl, clankwiseGL.lists[name]);
    clankwiseUniforms(gl, uniforms, 1);
    gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, HEAPU16.subarray(indices >> 1, (indices >> 1) + count),
                  gl.STREAM_DRAW);
    gl.drawElements(gl.TRIANGLES, count, gl.UNSIGNED_SHORT, 0);
  },

  // Draws the triangles of indices first .. first + count - 1 of a list.
  webglListDraw__deps: ['$clankwiseGL', '$clankwiseUse', '$clankwiseState', '$clankwiseUniforms'],
  webglListDraw: function (name, first, count, segments, uniforms, flags, vx, vy, vw, vh, blend) {
    var gl = clankwiseGL.context();
    clankwiseState(gl, flags, uniforms, vx, vy, vw, vh, blend);
    clankwiseUse(gl, clankwiseGL.lists[name]);
    clankwiseUniforms(gl, uniforms, segments);
    gl.drawElements(gl.TRIANGLES, count, gl.UNSIGNED_SHORT, first * 2);
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
