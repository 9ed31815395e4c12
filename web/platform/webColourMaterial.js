// Colour-tracking material (linked with --js-library by the platform layer):
// with GL_COLOR_MATERIAL on and lighting on, the lit colour takes the current
// colour as the material the mode names, and a vertex without its own normal
// is lit with the current normal (0, 0, 1 at start), as fixed-function GL
// does. The emulation ignores both and draws the net dim. Also the shading
// model the emulation draws.

var LibraryZeWebColourMaterial = {
  $ZeWebColourMaterial__deps: ['$GLEmulation', '$GLImmediate'],
  $ZeWebColourMaterial: {
    enabled: false,
    face: 0x408 /* GL_FRONT_AND_BACK */,
    mode: 0x1602 /* GL_AMBIENT_AND_DIFFUSE */,
    caches: null,  // renderer caches by tracking key

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
      var cm = ZeWebColourMaterial;
      if (!cm.enabled || !GLEmulation.lightingEnabled) return '';
      if (cm.face != 0x404 /* GL_FRONT */ && cm.face != 0x408) return '';
      return cm.trackedUniforms[cm.mode] ? String(cm.mode) : '';
    },

    trackColour: function(source, key) {
      ZeWebColourMaterial.trackedUniforms[key].forEach(function(name) {
        source = source.split(name + '.').join('a_color.');
      });
      return source;
    },

    stateChanged: function() {
      if (GLImmediate.lastRenderer) GLImmediate.lastRenderer.cleanup();
      GLImmediate.currentRenderer = null;
    },
  },

  // Run when the program loads (the platform's link options include it).
  zeWebInstallColourMaterial__deps: ['$ZeWebColourMaterial', '$GLImmediate', '$ZeWebVertexState',
                                     'glEnable', 'glDisable', 'glIsEnabled'],
  zeWebInstallColourMaterial__postset: '_zeWebInstallColourMaterial();',
  zeWebInstallColourMaterial: function() {
    var cm = ZeWebColourMaterial;
    var glEnable = _glEnable, glDisable = _glDisable, glIsEnabled = _glIsEnabled;
    _glEnable = function(cap) {
      if (cap != 0xB57 /* GL_COLOR_MATERIAL */) return glEnable(cap);
      if (!cm.enabled) cm.stateChanged();
      cm.enabled = true;
    };
    _glDisable = function(cap) {
      if (cap != 0xB57) return glDisable(cap);
      if (cm.enabled) cm.stateChanged();
      cm.enabled = false;
    };
    _glIsEnabled = function(cap) {
      return cap == 0xB57 ? (cm.enabled ? 1 : 0) : glIsEnabled(cap);
    };

    // One renderer cache per tracking key, since the key changes the shader.
    var getRenderer = GLImmediate.getRenderer;
    GLImmediate.getRenderer = function() {
      if (!GLImmediate.currentRenderer) {
        if (!cm.caches) cm.caches = {'': GLImmediate.rendererCache};
        var key = cm.trackingKey();
        if (!cm.caches[key]) cm.caches[key] = GLImmediate.MapTreeLib.create();
        GLImmediate.rendererCache = cm.caches[key];
      }
      var renderer = getRenderer.call(GLImmediate);
      if (!renderer.zeWebPrepared) {
        renderer.zeWebPrepared = true;
        var prepare = renderer.prepare;
        renderer.prepare = function() {
          prepare.call(this);
          // Vertices without their own normal take the current one.
          if (this.hasLighting && !this.hasNormal && this.normalLocation >= 0) {
            GLctx.vertexAttrib3fv(this.normalLocation, ZeWebVertexState.normal);
          }
        };
      }
      return renderer;
    };
    var createRenderer = GLImmediate.createRenderer;
    GLImmediate.createRenderer = function(r) {
      var key = cm.trackingKey();
      if (!key) return createRenderer.call(GLImmediate, r);
      var shaderSource = GLctx.shaderSource;
      GLctx.shaderSource = function(shader, source) {
        shaderSource.call(GLctx, shader, cm.trackColour(source, key));
      };
      try {
        return createRenderer.call(GLImmediate, r);
      } finally {
        delete GLctx.shaderSource;
      }
    };
  },

  glColorMaterial__deps: ['$ZeWebColourMaterial'],
  glColorMaterial: function(face, mode) {
    var cm = ZeWebColourMaterial;
    if (cm.face == face && cm.mode == mode) return;
    cm.face = face;
    cm.mode = mode;
    if (cm.enabled) cm.stateChanged();
  },

  // Smooth shading is what WebGL does anyway; flat shading is not emulated.
  glShadeModel: function(mode) {
    if (mode != 0x1D01 /* GL_SMOOTH */) err('glShadeModel: only GL_SMOOTH is drawn');
  },
};

mergeInto(LibraryManager.library, LibraryZeWebColourMaterial);
