// glPushAttrib / glPopAttrib for the enable, current and point groups
// (linked with --js-library by the platform layer); the emulation has neither.

var LibraryZeWebAttrib = {
  $ZeWebAttrib: {
    stack: [],
    // The switches the enable group keeps: those the framework and the
    // programs turn on and off.
    enableCaps: [0xB50 /* LIGHTING */, 0xB71 /* DEPTH_TEST */, 0xDE1 /* TEXTURE_2D */,
                 0xB57 /* COLOR_MATERIAL */, 0xB44 /* CULL_FACE */, 0xBE2 /* BLEND */,
                 0xBA1 /* NORMALIZE */, 0x8037 /* POLYGON_OFFSET_FILL */, 0x4000 /* LIGHT0 */,
                 0x4001 /* LIGHT1 */, 0xB10 /* POINT_SMOOTH */, 0xB20 /* LINE_SMOOTH */],
  },

  glPushAttrib__deps: ['$ZeWebAttrib', '$ZeWebVertexState', '$GLEmulation', 'glIsEnabled'],
  glPushAttrib: function(mask) {
    var saved = {mask: mask};
    if (mask & 0x2000 /* GL_ENABLE_BIT */) {
      saved.enabled = ZeWebAttrib.enableCaps.map(function(cap) { return _glIsEnabled(cap); });
    }
    if (mask & 0x1 /* GL_CURRENT_BIT */) {
      saved.colour = ZeWebVertexState.colour.slice();
      saved.normal = ZeWebVertexState.normal.slice();
    }
    if (mask & 0x2 /* GL_POINT_BIT */) saved.pointSize = GLEmulation.pointSize;
    ZeWebAttrib.stack.push(saved);
  },

  glPopAttrib__deps: ['$ZeWebAttrib', '$GLEmulation', 'glIsEnabled', 'glEnable', 'glDisable',
                      'glColor4f', 'glNormal3f'],
  glPopAttrib: function() {
    var saved = ZeWebAttrib.stack.pop();
    if (!saved) return;
    if (saved.enabled) {
      ZeWebAttrib.enableCaps.forEach(function(cap, k) {
        if (_glIsEnabled(cap) != saved.enabled[k]) (saved.enabled[k] ? _glEnable : _glDisable)(cap);
      });
    }
    if (saved.colour) {
      _glColor4f.apply(null, saved.colour);
      _glNormal3f.apply(null, saved.normal);
    }
    if (saved.pointSize !== undefined) GLEmulation.pointSize = saved.pointSize;
  },
};

mergeInto(LibraryManager.library, LibraryZeWebAttrib);
