// The window in the page (linked with --js-library by the platform layer):
// the current window id (glutGetWindow), the window's place and size as the
// canvas's, and full screen through the page: the canvas follows the browser
// window and the program sees a reshape to the canvas size; from a key press
// (F1) the browser is also asked for real full screen when it allows it.

var LibraryZeWebWindow = {
  $ZeWebWindow__deps: ['$GLUT', '$Browser'],
  $ZeWebWindow: {
    full: false,  // the canvas fills the browser window
    x: 0,
    y: 0,

    // Canvas of width x height at the page position (x, y), and the reshape.
    place: function(x, y, width, height) {
      var canvas = Module['canvas'];
      canvas.style.left = x + 'px';
      canvas.style.top = y + 'px';
      Browser.setCanvasSize(width, height, true);
      if (GLUT.reshapeFunc) {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(width, height);
    },

    fitWindow: function() {
      ZeWebWindow.place(0, 0, window.innerWidth, window.innerHeight);
    },

    leaveBrowserFullscreen: function() {
      if (document.fullscreenElement && document.exitFullscreen) {
        document.exitFullscreen().catch(function() {});
      }
    },
  },

  // Run when the program loads (the platform's link options include it).
  zeWebInstallWindow__deps: ['$ZeWebWindow', '$GLUT', '$Browser', 'glutGet'],
  zeWebInstallWindow__postset: '_zeWebInstallWindow();',
  zeWebInstallWindow: function() {
    var glutGet = _glutGet;
    _glutGet = function(type) {
      if (type == 100 /* GLUT_WINDOW_X */) return ZeWebWindow.x;
      if (type == 101 /* GLUT_WINDOW_Y */) return ZeWebWindow.y;
      return glutGet(type);
    };
    window.addEventListener('resize', function() {
      if (ZeWebWindow.full) ZeWebWindow.fitWindow();
    });
  },

  glutGetWindow__deps: ['$ZeWebWindow'],
  glutGetWindow: function() {
    return Module.ctx ? 1 : 0;
  },

  glutFullScreen__deps: ['$ZeWebWindow', 'glutPostRedisplay'],
  glutFullScreen: function() {
    ZeWebWindow.full = true;
    ZeWebWindow.x = 0;
    ZeWebWindow.y = 0;
    ZeWebWindow.fitWindow();
    // Browsers grant real full screen only while handling a key or click.
    var page = document.documentElement;
    var active = navigator.userActivation ? navigator.userActivation.isActive : false;
    if (active && page.requestFullscreen && !document.fullscreenElement) {
      page.requestFullscreen().catch(function() {});
    }
    _glutPostRedisplay();
  },

  glutReshapeWindow__deps: ['$ZeWebWindow', 'glutPostRedisplay'],
  glutReshapeWindow: function(width, height) {
    ZeWebWindow.full = false;
    ZeWebWindow.leaveBrowserFullscreen();
    ZeWebWindow.place(ZeWebWindow.x, ZeWebWindow.y, width, height);
    _glutPostRedisplay();
  },

  glutPositionWindow__deps: ['$ZeWebWindow', 'glutPostRedisplay'],
  glutPositionWindow: function(x, y) {
    ZeWebWindow.full = false;
    ZeWebWindow.leaveBrowserFullscreen();
    ZeWebWindow.x = x;
    ZeWebWindow.y = y;
    var canvas = Module['canvas'];
    canvas.style.left = x + 'px';
    canvas.style.top = y + 'px';
    _glutPostRedisplay();
  },

  // The emulation's main loop would reshape through glutReshapeWindow, which
  // here means leaving full screen; report the canvas size as it is instead.
  glutMainLoop__deps: ['$ZeWebWindow', 'glutPostRedisplay'],
  glutMainLoop: function() {
    var canvas = Module['canvas'];
    if (GLUT.reshapeFunc) {
      {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(canvas.width, canvas.height);
    }
    _glutPostRedisplay();
    throw 'unwind';
  },
};

mergeInto(LibraryManager.library, LibraryZeWebWindow);
