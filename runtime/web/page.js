// The page's half of the browser back end, linked into the program as JavaScript libraries,
// one file for each part: this one holds what they share (the page's state), its start with the
// browser's decoders, its end, texts measured and the pauses (Asyncify); windows.js the windows,
// keyboard.js the keyboard, elements.js the elements, boxes.js the picture boxes and aria.js
// what assistive technology reads. The page reports the browser's
// events to the C++ half (its qv_report_* functions) in the browser's own terms, which the
// C++ half translates: it decides no rule of the runtime's, and shows what the C++ half says.

mergeInto(LibraryManager.library, {
  $QV__deps: ['$QVWindows', '$QVKeyboard', '$QVBoxes'],
  $QV: {
    windows: {},      // number -> window (windows.js)
    elements: {},     // number -> element (elements.js)
    pictures: [],     // stored picture number -> the browser's decoded ImageBitmap
    stack: [],        // windows shown, back to front
    active: 0,        // the window the keyboard goes to when no element has the focus
    waiting: null,    // the pause that waits: {token, wakeUp}
    pauseStarted: false,
    stackFloor: 0,
    ended: false,
    desktop: null,
    nextZ: 1,

    // ---- start-up: the browser decodes every embedded picture and font, then main() runs ----
    start: function () {
      QV.desktop = document.getElementById('qv-desktop');
      QVWindows.start();
      QVKeyboard.start();
      QVBoxes.start();
      Promise.all([QV.decodePictures(), QV.loadFonts()]).then(function () {
        QV.desktop.classList.remove('qv-busy');
        try {
          callMain([]);
        } catch (e) {
          QV.stopped(e);
        }
        QV.keepStack();
      }, QV.stopped);
    },

    embeddedFiles: function (which) {
      var entry = _malloc(12);
      var files = [];
      var count = _qv_embedded_file(which, -1, entry);
      for (var i = 0; i < count; ++i) {
        _qv_embedded_file(which, i, entry);
        var bytes = HEAPU32[(entry >> 2) + 1], size = HEAPU32[(entry >> 2) + 2];
        files.push({name: UTF8ToString(HEAPU32[entry >> 2]), bytes: HEAPU8.slice(bytes, bytes + size)});
      }
      _free(entry);
      return files;
    },

    // Each stored picture decoded by the browser from its PNG bytes, once: the ImageBitmap to draw
    // with, and its pixels handed to the C++ half for Point.
    decodePictures: function () {
      var canvas = document.createElement('canvas');
      var context = canvas.getContext('2d', {willReadFrequently: true});
      return Promise.all(QV.embeddedFiles(0).map(function (file, index) {
        var blob = new Blob([file.bytes], {type: 'image/png'});
        return createImageBitmap(blob, {premultiplyAlpha: 'none', colorSpaceConversion: 'none'}).then(function (bitmap) {
          QV.pictures[index] = bitmap;
          canvas.width = bitmap.width;
          canvas.height = bitmap.height;
          context.clearRect(0, 0, bitmap.width, bitmap.height);
          context.drawImage(bitmap, 0, 0);
          var pixels = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
          var rgba = _malloc(pixels.length);
          HEAPU8.set(pixels, rgba);
          _qv_report_picture(index, bitmap.width, bitmap.height, rgba);
        }, function () {
          // Left undecoded: the program says which picture it lacks (run-time error 481).
        });
      }));
    },

    // Quorvel Sans, the face the program's texts are laid out for, from the program's bytes.
    loadFonts: function () {
      var styles = {'regular': {}, 'bold': {weight: 'bold'}, 'bold-italic': {weight: 'bold', style: 'italic'}};
      return Promise.all(QV.embeddedFiles(1).map(function (file) {
        var face = new FontFace('Quorvel Sans', file.bytes.buffer, styles[file.name] || {});
        document.fonts.add(face);
        return face.loaded.catch(function () { });
      }));
    },

    // The program handed itself to the browser by an exception that left main()'s frames:
    // their stack stays reserved, down to where the program left it.
    keepStack: function () {
      if (QV.stackFloor) {
        stackRestore(QV.stackFloor);
        QV.stackFloor = 0;
      }
    },

    // The program stopped by a fault of the page's own: said in one line, like its end.
    stopped: function (what) {
      if (QV.ended)
        return;
      QV.end(document.title + ' stopped: ' + (what && what.message ? what.message : String(what)) + '. ');
    },

    end: function (line) {
      QV.ended = true;
      for (var id in QV.windows)
        QV.windows[id].frame.remove();
      QV.desktop.hidden = true;
      var status = document.getElementById('qv-status');
      status.textContent = line;
      var again = document.createElement('a');
      again.href = '';
      again.textContent = 'Start it again';
      status.appendChild(again);
    },

    // ---- pauses ----
    resume: function (token, value) {
      var waiting = QV.waiting;
      if (!waiting || waiting.token !== token)
        return;
      QV.waiting = null;
      // Rewinding starts from the browser, never from inside the program.
      queueMicrotask(function () {
        try {
          waiting.wakeUp(value);
        } catch (e) {
          if (e !== 'unwind')
            throw e;
          QV.keepStack();
        }
      });
    }
  },

  // ---- what the C++ half calls (runtime/web/page.h) ----

  qv_wait__deps: ['$QV', '$Asyncify'],
  qv_wait: function (token) {
    return Asyncify.handleSleep(function (wakeUp) {
      QV.waiting = {token: token, wakeUp: wakeUp};
      QV.pauseStarted = true;
    });
  },

  qv_resume__deps: ['$QV'],
  qv_resume: function (token, value) {
    QV.resume(token, value);
  },

  qv_measure_text__deps: ['$QV'],
  qv_measure_text: function (font, text, size) {
    var probe = document.createElement('span');
    probe.style.cssText = 'position: absolute; visibility: hidden; white-space: pre';
    probe.style.font = UTF8ToString(font);
    probe.textContent = UTF8ToString(text);
    QV.desktop.appendChild(probe);
    var r = probe.getBoundingClientRect();
    probe.remove();
    HEAP32.set([Math.ceil(r.width), Math.ceil(r.height)], size >> 2);
  },

  qv_hand_over__deps: ['$QV'],
  qv_hand_over: function (stackFloor) {
    QV.stackFloor = stackFloor;
  },

  qv_end__deps: ['$QV'],
  qv_end: function (status) {
    if (QV.ended)
      return;
    var why = Module['lastError'] ? ': ' + Module['lastError'] : ' (status ' + status + ')';
    QV.end(document.title + (status === 0 ? ' has ended. ' : ' ended after an error' + why + '. '));
  }
});
