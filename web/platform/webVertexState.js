// GL's current colour, normal and texture coordinate, written with every
// vertex of a glBegin/glEnd (linked with --js-library by the platform layer).
//
// The emulation packs each vertex with the attributes given just before it,
// and lays every vertex out like the first. GL keeps a current colour, normal
// and texture coordinate instead, so a colour given once for several vertices
// (as the cloth's net does) shifts every later vertex. Here the attributes are
// only recorded and every vertex is written whole: colour, normal, texture
// coordinate when the primitive has one, position. The other parts of the
// layer read the current colour and normal from here.

var LibraryZeWebVertexState = {
  $ZeWebVertexState: {
    colour: [1, 1, 1, 1],
    normal: [0, 0, 1],
    texCoord: [0, 0],
    texCoordUsed: false,  // glTexCoord seen in the current glBegin/glEnd
  },

  // Run when the program loads (the platform's link options include it).
  zeWebInstallVertexState__deps: ['$ZeWebVertexState', '$GLImmediate', 'glBegin', 'glColor3f',
                                  'glColor4f', 'glNormal3f', 'glTexCoord2f', 'glVertex2f',
                                  'glVertex3f', 'glVertex4f'],
  zeWebInstallVertexState__postset: '_zeWebInstallVertexState();',
  zeWebInstallVertexState: function() {
    var glBegin = _glBegin, glColor4f = _glColor4f, glNormal3f = _glNormal3f;
    var glTexCoord2f = _glTexCoord2f;
    _glBegin = function(mode) {
      ZeWebVertexState.texCoordUsed = false;
      glBegin(mode);
    };
    _glColor4f = function(r, g, b, a) {
      ZeWebVertexState.colour = [r, g, b, a];
      if (GLImmediate.mode < 0) glColor4f(r, g, b, a);
    };
    // The emulation's glColor3f writes through its own copy of glColor4f,
    // which would put a colour of its own into the vertex data.
    _glColor3f = function(r, g, b) {
      _glColor4f(r, g, b, 1);
    };
    _glNormal3f = function(x, y, z) {
      ZeWebVertexState.normal = [x, y, z];
    };
    _glTexCoord2f = function(u, v) {
      ZeWebVertexState.texCoord = [u, v];
      if (GLImmediate.mode >= 0) ZeWebVertexState.texCoordUsed = true;
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
    function vertexAttributes() {
      if (GLImmediate.mode < 0) return;
      var state = ZeWebVertexState;
      glColor4f.apply(null, state.colour);
      glNormal3f.apply(null, state.normal);
      if (state.texCoordUsed) glTexCoord2f.apply(null, state.texCoord);
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
  },
};

mergeInto(LibraryManager.library, LibraryZeWebVertexState);
