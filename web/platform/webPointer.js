// Pointer motion at the pointer (linked with --js-library by the platform
// layer): Emscripten's GLUT reports each motion with the position before it,
// so a dragged node trails the pointer by one event. Its handler is replaced
// when the program loads, before glutInit registers it.

var LibraryZeWebPointer = {
  // Run when the program loads (the platform's link options include it).
  zeWebInstallPointer__deps: ['$GLUT', '$Browser'],
  zeWebInstallPointer__postset: '_zeWebInstallPointer();',
  zeWebInstallPointer: function() {
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
  },
};

mergeInto(LibraryManager.library, LibraryZeWebPointer);
