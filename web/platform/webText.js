// Bitmap text over the canvas (linked with --js-library by the platform
// layer): glRasterPos2f and glutBitmapCharacter, as the framework's overlay
// text uses them (one unit a pixel from the lower-left corner). The lines of
// a frame are shown over the canvas in the page's own text, 9 x 15 pixels a
// character, in the colour current at the raster position.

var LibraryZeWebText = {
  $ZeWebText: {
    lines: [],  // this frame's bitmap text: {x, y, colour, text}
    pending: [],  // the last frame's, until it is shown
    shownAt: -1e9,
    finished: false,  // the program has finished: its last text stays
    box: null,
  },

  glRasterPos2f__deps: ['$ZeWebText', '$ZeWebVertexState'],
  glRasterPos2f: function(x, y) {
    var c = ZeWebVertexState.colour;
    ZeWebText.lines.push({x: x, y: y, text: '',
                          colour: 'rgb(' + c.slice(0, 3).map(function(v) {
                            return Math.round(255 * Math.min(1, Math.max(0, v)));
                          }).join(',') + ')'});
  },

  glutBitmapCharacter__deps: ['$ZeWebText'],
  glutBitmapCharacter: function(font, character) {
    var lines = ZeWebText.lines;
    if (lines.length) lines[lines.length - 1].text += String.fromCharCode(character);
  },

  // At the end of each frame the page's text becomes the frame's, at most
  // ten times a second (each change makes the browser draw the text again,
  // which costs a page whose counter changes every frame some frames a
  // second), and always at the last frame. Only what changed is written,
  // and nothing is read back from the page's layout.
  zeWebShowText__deps: ['$ZeWebText'],
  zeWebShowText: function(force) {
    var text = ZeWebText;
    if (text.finished && !force) return;  // the page keeps the last frame's text
    if (text.lines.length || !force) text.pending = text.lines;
    text.lines = [];
    var now = performance.now();
    if (!force && now - text.shownAt < 100) return;
    text.shownAt = now;
    var lines = text.pending;
    var canvas = Module['canvas'];
    var box = text.box;
    if (!box) {
      if (!lines.length) return;
      box = text.box = document.createElement('div');
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
};

mergeInto(LibraryManager.library, LibraryZeWebText);
