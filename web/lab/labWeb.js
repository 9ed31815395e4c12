// The lab page's side of its program, linked with --js-library beside the
// platform layer's drapeWeb.js: what the program tells the page, and the
// scene the page fetched before the program started.

var LibraryZeLab = {
  zeLabProgress: function(frame, target) {
    if (Module['onProgress']) Module['onProgress'](frame, target);
  },

  zeLabTogglePanel: function() {
    if (Module['onTogglePanel']) Module['onTogglePanel']();
  },

  zeLabRefuse: function(line) {
    if (Module['onRefuse']) Module['onRefuse'](UTF8ToString(line));
  },

  // The page fetched ?scene=URL before starting the program.
  zeLabSceneText: function() {
    var text = Module['sceneText'];
    if (typeof text !== 'string') return 0;
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(text, copy, size);
    return copy;
  },

  // The page fetched ?collider=URL (a Wavefront OBJ) before starting.
  zeLabColliderText: function() {
    var text = Module['colliderText'];
    if (typeof text !== 'string') return 0;
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(text, copy, size);
    return copy;
  },

  // The files o, w and s wrote go to the person as downloads and leave the
  // page's memory.
  zeLabOfferNewFiles__deps: ['$FS'],
  zeLabOfferNewFiles: function() {
    var folder = FS.cwd();
    FS.readdir(folder).forEach(function(name) {
      if (!/^drape-\d+(-\d+)?\.(obj|shape|json)$/.test(name)) return;
      var path = folder + '/' + name;
      var data = FS.readFile(path);
      FS.unlink(path);
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([data], {type: 'application/octet-stream'}));
      link.download = name;
      document.body.appendChild(link);
      link.click();
      link.remove();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
      if (Module['onOffered']) Module['onOffered'](name);
    });
  },
};

mergeInto(LibraryManager.library, LibraryZeLab);
