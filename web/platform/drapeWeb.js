// The browser side of drape's platform layer, linked with --js-library.
//
// - Colour-tracking material: with GL_COLOR_MATERIAL on and lighting on, the
//   lit colour takes the current colour as the material the mode names, and a
//   vertex without its own normal is lit with the current normal (0, 0, 1 at
//   start), as fixed-function GL does. The emulation ignores both and draws
//   the net dim.
// - The current window id (glutGetWindow).
// - Full screen through the page: the canvas follows the browser window and
//   the program sees a reshape to the canvas size; from a key press (F1) the
//   browser is also asked for real full screen when it allows it.
// - The frame limit of the page's address (?frames=N) and the report when it
//   is reached.
// - Pointer motion at the pointer: Emscripten's GLUT reports each motion
//   with the position before it, so a dragged node trails the pointer by one
//   event.
// - glPushAttrib / glPopAttrib for the enable, current and point groups.
// - Bitmap text (glRasterPos2f and glutBitmapCharacter, as the framework's
//   overlay text uses them: one unit a pixel from the lower-left corner): the
//   lines of a frame are shown over the canvas in the page's own text,
//   9 x 15 pixels a character, in the colour current at the raster position.

var LibraryZeWeb = {
  $ZeWeb__deps: ['$GLEmulation', '$GLImmediate', '$GLUT', '$Browser', 'glEnable', 'glDisable',
                 'glIsEnabled', 'glNormal3f', 'glutGet', 'glBegin', 'glColor3f', 'glColor4f',
                 'glTexCoord2f', 'glVertex2f', 'glVertex3f', 'glVertex4f'],
  $ZeWeb__postset: 'ZeWeb.install();',
  $ZeWeb: {
    colorMaterial: {enabled: false, face: 0x408 /* GL_FRONT_AND_BACK */,
                    mode: 0x1602 /* GL_AMBIENT_AND_DIFFUSE */},
    normal: [0, 0, 1],
    colour: [1, 1, 1, 1],
    texCoord: [0, 0],
    texCoordUsed: false,  // glTexCoord seen in the current glBegin/glEnd
    full: false,  // the canvas fills the browser window
    windowX: 0,
    windowY: 0,
    caches: null,  // renderer caches by colour-tracking key
    textLines: [],  // this frame's bitmap text: {x, y, colour, text}
    textPending: [],  // the last frame's, until it is shown
    textShownAt: -1e9,
    textFinished: false,  // the program has finished: its last text stays
    textBox: null,
    attribStack: [],
    // The switches the enable group keeps: those the framework and the
    // programs turn on and off.
    enableCaps: [0xB50 /* LIGHTING */, 0xB71 /* DEPTH_TEST */, 0xDE1 /* TEXTURE_2D */,
                 0xB57 /* COLOR_MATERIAL */, 0xB44 /* CULL_FACE */, 0xBE2 /* BLEND */,
                 0xBA1 /* NORMALIZE */, 0x8037 /* POLYGON_OFFSET_FILL */, 0x4000 /* LIGHT0 */,
                 0x4001 /* LIGHT1 */, 0xB10 /* POINT_SMOOTH */, 0xB20 /* LINE_SMOOTH */],

    // The material uniforms the tracked colour replaces, by colour-material mode.
    trackedUniforms: {
      0x1200: ['u_materialAmbient'],                       // GL_AMBIENT
      0x1201: ['u_materialDiffuse'],                       // GL_DIFFUSE
      0x1602: ['u_materialAmbient', 'u_materialDiffuse'],  // GL_AMBIENT_AND_DIFFUSE
      0x1202: ['u_materialSpecular'],                      // GL_SPECULAR
      0x1600: ['u_materialEmission'],                      // GL_EMISSION
    },

    // '' when the current colour plays no part in lighting, else the mode.
    trackingKey: function() {
      var cm = ZeWeb.colorMaterial;
      if (!cm.enabled || !GLEmulation.lightingEnabled) return '';
      if (cm.face != 0x404 /* GL_FRONT */ && cm.face != 0x408) return '';
      return ZeWeb.trackedUniforms[cm.mode] ? String(cm.mode) : '';
    },

    trackColour: function(source, key) {
      ZeWeb.trackedUniforms[key].forEach(function(name) {
        source = source.split(name + '.').join('a_color.');
      });
      return source;
    },

    stateChanged: function() {
      if (GLImmediate.lastRenderer) GLImmediate.lastRenderer.cleanup();
      GLImmediate.currentRenderer = null;
    },

    install: function() {
      var glEnable = _glEnable, glDisable = _glDisable, glIsEnabled = _glIsEnabled;
      _glEnable = function(cap) {
        if (cap != 0xB57 /* GL_COLOR_MATERIAL */) return glEnable(cap);
        if (!ZeWeb.colorMaterial.enabled) ZeWeb.stateChanged();
        ZeWeb.colorMaterial.enabled = true;
      };
      _glDisable = function(cap) {
        if (cap != 0xB57) return glDisable(cap);
        if (ZeWeb.colorMaterial.enabled) ZeWeb.stateChanged();
        ZeWeb.colorMaterial.enabled = false;
      };
      _glIsEnabled = function(cap) {
        return cap == 0xB57 ? (ZeWeb.colorMaterial.enabled ? 1 : 0) : glIsEnabled(cap);
      };
      // The emulation packs each glBegin/glEnd vertex with the attributes
      // given just before it, and lays every vertex out like the first. GL
      // keeps a current colour, normal and texture coordinate instead, so a
      // colour given once for several vertices (as the cloth's net does)
      // shifts every later vertex. Here the attributes are only recorded and
      // every vertex is written whole: colour, normal, texture coordinate
      // when the primitive has one, position.
      var glBegin = _glBegin, glColor4f = _glColor4f, glNormal3f = _glNormal3f;
      var glTexCoord2f = _glTexCoord2f;
      _glBegin = function(mode) {
        ZeWeb.texCoordUsed = false;
        glBegin(mode);
      };
      _glColor4f = function(r, g, b, a) {
        ZeWeb.colour = [r, g, b, a];
        if (GLImmediate.mode < 0) glColor4f(r, g, b, a);
      };
      // The emulation's glColor3f writes through its own copy of glColor4f,
      // which would put a colour of its own into the vertex data.
      _glColor3f = function(r, g, b) {
        _glColor4f(r, g, b, 1);
      };
      // A glBegin/glEnd whose data is not a whole number of vertices would be
      // drawn from the wrong bytes, from the first misplaced one on: it is
      // reported and not drawn.
      var flush = GLImmediate.flush;
      GLImmediate.flush = function() {
        var words = GLImmediate.stride >> 2;
        if (GLImmediate.mode >= 0 && words > 0 && GLImmediate.vertexCounter % words != 0) {
          console.error('glEnd: vertex data of ' + GLImmediate.vertexCounter +
                        ' words is not a whole number of ' + words + '-word vertices');
          GLImmediate.vertexCounter = 0;
        }
        return flush.apply(GLImmediate, arguments);
      };
      _glNormal3f = function(x, y, z) {
        ZeWeb.normal = [x, y, z];
      };
      _glTexCoord2f = function(u, v) {
        ZeWeb.texCoord = [u, v];
        if (GLImmediate.mode >= 0) ZeWeb.texCoordUsed = true;
      };
      function vertexAttributes() {
        if (GLImmediate.mode < 0) return;
        glColor4f.apply(null, ZeWeb.colour);
        glNormal3f.apply(null, ZeWeb.normal);
        if (ZeWeb.texCoordUsed) glTexCoord2f.apply(null, ZeWeb.texCoord);
      }
      var glVertex2f = _glVertex2f, glVertex3f = _glVertex3f, glVertex4f = _glVertex4f;
      _glVertex2f = function(x, y) {
        vertexAttributes();
        glVertex2f(x, y);
      };
      _glVertex3f = function(x, y, z) {
        vertexAttributes();
        glVertex3f(x, y, z);
      };
      _glVertex4f = function(x, y, z, w) {
        vertexAttributes();
        glVertex4f(x, y, z, w);
      };
      var glutGet = _glutGet;
      _glutGet = function(type) {
        if (type == 100 /* GLUT_WINDOW_X */) return ZeWeb.windowX;
        if (type == 101 /* GLUT_WINDOW_Y */) return ZeWeb.windowY;
        return glutGet(type);
      };

      // One renderer cache per tracking key, since the key changes the shader.
      var getRenderer = GLImmediate.getRenderer;
      GLImmediate.getRenderer = function() {
        if (!GLImmediate.currentRenderer) {
          if (!ZeWeb.caches) ZeWeb.caches = {'': GLImmediate.rendererCache};
          var key = ZeWeb.trackingKey();
          if (!ZeWeb.caches[key]) ZeWeb.caches[key] = GLImmediate.MapTreeLib.create();
          GLImmediate.rendererCache = ZeWeb.caches[key];
        }
        var renderer = getRenderer.call(GLImmediate);
        if (!renderer.zeWebPrepared) {
          renderer.zeWebPrepared = true;
          var prepare = renderer.prepare;
          renderer.prepare = function() {
            prepare.call(this);
            // Vertices without their own normal take the current one.
            if (this.hasLighting && !this.hasNormal && this.normalLocation >= 0) {
              GLctx.vertexAttrib3fv(this.normalLocation, ZeWeb.normal);
            }
          };
        }
        return renderer;
      };
      var createRenderer = GLImmediate.createRenderer;
      GLImmediate.createRenderer = function(r) {
        var key = ZeWeb.trackingKey();
        if (!key) return createRenderer.call(GLImmediate, r);
        var shaderSource = GLctx.shaderSource;
        GLctx.shaderSource = function(shader, source) {
          shaderSource.call(GLctx, shader, ZeWeb.trackColour(source, key));
        };
        try {
          return createRenderer.call(GLImmediate, r);
        } finally {
          delete GLctx.shaderSource;
        }
      };

      // Replaced before glutInit registers it.
      GLUT.onMousemove = function(event) {
        var lastX = Browser.mouseX, lastY = Browser.mouseY;
        Browser.calculateMouseEvent(event);
        var x = Browser.mouseX, y = Browser.mouseY;
        if (x == lastX && y == lastY) return;
        var motion = GLUT.buttons == 0 ? (event.target == Module['canvas'] ? GLUT.passiveMotionFunc : 0)
                                       : GLUT.motionFunc;
        if (!motion) return;
        event.preventDefault();
        GLUT.saveModifiers(event);
        {{{ makeDynCall('vii', 'motion') }}}(x, y);
      };

      window.addEventListener('resize', function() {
        if (ZeWeb.full) ZeWeb.fitWindow();
      });
    },

    // Canvas of width x height at the page position (x, y), and the reshape.
    place: function(x, y, width, height) {
      var canvas = Module['canvas'];
      canvas.style.left = x + 'px';
      canvas.style.top = y + 'px';
      Browser.setCanvasSize(width, height, true);
      if (GLUT.reshapeFunc) {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(width, height);
    },

    fitWindow: function() {
      ZeWeb.place(0, 0, window.innerWidth, window.innerHeight);
    },

    leaveBrowserFullscreen: function() {
      if (document.fullscreenElement && document.exitFullscreen) {
        document.exitFullscreen().catch(function() {});
      }
    },
  },

  glColorMaterial__deps: ['$ZeWeb'],
  glColorMaterial: function(face, mode) {
    var cm = ZeWeb.colorMaterial;
    if (cm.face == face && cm.mode == mode) return;
    cm.face = face;
    cm.mode = mode;
    if (cm.enabled) ZeWeb.stateChanged();
  },

  glutGetWindow__deps: ['$ZeWeb'],
  glutGetWindow: function() {
    return Module.ctx ? 1 : 0;
  },

  glutFullScreen__deps: ['$ZeWeb', 'glutPostRedisplay'],
  glutFullScreen: function() {
    ZeWeb.full = true;
    ZeWeb.windowX = 0;
    ZeWeb.windowY = 0;
    ZeWeb.fitWindow();
    // Browsers grant real full screen only while handling a key or click.
    var page = document.documentElement;
    var active = navigator.userActivation ? navigator.userActivation.isActive : false;
    if (active && page.requestFullscreen && !document.fullscreenElement) {
      page.requestFullscreen().catch(function() {});
    }
    _glutPostRedisplay();
  },

  glutReshapeWindow__deps: ['$ZeWeb', 'glutPostRedisplay'],
  glutReshapeWindow: function(width, height) {
    ZeWeb.full = false;
    ZeWeb.leaveBrowserFullscreen();
    ZeWeb.place(ZeWeb.windowX, ZeWeb.windowY, width, height);
    _glutPostRedisplay();
  },

  glutPositionWindow__deps: ['$ZeWeb', 'glutPostRedisplay'],
  glutPositionWindow: function(x, y) {
    ZeWeb.full = false;
    ZeWeb.leaveBrowserFullscreen();
    ZeWeb.windowX = x;
    ZeWeb.windowY = y;
    var canvas = Module['canvas'];
    canvas.style.left = x + 'px';
    canvas.style.top = y + 'px';
    _glutPostRedisplay();
  },

  // The emulation's main loop would reshape through glutReshapeWindow, which
  // here means leaving full screen; report the canvas size as it is instead.
  glutMainLoop__deps: ['$ZeWeb', 'glutPostRedisplay'],
  glutMainLoop: function() {
    var canvas = Module['canvas'];
    if (GLUT.reshapeFunc) {
      {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(canvas.width, canvas.height);
    }
    _glutPostRedisplay();
    throw 'unwind';
  },

  glPushAttrib__deps: ['$ZeWeb', '$GLEmulation', 'glIsEnabled'],
  glPushAttrib: function(mask) {
    var saved = {mask: mask};
    if (mask & 0x2000 /* GL_ENABLE_BIT */) {
      saved.enabled = ZeWeb.enableCaps.map(function(cap) { return _glIsEnabled(cap); });
    }
    if (mask & 0x1 /* GL_CURRENT_BIT */) {
      saved.colour = ZeWeb.colour.slice();
      saved.normal = ZeWeb.normal.slice();
    }
    if (mask & 0x2 /* GL_POINT_BIT */) saved.pointSize = GLEmulation.pointSize;
    ZeWeb.attribStack.push(saved);
  },

  glPopAttrib__deps: ['$ZeWeb', '$GLEmulation', 'glEnable', 'glDisable', 'glColor4f', 'glNormal3f'],
  glPopAttrib: function() {
    var saved = ZeWeb.attribStack.pop();
    if (!saved) return;
    if (saved.enabled) {
      ZeWeb.enableCaps.forEach(function(cap, k) {
        if (_glIsEnabled(cap) != saved.enabled[k]) (saved.enabled[k] ? _glEnable : _glDisable)(cap);
      });
    }
    if (saved.colour) {
      _glColor4f.apply(null, saved.colour);
      _glNormal3f.apply(null, saved.normal);
    }
    if (saved.pointSize !== undefined) GLEmulation.pointSize = saved.pointSize;
  },

  glRasterPos2f__deps: ['$ZeWeb'],
  glRasterPos2f: function(x, y) {
    var c = ZeWeb.colour;
    ZeWeb.textLines.push({x: x, y: y, text: '',
                          colour: 'rgb(' + c.slice(0, 3).map(function(v) {
                            return Math.round(255 * Math.min(1, Math.max(0, v)));
                          }).join(',') + ')'});
  },

  glutBitmapCharacter__deps: ['$ZeWeb'],
  glutBitmapCharacter: function(font, character) {
    var lines = ZeWeb.textLines;
    if (lines.length) lines[lines.length - 1].text += String.fromCharCode(character);
  },

  // At the end of each frame the page's text becomes the frame's, at most
  // ten times a second (each change makes the browser draw the text again,
  // which costs a page whose counter changes every frame some frames a
  // second), and always at the last frame. Only what changed is written,
  // and nothing is read back from the page's layout.
  zeWebShowText__deps: ['$ZeWeb'],
  zeWebShowText: function(force) {
    if (ZeWeb.textFinished && !force) return;  // the page keeps the last frame's text
    if (ZeWeb.textLines.length || !force) ZeWeb.textPending = ZeWeb.textLines;
    ZeWeb.textLines = [];
    var now = performance.now();
    if (!force && now - ZeWeb.textShownAt < 100) return;
    ZeWeb.textShownAt = now;
    var lines = ZeWeb.textPending;
    var canvas = Module['canvas'];
    var box = ZeWeb.textBox;
    if (!box) {
      if (!lines.length) return;
      box = ZeWeb.textBox = document.createElement('div');
      box.style.cssText = 'position:absolute;pointer-events:none;font:15px/15px monospace;' +
          'white-space:pre;';
      canvas.parentNode.appendChild(box);
    }
    if (box.style.left != canvas.style.left) box.style.left = canvas.style.left;
    if (box.style.top != canvas.style.top) box.style.top = canvas.style.top;
    for (var k = 0; k < lines.length; k++) {
      var line = lines[k];
      var span = box.children[k];
      if (!span) {
        span = document.createElement('span');
        span.style.position = 'absolute';
        box.appendChild(span);
      }
      if (span.zeText !== line.text) span.textContent = span.zeText = line.text;
      var place = line.x + 'px,' + (canvas.height - line.y - 12) + 'px,' + line.colour;
      if (span.zePlace !== place) {
        span.zePlace = place;
        span.style.left = line.x + 'px';
        span.style.top = (canvas.height - line.y - 12) + 'px';
        span.style.color = line.colour;
      }
    }
    while (box.children.length > lines.length) box.removeChild(box.lastChild);
  },

  zeWebFrameLimit: function() {
    var match = /[?&]frames=(\d+)(&|$)/.exec(location.search);
    return match ? Math.min(parseInt(match[1], 10), 0x7fffffff) : 0;
  },

  // Smooth shading is what WebGL does anyway; flat shading is not emulated.
  glShadeModel: function(mode) {
    if (mode != 0x1D01 /* GL_SMOOTH */) err('glShadeModel: only GL_SMOOTH is drawn');
  },

  // The program stops where it is and the page keeps its last frame: no
  // more frames, and the runtime stays alive (its exit would clear the canvas).
  zeWebFinish__deps: ['$GLUT', '$ZeWeb', '$runtimeKeepalivePush', 'zeWebShowText'],
  zeWebFinish: function(line) {
    _zeWebShowText(true);
    ZeWeb.textFinished = true;
    GLUT.idleFunc = 0;
    GLUT.displayFunc = 0;
    runtimeKeepalivePush();
    if (Module['onFinish']) Module['onFinish'](UTF8ToString(line));
  },
};

mergeInto(LibraryManager.library, LibraryZeWeb);
