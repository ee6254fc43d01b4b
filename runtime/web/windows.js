// The page's windows, as a desktop's window manager keeps them: each form's frame with its
// caption bar and close button, front to back, the one active (reported, so that the runtime
// gives it the focus back), inert while the runtime says a modal window blocks it, moved by
// their captions and kept within reach; every window and control on whole device pixels.

mergeInto(LibraryManager.library, {
  $QVWindows__deps: ['$QV', '$QVBoxes'],
  $QVWindows: {
    frame: null,    // round each client area, as page.css has it: {left, top, right, bottom}
    dragging: null, // the window moved by its caption: {win, x, y}
    ratio: 1,       // the device pixel ratio everything was placed for

    start: function () {
      QVWindows.useRatio();
      QVWindows.followRatio();
      addEventListener('resize', function () {
        if (devicePixelRatio !== QVWindows.ratio)
          QVWindows.placeAll();
        QVWindows.keepReachable();
      });
      document.addEventListener('visibilitychange', function () {
        if (document.hidden && !QV.ended)
          _qv_report_page_hidden();
      });
      // A press on no window (the desktop, or a window a modal window keeps inert) leaves the
      // focus where it is, in the window that has the keyboard.
      QV.desktop.addEventListener('mousedown', function (e) {
        if (e.target === QV.desktop)
          e.preventDefault();
      });
      // The program has no menu of its own for the right button; the text boxes keep the
      // browser's (cut, copy, paste), as on the desktop.
      QV.desktop.addEventListener('contextmenu', function (e) {
        if (!e.target.closest('.qv-text'))
          e.preventDefault();
      });
    },

    // ---- whole device pixels ----
    // At a device pixel ratio such as 1.25 or 1.5 a page pixel is not a whole number of device
    // pixels, and an edge that falls inside a device pixel blends that pixel with what lies
    // beside it. So the program's pixels are mapped to device pixels as a whole: pixel x of a
    // client area (or of the page) spans the device pixels from device(x) to device(x + 1). Every
    // window and control is placed by it with both edges on whole device pixels, and a picture
    // box's drawing is shown by it (boxes.js). The program's pixels (win.x, a control's place,
    // the pointer reported) stay as they are.
    useRatio: function () {
      QVWindows.ratio = devicePixelRatio;
      // The frame's parts come in whole device pixels as well (page.css).
      document.documentElement.style.setProperty('--device-pixel', 1 / QVWindows.ratio + 'px');
      QVWindows.measureFrame();
    },

    // The device pixel where the program's pixel x starts.
    device: function (x) {
      return Math.round(x * QVWindows.ratio);
    },

    // The page coordinate nearest to x that falls on a whole device pixel.
    snap: function (x) {
      return QVWindows.device(x) / QVWindows.ratio;
    },

    // The program's pixel that device pixel d lies in, both counted from the same corner.
    pixelAt: function (d) {
      var x = Math.floor((d + 0.5) / QVWindows.ratio);
      while (QVWindows.device(x) > d)
        --x;
      while (QVWindows.device(x + 1) <= d)
        ++x;
      return x;
    },

    // A change of the ratio (the page zoomed, the browser's window taken to another screen)
    // places everything again; the query asks for the ratio in force, so it changes once.
    followRatio: function () {
      var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
      query.addEventListener('change', function () {
        QVWindows.followRatio();
        if (devicePixelRatio !== QVWindows.ratio)
          QVWindows.placeAll();
      }, {once: true});
    },

    placeAll: function () {
      QVWindows.useRatio();
      for (var id in QV.windows) {
        QVWindows.size(QV.windows[id]);
        QVWindows.place(QV.windows[id]);
      }
      for (var key in QV.elements)
        QVWindows.placeControl(QV.elements[key]);
    },

    // A control at `at` (x, y, width, height in its window's client area), inside its container
    // at `within` ({x, y} there too; the client area's corner for a control directly on it); a
    // picture box's drawing shown on the device pixels it covers now.
    placeControl: function (element) {
      var snap = QVWindows.snap, at = element.at, within = element.within;
      var style = element.el.style;
      style.left = snap(at.x) - snap(within.x) + 'px';
      style.top = snap(at.y) - snap(within.y) + 'px';
      style.width = snap(at.x + at.width) - snap(at.x) + 'px';
      style.height = snap(at.y + at.height) - snap(at.y) + 'px';
      if (element.box)
        QVBoxes.show(element);
    },

    // The frame, measured on a window of no size: the style sheet alone says how wide it is.
    measureFrame: function () {
      var probe = QVWindows.makeFrame('qv-probe', '', '');
      probe.frame.hidden = false;
      probe.frame.style.visibility = 'hidden';
      QV.desktop.appendChild(probe.frame);
      var outer = probe.frame.getBoundingClientRect(), inner = probe.client.getBoundingClientRect();
      QVWindows.frame = {left: inner.left - outer.left, top: inner.top - outer.top,
                         right: outer.right - inner.right, bottom: outer.bottom - inner.bottom};
      probe.frame.remove();
    },

    windowOf: function (node) {
      var frame = node && node.closest ? node.closest('.qv-window') : null;
      return frame && frame.qvWindow ? frame.qvWindow : null;
    },

    // ---- frames ----
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
      icon.src = QVWindows.iconSource();
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

    // ---- front to back ----
    raise: function (win) {
      QV.stack = QV.stack.filter(function (w) { return w !== win; });
      QV.stack.push(win);
      win.frame.style.zIndex = QV.nextZ++;
      QVWindows.activate(win);
    },

    // The window the keyboard goes to; one newly active takes the keyboard once it is free.
    activate: function (win) {
      var was = QV.active;
      QV.active = win ? win.id : 0;
      for (var id in QV.windows)
        QV.windows[id].frame.classList.toggle('qv-active', QV.windows[id] === win);
      if (win && win.id !== was && !win.frame.inert)
        _qv_report_activated(win.id);
    },

    // The window in front once the one that was goes (none when none is shown).
    activateTop: function () {
      QVWindows.activate(QV.stack.filter(function (w) { return w.visible; }).pop() || null);
    },

    // ---- where windows stand ----
    // The part of the page in view, in the page's pixels (the desktop's, which starts at the
    // page's corner).
    visibleArea: function () {
      var root = document.documentElement;
      return {x: window.scrollX, y: window.scrollY, w: root.clientWidth, h: root.clientHeight};
    },

    // A window's frame is placed by its client area's corner, (win.x, win.y).
    place: function (win) {
      var snap = QVWindows.snap;
      win.frame.style.left = snap(win.x) - QVWindows.frame.left + 'px';
      win.frame.style.top = snap(win.y) - QVWindows.frame.top + 'px';
    },

    size: function (win) {
      var frame = QVWindows.frame;
      var width = QVWindows.snap(win.width), height = QVWindows.snap(win.height);
      win.frame.style.width = frame.left + width + frame.right + 'px';
      win.frame.style.height = frame.top + height + frame.bottom + 'px';
      win.client.style.width = width + 'px';
      win.client.style.height = height + 'px';
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

    // Moving a window by its caption bar, as on the desktop.
    dragCaption: function (win, e) {
      if (e.button !== 0 || e.target === win.close || win.frame.inert)
        return;
      e.preventDefault();
      win.caption.setPointerCapture(e.pointerId);
      QVWindows.dragging = {win: win, x: e.pageX - win.x, y: e.pageY - win.y};
    },

    // However far it is dragged, the caption bar stays in view, whole from top to bottom and at
    // least 24 pixels of it across, so that the window can be taken back. The desktop clips what
    // goes past its edge (page.css): a drag never makes the page scroll.
    moveCaption: function (win, e) {
      var drag = QVWindows.dragging;
      if (drag && drag.win === win) {
        QVWindows.moveWithin(win, Math.round(e.pageX - drag.x), Math.round(e.pageY - drag.y),
                             QVWindows.visibleArea());
      }
    },

    // The client area's corner to (x, y), or as near as keeps the caption bar within `area` as
    // a drag keeps it in view, in whole pixels of the program's. The caption bar spans the client
    // area's width, the frame's top above it.
    moveWithin: function (win, x, y, area) {
      var reach = 24;
      win.x = Math.min(Math.max(x, Math.ceil(area.x + reach - win.width)),
                       Math.floor(area.x + area.w - reach));
      win.y = Math.max(Math.min(y, Math.floor(area.y + area.h)),
                       Math.ceil(area.y + QVWindows.frame.top));
      QVWindows.place(win);
    },

    // A view made smaller (the browser's window resized, a phone turned) loses no window: one
    // left past the page's new edge comes back until its caption bar is within the page again,
    // as a drag would leave it.
    keepReachable: function () {
      var root = document.documentElement;
      var page = {x: 0, y: 0, w: root.scrollWidth, h: root.scrollHeight};
      for (var id in QV.windows) {
        var win = QV.windows[id];
        if (win.visible)
          QVWindows.moveWithin(win, win.x, win.y, page);
      }
    }
  },

  // ---- what the C++ half calls (runtime/web/page.h) ----

  qv_window_create__deps: ['$QV', '$QVWindows'],
  qv_window_create: function (id, role, domId, caption, width, height) {
    var name = UTF8ToString(domId);
    var parts = QVWindows.makeFrame(name, UTF8ToString(caption), 'Close');
    var win = {id: id, visible: false, x: 0, y: 0, width: width, height: height,
               reach: null, frame: parts.frame, caption: parts.caption, client: parts.client,
               close: parts.close, anchor: null};
    win.frame.id = name;
    win.frame.qvWindow = win;
    win.frame.setAttribute('role', UTF8ToString(role));
    QVWindows.size(win);
    win.close.addEventListener('click', function () {
      if (!QV.ended)
        _qv_report_close(id);
    });
    win.caption.addEventListener('pointerdown', function (e) { QVWindows.dragCaption(win, e); });
    win.caption.addEventListener('pointermove', function (e) { QVWindows.moveCaption(win, e); });
    win.caption.addEventListener('lostpointercapture', function () { QVWindows.dragging = null; });
    // A press anywhere in a window brings it to the front, as a window system does.
    win.frame.addEventListener('pointerdown', function () {
      if (!win.visible || win.frame.inert)
        return;
      if (QV.stack[QV.stack.length - 1] !== win)
        QVWindows.raise(win);
      else
        QVWindows.activate(win);
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

  qv_window_show__deps: ['$QV', '$QVWindows'],
  qv_window_show: function (id, x, y, modal) {
    var win = QV.windows[id];
    if (!win)
      return;
    var wasVisible = win.visible, frame = QVWindows.frame, snap = QVWindows.snap;
    win.x = x;
    win.y = y;
    // As far as its frame reaches on whole device pixels, however the ratio rounds its place.
    win.reach = {right: Math.ceil(snap(x) + snap(win.width) + frame.right),
                 bottom: Math.ceil(snap(y) + snap(win.height) + frame.bottom)};
    QVWindows.place(win);
    if (!wasVisible) {
      if (modal)
        win.frame.setAttribute('aria-modal', 'true');
      else
        win.frame.removeAttribute('aria-modal');
    }
    win.visible = true;
    win.frame.hidden = false;
    QVWindows.fitDesktop();
    QVWindows.raise(win);
    // The keyboard goes to the window, until the runtime gives the focus to a control of it.
    if (!wasVisible && !win.frame.contains(document.activeElement))
      win.frame.focus({preventScroll: true});
  },

  qv_window_hide__deps: ['$QV', '$QVWindows'],
  qv_window_hide: function (id) {
    var win = QV.windows[id];
    if (!win || !win.visible)
      return;
    win.visible = false;
    win.frame.hidden = true;
    QVWindows.fitDesktop();
    QV.stack = QV.stack.filter(function (w) { return w !== win; });
    QVWindows.activateTop();
  },

  qv_window_set_blocked__deps: ['$QV'],
  qv_window_set_blocked: function (id, blocked) {
    var win = QV.windows[id];
    if (!win)
      return;
    win.frame.inert = !!blocked;
    // Free again and active: it takes the keyboard back.
    if (!blocked && win.visible && QV.active === id)
      _qv_report_activated(id);
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

  qv_frame_margins__deps: ['$QVWindows'],
  qv_frame_margins: function (margins) {
    // In whole pixels; the page itself places frames by the device pixels a ratio such as 1.5
    // gives their parts, so that every client area starts on a whole device pixel.
    var frame = QVWindows.frame;
    HEAP32.set([frame.left, frame.top, frame.right, frame.bottom].map(Math.round), margins >> 2);
  },

  qv_visible_area__deps: ['$QVWindows'],
  qv_visible_area: function (xywh) {
    var view = QVWindows.visibleArea();
    HEAP32.set([view.x, view.y, view.w, view.h], xywh >> 2);
  }
});
