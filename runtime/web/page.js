// The page's half of the browser back end, linked into the program as a JavaScript library:
// the windows and elements in the DOM, the browser's events turned into the runtime's reports
// (the C++ half's qv_report_* functions), the browser's decoders, and the pauses (Asyncify).
// It decides no rule of the runtime's: it shows what the C++ half says, and reports.

mergeInto(LibraryManager.library, {
  $QV: {
    windows: {},      // number -> window: {id, owner, dialog, frame, client, caption, visible, modal}
    elements: {},     // number -> element: {id, el, focusable, kind, window, box}
    pictures: [],     // stored picture number -> the browser's decoded ImageBitmap
    stack: [],        // windows shown, back to front
    active: 0,        // the window the keyboard goes to when no element has the focus
    waiting: null,    // the pause that waits: {token, wakeUp}
    pauseStarted: false,
    messageBox: null, // the message box shown: {token, frame, buttons, focusBefore}
    stackFloor: 0,
    ended: false,
    desktop: null,
    nextZ: 1,
    dragging: null,
    colours: null,    // the classic 3-D colours, read from the style sheet once

    // ---- start-up: the browser decodes every embedded picture and font, then main() runs ----
    start: function () {
      QV.desktop = document.getElementById('qv-desktop');
      QV.listen();
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

    // Each stored picture decoded by the browser from its BMP bytes, once: the ImageBitmap to draw
    // with, and its pixels handed to the C++ half for Point.
    decodePictures: function () {
      var canvas = document.createElement('canvas');
      var context = canvas.getContext('2d', {willReadFrequently: true});
      return Promise.all(QV.embeddedFiles(0).map(function (file, index) {
        var blob = new Blob([file.bytes], {type: 'image/bmp'});
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

    // Liberation Sans, the face the program's texts are laid out for, from the program's bytes.
    loadFonts: function () {
      var styles = {'regular': {}, 'bold': {weight: 'bold'}, 'bold-italic': {weight: 'bold', style: 'italic'}};
      return Promise.all(QV.embeddedFiles(1).map(function (file) {
        var face = new FontFace('Liberation Sans', file.bytes.buffer, styles[file.name] || {});
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
      if (QV.messageBox)
        QV.messageBox.frame.remove();
      QV.messageBox = null;
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

    // ---- the browser's events ----
    listen: function () {
      document.addEventListener('keydown', QV.onKey, true);
      document.addEventListener('keyup', QV.onKey, true);
      document.addEventListener('focusin', function (e) { QV.onFocus(e, 1); }, true);
      document.addEventListener('focusout', function (e) { QV.onFocus(e, 0); }, true);
      document.addEventListener('visibilitychange', function () {
        if (document.hidden && !QV.ended)
          _qv_report_page_hidden();
      });
      // The program has no menu of its own for the right button; the text boxes keep the
      // browser's (cut, copy, paste), as on the desktop.
      QV.desktop.addEventListener('contextmenu', function (e) {
        if (!e.target.closest('.qv-text'))
          e.preventDefault();
      });
    },

    // The runtime's key numbers (runtime/types.h, Key): Tab, Escape, Space, Enter, Home, Left,
    // Up, Right, Down.
    keyNumber: function (e) {
      var keys = {'Tab': 0, 'Escape': 1, 'Esc': 1, ' ': 2, 'Spacebar': 2, 'Enter': 3, 'Home': 4,
                  'ArrowLeft': 5, 'Left': 5, 'ArrowUp': 6, 'Up': 6, 'ArrowRight': 7, 'Right': 7,
                  'ArrowDown': 8, 'Down': 8};
      return e.key in keys ? keys[e.key] : -1;
    },

    shiftOf: function (e) {
      return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    },

    // A key goes to the runtime before the focused element sees it, in the window it was
    // pressed in (or the active one, when no element has the focus).
    onKey: function (e) {
      if (QV.ended || e.isComposing)
        return;
      if (QV.messageBox) {
        QV.messageBoxKey(e);
        return;
      }
      var key = QV.keyNumber(e);
      if (key < 0)
        return;
      var win = QV.windowOf(e.target) || QV.windows[QV.active];
      if (!win || !win.visible || win.frame.inert)
        return;
      QV.pauseStarted = false;
      var taken = _qv_report_key(win.id, key, QV.shiftOf(e), e.repeat ? 1 : 0, e.type == 'keydown' ? 1 : 0);
      // A key that started a pause (a modal window, the message box) was taken as well.
      if (taken || QV.pauseStarted) {
        e.preventDefault();
        e.stopPropagation();
      }
    },

    onFocus: function (e, gained) {
      if (QV.ended)
        return;
      var element = QV.elementOf(e.target);
      if (element && element.focusable === e.target)
        _qv_report_focus(element.id, gained);
    },

    windowOf: function (node) {
      var frame = node && node.closest ? node.closest('.qv-window') : null;
      return frame && frame.qvWindow ? frame.qvWindow : null;
    },

    elementOf: function (node) {
      var el = node && node.closest ? node.closest('[data-qv]') : null;
      return el ? QV.elements[el.dataset.qv] : null;
    },

    // The classic 3-D colours, from the style sheet's table of system colours (page.css).
    systemColours: function () {
      if (!QV.colours) {
        var style = getComputedStyle(document.documentElement);
        QV.colours = {};
        ['shadow', 'dark', 'highlight', 'light'].forEach(function (name) {
          QV.colours[name] = style.getPropertyValue('--' + name).trim();
        });
      }
      return QV.colours;
    },

    // ---- windows ----
    iconSource: function () {
      var icon = document.querySelector('link[rel="icon"][sizes="16x16"]') || document.querySelector('link[rel="icon"]');
      return icon ? icon.href : '';
    },

    makeFrame: function (id, captionText, closeLabel) {
      var frame = document.createElement('div');
      frame.className = 'qv-window';
      frame.tabIndex = -1;
      frame.hidden = true;
      var caption = document.createElement('div');
      caption.className = 'qv-caption';
      var icon = document.createElement('img');
      icon.className = 'qv-icon';
      icon.alt = '';
      icon.src = QV.iconSource();
      var title = document.createElement('span');
      title.className = 'qv-title';
      title.id = id + '-caption';
      title.textContent = captionText;
      var close = document.createElement('button');
      close.className = 'qv-close';
      close.type = 'button';
      close.tabIndex = -1;
      close.setAttribute('aria-label', closeLabel);
      // The close button takes no focus: the focus stays where the keyboard left it.
      close.addEventListener('mousedown', function (e) { e.preventDefault(); });
      caption.append(icon, title, close);
      var client = document.createElement('div');
      client.className = 'qv-client';
      frame.append(caption, client);
      frame.setAttribute('aria-labelledby', title.id);
      return {frame: frame, caption: caption, client: client, close: close};
    },

    raise: function (win) {
      QV.stack = QV.stack.filter(function (w) { return w !== win; });
      QV.stack.push(win);
      win.frame.style.zIndex = QV.nextZ++;
      QV.activate(win);
    },

    activate: function (win) {
      QV.active = win ? win.id : 0;
      for (var id in QV.windows)
        QV.windows[id].frame.classList.toggle('qv-active', QV.windows[id] === win && !QV.messageBox);
    },

    // A modal window or the message box keeps every other window from input until it goes.
    updateInert: function () {
      var blocker = QV.messageBox ? null : QV.stack.filter(function (w) { return w.modal; }).pop();
      for (var id in QV.windows) {
        var win = QV.windows[id];
        win.frame.inert = !!QV.messageBox || (!!blocker && win !== blocker);
      }
    },

    // The part of the page in view, in the page's pixels (the desktop's, which starts at the
    // page's corner).
    visibleArea: function () {
      var root = document.documentElement;
      return {x: window.scrollX, y: window.scrollY, w: root.clientWidth, h: root.clientHeight};
    },

    // Moving a window by its caption bar, as on the desktop.
    dragCaption: function (win, e) {
      if (e.button !== 0 || e.target === win.close || win.frame.inert)
        return;
      e.preventDefault();
      win.caption.setPointerCapture(e.pointerId);
      QV.dragging = {win: win, x: e.pageX - win.x, y: e.pageY - win.y};
    },

    // However far it is dragged, the caption bar stays in view, whole from top to bottom and at
    // least 24 pixels of it across, so that the window can be taken back. The desktop clips what
    // goes past its edge (page.css): a drag never makes the page scroll.
    moveCaption: function (win, e) {
      var drag = QV.dragging;
      if (!drag || drag.win !== win)
        return;
      var view = QV.visibleArea(), reach = 24;
      // The caption bar spans the client area's width and ends 1 pixel above it.
      var x = Math.round(e.pageX - drag.x), top = Math.round(e.pageY - drag.y) - 22;
      x = Math.min(Math.max(x, view.x + reach - win.width), view.x + view.w - reach);
      top = Math.max(Math.min(top, view.y + view.h - 22), view.y);
      win.x = x;
      win.y = top + 22;
      QV.place(win);
    },

    place: function (win) {
      win.frame.style.left = (win.x - 3) + 'px';
      win.frame.style.top = (win.y - 22) + 'px';
    },

    // The desktop reaches as far as every window shown reaches where the program placed it,
    // so that the page scrolls to every part of a window larger than the view.
    fitDesktop: function () {
      var right = 0, bottom = 0;
      for (var id in QV.windows) {
        var win = QV.windows[id];
        if (win.visible) {
          right = Math.max(right, win.reach.right);
          bottom = Math.max(bottom, win.reach.bottom);
        }
      }
      QV.desktop.style.minWidth = right + 'px';
      QV.desktop.style.minHeight = 'max(100%, ' + bottom + 'px)';
    },

    // ---- elements ----
    // The element that shows a control of kind `kind` (runtime/types.h, Kind): PictureBox,
    // TextBox, Label, Frame, CommandButton, CheckBox, OptionButton.
    makeElement: function (kind) {
      var el, focusable = null, text = null;
      switch (kind) {
      case 0:
        el = document.createElement('div');
        el.className = 'qv-box';
        el.appendChild(document.createElement('canvas')).setAttribute('aria-hidden', 'true');
        break;
      case 1:
        el = focusable = document.createElement('input');
        el.type = 'text';
        el.className = 'qv-text';
        el.spellcheck = false;
        el.autocomplete = 'off';
        break;
      case 2:
        el = text = document.createElement('div');
        el.className = 'qv-label';
        break;
      case 3:
        el = document.createElement('fieldset');
        el.className = 'qv-frame';
        text = document.createElement('legend');
        text.className = 'qv-legend';
        var etch = document.createElement('div');
        etch.className = 'qv-etch';
        el.append(text, etch);
        break;
      case 4:
        el = focusable = text = document.createElement('button');
        el.type = 'button';
        el.className = 'qv-button';
        break;
      default:
        el = document.createElement('label');
        el.className = kind == 5 ? 'qv-check' : 'qv-option';
        focusable = document.createElement('input');
        // No name: the browser groups no option buttons of its own; the runtime does.
        focusable.type = kind == 5 ? 'checkbox' : 'radio';
        text = document.createElement('span');
        el.append(focusable, text);
        break;
      }
      el.classList.add('qv-control');
      return {el: el, focusable: focusable, text: text};
    },

    listenToElement: function (element) {
      var id = element.id;
      switch (element.kind) {
      case 0: QV.listenToBox(element); break;
      case 1:
        element.el.addEventListener('input', function () {
          if (QV.ended)
            return;
          var text = element.el.value, size = lengthBytesUTF8(text) + 1, sp = stackSave();
          var ptr = stackAlloc(size);
          stringToUTF8(text, ptr, size);
          _qv_report_text(id, ptr);
          stackRestore(sp);
        });
        break;
      case 5:
        element.focusable.addEventListener('change', function () {
          if (!QV.ended)
            _qv_report_check(id, element.focusable.checked ? 1 : 0);
        });
        break;
      case 6:
        element.focusable.addEventListener('change', function () {
          if (!QV.ended && element.focusable.checked)
            _qv_report_option(id);
        });
        break;
      }
    },

    // The pointer over a picture box, in whole pixels of its drawing area, the box keeping it
    // from a press until the last button is up (pointer capture). Buttons and Shift as
    // runtime/types.h numbers them: 1 left, 2 right, 4 middle; a touch is the left button.
    listenToBox: function (element) {
      var el = element.el, box = element.box = {held: 0, areaX: 0, areaY: 0, pointer: null};
      var bitOf = [1, 4, 2];
      function pixel(e) {
        var r = el.getBoundingClientRect();
        return [Math.floor(e.clientX - r.left) - box.areaX, Math.floor(e.clientY - r.top) - box.areaY];
      }
      function report(event, e, button) {
        var p = pixel(e);
        _qv_report_pointer(element.id, event, p[0], p[1], button, box.held, QV.shiftOf(e));
      }
      function buttonChanged(e) {
        var bit = bitOf[e.button] || 0;
        if (!bit)
          return;
        if (e.buttons & bit) {
          box.held |= bit;
          if (box.pointer === null) {
            box.pointer = e.pointerId;
            el.setPointerCapture(e.pointerId);
          }
          report(0, e, bit);
        } else if (box.held & bit) {
          box.held &= ~bit;
          if (!box.held) {
            // The last button up ends the press, whether or not the capture's end is told.
            if (el.hasPointerCapture(e.pointerId))
              el.releasePointerCapture(e.pointerId);
            box.pointer = null;
          }
          report(2, e, bit);
        }
      }
      el.addEventListener('pointerdown', function (e) {
        if (QV.ended || (box.pointer !== null && box.pointer !== e.pointerId))
          return;
        e.preventDefault();
        buttonChanged(e);
      });
      el.addEventListener('pointermove', function (e) {
        if (QV.ended || (box.pointer !== null && box.pointer !== e.pointerId))
          return;
        // Another button pressed or let go while one is held comes as a move.
        if (e.button >= 0)
          buttonChanged(e);
        else
          report(1, e, 0);
      });
      el.addEventListener('pointerup', function (e) {
        if (QV.ended || box.pointer !== e.pointerId)
          return;
        buttonChanged(e);
      });
      el.addEventListener('lostpointercapture', function (e) {
        if (box.pointer !== e.pointerId)
          return;
        box.pointer = null;
        // Taken away with buttons still held: their releases go elsewhere.
        if (box.held && !QV.ended) {
          box.held = 0;
          _qv_report_pointer(element.id, 4, 0, 0, 0, 0, 0);
        }
      });
      el.addEventListener('pointercancel', function (e) {
        if (box.pointer === e.pointerId && box.held && !QV.ended) {
          box.held = 0;
          _qv_report_pointer(element.id, 4, 0, 0, 0, 0, 0);
        }
      });
      el.addEventListener('pointerleave', function () {
        if (!QV.ended && !box.held)
          _qv_report_pointer(element.id, 3, 0, 0, 0, 0, 0);
      });
      // A press takes no focus: the keyboard's focus stays where it was.
      el.addEventListener('mousedown', function (e) { e.preventDefault(); });
      // A click that no pointer made is assistive technology asking for the default action.
      el.addEventListener('click', function (e) {
        if (QV.ended || e.detail !== 0)
          return;
        var part = e.target.closest('.qv-part');
        _qv_report_action(element.id, part ? Number(part.dataset.part) : -1);
      });
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
    },

    // ---- the message box ----
    messageBoxKey: function (e) {
      var box = QV.messageBox;
      if (e.type != 'keydown')
        return;
      if (e.key == 'Escape' || e.key == 'Esc') {
        e.preventDefault();
        QV.closeMessageBox(-1);
      } else if (e.key == 'Tab') {
        // Round the box's own buttons.
        e.preventDefault();
        var at = box.buttons.indexOf(document.activeElement);
        var n = box.buttons.length;
        box.buttons[(at + (e.shiftKey ? n - 1 : 1) + n) % n].focus();
      } else if (e.key == 'Enter') {
        e.preventDefault();
        var focused = box.buttons.indexOf(document.activeElement);
        QV.closeMessageBox(focused >= 0 ? focused : box.defaultChoice);
      }
    },

    closeMessageBox: function (choice) {
      var box = QV.messageBox;
      if (!box)
        return;
      QV.messageBox = null;
      box.frame.remove();
      QV.updateInert();
      var top = QV.stack.filter(function (w) { return w.visible; }).pop();
      QV.activate(top || null);
      if (box.focusBefore && box.focusBefore.isConnected)
        box.focusBefore.focus();
      QV.resume(box.token, choice);
    },

    // The four classic icons, drawn in SVG: none for any other request.
    messageIcon: function (icon) {
      var shapes = {
        1: '<circle cx="16" cy="16" r="14" fill="#f00" stroke="#800000"/><path d="M10 10l12 12M22 10l-12 12" stroke="#fff" stroke-width="3"/>',
        2: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="23" font-size="20" font-weight="bold" text-anchor="middle" fill="#00f">?</text>',
        3: '<path d="M16 2L31 29H1z" fill="#ff0" stroke="#000"/><text x="16" y="27" font-size="20" font-weight="bold" text-anchor="middle">!</text>',
        4: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="24" font-size="20" font-weight="bold" font-family="serif" text-anchor="middle" fill="#00f">i</text>'
      };
      if (!shapes[icon])
        return null;
      var svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
      svg.setAttribute('width', '32');
      svg.setAttribute('height', '32');
      svg.setAttribute('aria-hidden', 'true');
      svg.innerHTML = shapes[icon];
      return svg;
    }
  },

  // ---- what the C++ half calls (runtime/web/page.h) ----

  qv_window_create__deps: ['$QV'],
  qv_window_create: function (id, owner, dialog, domId, caption, width, height) {
    var name = UTF8ToString(domId);
    var parts = QV.makeFrame(name, UTF8ToString(caption), 'Close');
    var win = {id: id, owner: owner, dialog: !!dialog, visible: false, modal: false, x: 0, y: 0,
               width: width, height: height, frame: parts.frame, caption: parts.caption,
               client: parts.client, close: parts.close, anchor: null, focusBefore: null};
    win.frame.id = name;
    win.frame.qvWindow = win;
    win.frame.setAttribute('role', dialog ? 'dialog' : 'region');
    win.frame.style.width = (width + 6) + 'px';
    win.frame.style.height = (height + 25) + 'px';
    win.client.style.width = width + 'px';
    win.client.style.height = height + 'px';
    win.close.addEventListener('click', function () {
      if (!QV.ended)
        _qv_report_close(id);
    });
    win.caption.addEventListener('pointerdown', function (e) { QV.dragCaption(win, e); });
    win.caption.addEventListener('pointermove', function (e) { QV.moveCaption(win, e); });
    win.caption.addEventListener('lostpointercapture', function () { QV.dragging = null; });
    // A press anywhere in a window brings it to the front, as a window system does.
    win.frame.addEventListener('pointerdown', function () {
      if (win.visible && !win.frame.inert && QV.stack[QV.stack.length - 1] !== win)
        QV.raise(win);
      else if (win.visible)
        QV.activate(win);
    }, true);
    QV.windows[id] = win;
    QV.desktop.appendChild(win.frame);
  },

  qv_window_destroy__deps: ['$QV'],
  qv_window_destroy: function (id) {
    var win = QV.windows[id];
    if (!win)
      return;
    win.frame.remove();
    delete QV.windows[id];
    QV.stack = QV.stack.filter(function (w) { return w !== win; });
  },

  qv_window_show__deps: ['$QV'],
  qv_window_show: function (id, x, y, modal) {
    var win = QV.windows[id];
    if (!win)
      return;
    var wasVisible = win.visible;
    win.x = x;
    win.y = y;
    win.reach = {right: x + win.width + 3, bottom: y + win.height + 3};
    QV.place(win);
    if (!wasVisible) {
      // The focus the window it covers had, given back when it goes.
      win.focusBefore = document.activeElement;
      win.modal = !!modal;
      if (modal)
        win.frame.setAttribute('aria-modal', 'true');
      else
        win.frame.removeAttribute('aria-modal');
    }
    win.visible = true;
    win.frame.hidden = false;
    QV.fitDesktop();
    QV.raise(win);
    QV.updateInert();
    // The keyboard goes to the window, until the runtime gives the focus to a control of it.
    if (!wasVisible && !win.frame.contains(document.activeElement))
      win.frame.focus({preventScroll: true});
  },

  qv_window_hide__deps: ['$QV'],
  qv_window_hide: function (id) {
    var win = QV.windows[id];
    if (!win || !win.visible)
      return;
    var hadFocus = win.frame.contains(document.activeElement);
    win.visible = false;
    win.modal = false;
    win.frame.hidden = true;
    QV.fitDesktop();
    QV.stack = QV.stack.filter(function (w) { return w !== win; });
    QV.updateInert();
    var top = QV.stack.filter(function (w) { return w.visible; }).pop();
    QV.activate(top || null);
    if (hadFocus && win.focusBefore && win.focusBefore.isConnected && !win.focusBefore.closest('[inert]'))
      win.focusBefore.focus({preventScroll: true});
    win.focusBefore = null;
  },

  qv_window_describe__deps: ['$QV'],
  qv_window_describe: function (id, ids) {
    var win = QV.windows[id];
    if (!win)
      return;
    var list = UTF8ToString(ids);
    if (list)
      win.frame.setAttribute('aria-describedby', list);
    else
      win.frame.removeAttribute('aria-describedby');
  },

  qv_window_origin__deps: ['$QV'],
  qv_window_origin: function (id, xy) {
    var win = QV.windows[id];
    HEAP32[xy >> 2] = win ? win.x : 0;
    HEAP32[(xy >> 2) + 1] = win ? win.y : 0;
  },

  qv_visible_area__deps: ['$QV'],
  qv_visible_area: function (xywh) {
    var view = QV.visibleArea();
    HEAP32.set([view.x, view.y, view.w, view.h], xywh >> 2);
  },

  qv_element_create__deps: ['$QV'],
  qv_element_create: function (id, window, container, kind, domId, x, y, width, height) {
    var win = QV.windows[window];
    var made = QV.makeElement(kind);
    var element = {id: id, kind: kind, window: win, el: made.el, focusable: made.focusable,
                   text: made.text, anchor: null};
    var el = made.el;
    el.id = UTF8ToString(domId);
    el.dataset.qv = id;
    el.style.left = x + 'px';
    el.style.top = y + 'px';
    el.style.width = width + 'px';
    el.style.height = height + 'px';
    if (kind === 0) {
      var canvas = el.firstChild;
      canvas.width = width;
      canvas.height = height;
    } else if (kind === 3) {
      made.text.id = el.id + '-caption';
    }
    // A control stored earlier lies above one stored later: each goes in front of the ones made
    // before it in its container, so that the page also reads from the top down.
    var parent = container ? QV.elements[container] : win;
    var host = container ? parent.el : win.client;
    host.insertBefore(el, parent.anchor);
    parent.anchor = el;
    QV.elements[id] = element;
    QV.listenToElement(element);
  },

  qv_element_destroy__deps: ['$QV'],
  qv_element_destroy: function (id) {
    var element = QV.elements[id];
    if (!element)
      return;
    element.el.remove();
    delete QV.elements[id];
  },

  qv_element_set_text__deps: ['$QV'],
  qv_element_set_text: function (id, text) {
    var element = QV.elements[id];
    if (!element)
      return;
    var value = UTF8ToString(text);
    if (element.kind === 1) {
      element.el.value = value;
      element.el.setSelectionRange(0, 0);
    } else if (element.text) {
      element.text.textContent = value;
    }
  },

  qv_element_set_value__deps: ['$QV'],
  qv_element_set_value: function (id, value) {
    var element = QV.elements[id];
    if (element && element.focusable)
      element.focusable.checked = !!value;
  },

  qv_element_set_style__deps: ['$QV'],
  qv_element_set_style: function (id, back, fore, font) {
    var element = QV.elements[id];
    if (!element)
      return;
    var style = element.el.style;
    style.backgroundColor = UTF8ToString(back);
    style.color = UTF8ToString(fore);
    style.font = UTF8ToString(font);
  },

  qv_element_focus__deps: ['$QV'],
  qv_element_focus: function (id) {
    var element = QV.elements[id];
    if (!element || !element.focusable)
      return;
    element.focusable.focus({preventScroll: true});
    if (element.kind === 1)
      element.focusable.select();
  },

  qv_element_set_focus_indicator__deps: ['$QV'],
  qv_element_set_focus_indicator: function (id, shown) {
    var element = QV.elements[id];
    if (element)
      element.el.classList.toggle('qv-focus', !!shown);
  },

  qv_box_paint__deps: ['$QV'],
  qv_box_paint: function (id, picture, ax, ay, aw, ah, border, back, focus) {
    var element = QV.elements[id];
    if (!element || !element.box)
      return;
    element.box.areaX = ax;
    element.box.areaY = ay;
    var canvas = element.el.firstChild;
    var g = canvas.getContext('2d');
    var w = canvas.width, h = canvas.height;
    function line(colour, x, y, width, height) {
      g.fillStyle = colour;
      g.fillRect(x, y, width, height);
    }
    if (border) {
      // The classic sunken border, two pixels: shadow and dark shadow above and left,
      // highlight and light below and right.
      var c = QV.systemColours();
      line(c.shadow, 0, 0, w - 1, 1);
      line(c.shadow, 0, 0, 1, h - 1);
      line(c.highlight, 0, h - 1, w, 1);
      line(c.highlight, w - 1, 0, 1, h);
      line(c.dark, 1, 1, w - 3, 1);
      line(c.dark, 1, 1, 1, h - 3);
      line(c.light, 1, h - 2, w - 2, 1);
      line(c.light, w - 2, 1, 1, h - 2);
    }
    line('#' + (back >>> 0).toString(16).padStart(6, '0'), ax, ay, aw, ah);
    var bitmap = QV.pictures[picture];
    if (picture >= 0 && bitmap) {
      g.save();
      g.beginPath();
      g.rect(ax, ay, aw, ah);
      g.clip();
      g.drawImage(bitmap, ax, ay);
      g.restore();
    }
    if (focus) {
      // The classic dotted focus rectangle round the drawing area: every other pixel, on the
      // pixels of one colour of a checkerboard.
      g.fillStyle = '#000000';
      for (var x = 0; x < aw; ++x) {
        if (x % 2 === 0)
          g.fillRect(ax + x, ay, 1, 1);
        if ((x + ah - 1) % 2 === 0)
          g.fillRect(ax + x, ay + ah - 1, 1, 1);
      }
      for (var y = 1; y < ah - 1; ++y) {
        if (y % 2 === 0)
          g.fillRect(ax, ay + y, 1, 1);
        if ((aw - 1 + y) % 2 === 0)
          g.fillRect(ax + aw - 1, ay + y, 1, 1);
      }
    }
  },

  qv_aria__deps: ['$QV'],
  qv_aria: function (id, role, name, labelledBy, description, focusable, checked) {
    var element = QV.elements[id];
    if (!element)
      return;
    var el = element.focusable || element.el;
    var r = UTF8ToString(role), n = UTF8ToString(name), l = UTF8ToString(labelledBy), d = UTF8ToString(description);
    function set(attribute, value) {
      if (value === null || value === '')
        el.removeAttribute(attribute);
      else if (el.getAttribute(attribute) !== value)
        el.setAttribute(attribute, value);
    }
    if (r)
      set('role', r);
    set('aria-label', n);
    set('aria-labelledby', l);
    set('aria-description', d);
    set('aria-checked', checked < 0 ? null : checked ? 'true' : 'false');
    if (element.kind === 0) {
      if (focusable) {
        el.tabIndex = -1;
        element.focusable = el;
      } else {
        el.removeAttribute('tabindex');
      }
    }
  },

  qv_aria_group__deps: ['$QV'],
  qv_aria_group: function (id, group, frameId) {
    var element = QV.elements[id];
    if (!element)
      return;
    var name = UTF8ToString(group);
    var radios = document.getElementById(name);
    if (!radios) {
      radios = document.createElement('div');
      radios.id = name;
      radios.className = 'qv-part';
      radios.setAttribute('role', 'radiogroup');
      // Named by its frame's caption, and beside the frame rather than in it: inside, its
      // buttons would be read in two groups of that one name.
      var frame = document.getElementById(UTF8ToString(frameId));
      var legend = frame && frame.querySelector('legend');
      if (legend)
        radios.setAttribute('aria-labelledby', legend.id);
      var before = legend ? frame : element.el;
      before.parentNode.insertBefore(radios, before);
    }
    var owned = (radios.getAttribute('aria-owns') || '').split(' ').filter(Boolean);
    // A standard option button's radio is its input, inside the label that shows its text.
    var radio = element.kind === 6 ? element.focusable : element.el;
    if (!radio.id)
      radio.id = element.el.id + '-radio';
    owned.push(radio.id);
    // Read in the page's order, from the top down.
    owned.sort(function (a, b) {
      return document.getElementById(a).compareDocumentPosition(document.getElementById(b)) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1;
    });
    radios.setAttribute('aria-owns', owned.join(' '));
  },

  qv_aria_parts__deps: ['$QV'],
  qv_aria_parts: function (id, names, rects, count) {
    var element = QV.elements[id];
    if (!element)
      return;
    var list = UTF8ToString(names).split('\n');
    element.parts = [];
    for (var i = 0; i < count; ++i) {
      var part = document.createElement('div');
      part.className = 'qv-part';
      part.id = element.el.id + '-' + list[i];
      part.dataset.part = i;
      part.setAttribute('role', 'button');
      part.setAttribute('aria-label', list[i]);
      var r = (rects >> 2) + i * 4;
      part.style.left = HEAP32[r] + 'px';
      part.style.top = HEAP32[r + 1] + 'px';
      part.style.width = HEAP32[r + 2] + 'px';
      part.style.height = HEAP32[r + 3] + 'px';
      element.el.appendChild(part);
      element.parts.push(part);
    }
  },

  qv_aria_active_part__deps: ['$QV'],
  qv_aria_active_part: function (id, active) {
    var element = QV.elements[id];
    if (!element || !element.parts)
      return;
    // The key the keyboard pressed last, which a screen reader follows.
    if (active >= 0 && element.parts[active])
      element.el.setAttribute('aria-activedescendant', element.parts[active].id);
    else
      element.el.removeAttribute('aria-activedescendant');
  },

  qv_message_box__deps: ['$QV'],
  qv_message_box: function (token, owner, title, prompt, icon, choices, defaultChoice) {
    var parts = QV.makeFrame('qv-message', UTF8ToString(title), 'Close');
    var frame = parts.frame;
    frame.classList.add('qv-msgbox');
    frame.setAttribute('role', 'alertdialog');
    frame.setAttribute('aria-modal', 'true');
    var message = document.createElement('div');
    message.className = 'qv-message';
    var svg = QV.messageIcon(icon);
    if (svg)
      message.appendChild(svg);
    var text = document.createElement('p');
    text.className = 'qv-prompt';
    text.id = 'qv-message-prompt';
    text.textContent = UTF8ToString(prompt);
    message.appendChild(text);
    frame.setAttribute('aria-describedby', text.id);
    var row = document.createElement('div');
    row.className = 'qv-choices';
    var buttons = UTF8ToString(choices).split('\n').map(function (label, index) {
      var button = document.createElement('button');
      button.type = 'button';
      button.className = 'qv-button';
      button.textContent = label;
      button.addEventListener('click', function () { QV.closeMessageBox(index); });
      button.addEventListener('focus', function () { button.classList.add('qv-focus'); });
      button.addEventListener('blur', function () { button.classList.remove('qv-focus'); });
      row.appendChild(button);
      return button;
    });
    parts.client.append(message, row);
    parts.close.addEventListener('click', function () { QV.closeMessageBox(-1); });
    QV.messageBox = {token: token, frame: frame, buttons: buttons, defaultChoice: defaultChoice,
                     focusBefore: document.activeElement};
    frame.hidden = false;
    frame.style.zIndex = QV.nextZ++;
    frame.style.visibility = 'hidden';
    QV.desktop.appendChild(frame);
    // Centred over the window it belongs to, within the part of the page in view.
    var over = QV.windows[owner], view = QV.visibleArea();
    var area = over && over.visible ? {x: over.x - 3, y: over.y - 22, w: over.width + 6, h: over.height + 25} : view;
    var left = Math.round(area.x + (area.w - frame.offsetWidth) / 2);
    var top = Math.round(area.y + (area.h - frame.offsetHeight) / 2);
    frame.style.left = Math.max(view.x, Math.min(left, view.x + view.w - frame.offsetWidth)) + 'px';
    frame.style.top = Math.max(view.y, Math.min(top, view.y + view.h - frame.offsetHeight)) + 'px';
    frame.style.visibility = '';
    QV.activate(null);
    frame.classList.add('qv-active');
    QV.updateInert();
    (buttons[defaultChoice] || buttons[0]).focus({preventScroll: true});
  },

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
