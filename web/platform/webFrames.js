// The frame limit of the page's address (?frames=N) and the report when it
// is reached (linked with --js-library by the platform layer; the frames are
// counted in webPlatform.cpp).

var LibraryZeWebFrames = {
  zeWebFrameLimit: function() {
    var match = /[?&]frames=(\d+)(&|$)/.exec(location.search);
    return match ? Math.min(parseInt(match[1], 10), 0x7fffffff) : 0;
  },

  // The program stops where it is and the page keeps its last frame: no
  // more frames, and the runtime stays alive (its exit would clear the
  // canvas). The text over the canvas stays that of the last frame.
  zeWebFinish__deps: ['$GLUT', '$ZeWebText', '$runtimeKeepalivePush', 'zeWebShowText'],
  zeWebFinish: function(line) {
    _zeWebShowText(true);
    ZeWebText.finished = true;
    GLUT.idleFunc = 0;
    GLUT.displayFunc = 0;
    runtimeKeepalivePush();
    if (Module['onFinish']) Module['onFinish'](UTF8ToString(line));
  },
};

mergeInto(LibraryManager.library, LibraryZeWebFrames);
