// The start-up every page of a program shares. A page holds a canvas#canvas,
// a span#status for its one line and a pre#errors, loads this script before
// its own and then calls zePage.start({...}) to run its program:
//   script   the program's script (drape.js)
//   name     the program as the page's line names it ("drape", "the lab")
//   module   the page's own Module fields, over the ones made here
// Anything that goes wrong lands in #errors (where a test reading the page
// can see it) and in the line; a value the program cannot take shows as the
// line alone (zePage.refuse), and nothing runs.
(function () {
  'use strict';
  var status = document.getElementById('status');
  var errors = document.getElementById('errors');
  var canvas = document.getElementById('canvas');
  var params = new URLSearchParams(location.search);
  var refused = false;

  function show(line) { status.textContent = line; }
  function fault(text) {
    errors.textContent += text + '\n';
    show('error: ' + text);
  }
  function refuse(line) {
    refused = true;
    show(line);
  }

  var consoleError = console.error.bind(console);
  console.error = function () {
    fault(Array.prototype.join.call(arguments, ' '));
    consoleError.apply(null, arguments);
  };
  window.addEventListener('error', function (e) { fault(String(e.message)); });
  window.addEventListener('unhandledrejection', function (e) { fault(String(e.reason)); });

  // Frames on timers when asked: headless browsers advance timers in
  // virtual time, not animation frames. The frames themselves are the same.
  if (params.has('frames') || params.get('timers') === '1') {
    window.requestAnimationFrame = function (callback) {
      return setTimeout(function () { callback(performance.now()); }, 16);
    };
  }

  canvas.width = window.innerWidth;
  canvas.height = window.innerHeight;
  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  canvas.addEventListener('webglcontextlost', function (e) {
    fault('the WebGL context was lost');
    e.preventDefault();
  });

  function start(page) {
    var module = {
      canvas: canvas,
      print: function (text) { console.log(text); },
      printErr: function (text) { console.warn(text); },
      onRuntimeInitialized: function () { show('running'); },
      onRefuse: refuse,
      onFinish: show,
      // A program that ends by itself says so, unless the line already
      // holds its result or its refusal.
      onExit: function (code) {
        if (refused || /^cloth digest/.test(status.textContent)) return;
        show(code === 0 ? page.name + ' has ended.' : page.name + ' has ended with status ' + code + '.');
      },
      onAbort: function (what) { fault(page.name + ' stopped: ' + what); },
    };
    var own = page.module || {};
    Object.keys(own).forEach(function (key) { module[key] = own[key]; });
    window.Module = module;
    var script = document.createElement('script');
    script.src = page.script;
    script.async = true;
    // A program that cannot be loaded would otherwise leave the line at
    // "starting" for good: a failed load is no error event of the window.
    script.addEventListener('error', function () { fault('could not load ' + page.script); });
    document.body.appendChild(script);
  }

  window.zePage = {
    canvas: canvas,
    params: params,  // the page's address
    show: show,
    fault: fault,
    refuse: refuse,
    refused: function () { return refused; },
    start: start,
  };
})();
