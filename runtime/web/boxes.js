// Picture boxes: each drawn to the pixel as the C++ half says, in the program's pixels, and shown
// on whole device pixels; the pointer over one reported in whole pixels of its drawing area.

mergeInto(LibraryManager.library, {
  $QVBoxes__deps: ['$QV', '$QVWindows'],
  $QVBoxes: {
    colours: null, // the classic 3-D colours: {shadow, dark, highlight, light}

    // The colours read from the style sheet's table of system colours (page.css) once, while
    // the page is still empty and reading them costs nothing.
    start: function () {
      var style = getComputedStyle(document.documentElement);
      QVBoxes.colours = {};
      ['shadow', 'dark', 'highlight', 'light'].forEach(function (name) {
        QVBoxes.colours[name] = style.getPropertyValue('--' + name).trim();
      });
    },

    // The pointer over a picture box, the box keeping it from a press until the last button is
    // up (pointer capture). Buttons go as the DOM's MouseEvent.buttons has them (1 primary,
    // 2 secondary, 4 auxiliary); a touch is the primary button.
    listen: function (element) {
      var el = element.el, at = element.at;
      var box = element.box = {held: 0, areaX: 0, areaY: 0, pointer: null,
                               drawing: document.createElement('canvas')};
      box.drawing.width = at.width;
      box.drawing.height = at.height;
      QVBoxes.show(element);
      var bitOf = [1, 4, 2]; // MouseEvent.button: primary, auxiliary, secondary
      // The pixel of the drawing shown on the device pixel under the pointer. (A pointer's place
      // is a device pixel's divided by the ratio: multiplied back, it may fall a hair short.)
      function pixel(e) {
        var r = el.getBoundingClientRect(), ratio = QVWindows.ratio;
        function shown(pointer, edge, start) {
          var d = Math.floor(pointer * ratio + 1e-3) - Math.round(edge * ratio);
          return QVWindows.pixelAt(QVWindows.device(start) + d) - start;
        }
        return [shown(e.clientX, r.left, at.x) - box.areaX,
                shown(e.clientY, r.top, at.y) - box.areaY];
      }
      function buttonChanged(e) {
        var bit = bitOf[e.button] || 0;
        if (!bit)
          return;
        var p = pixel(e);
        if (e.buttons & bit) {
          box.held |= bit;
          if (box.pointer === null) {
            box.pointer = e.pointerId;
            el.setPointerCapture(e.pointerId);
          }
          _qv_report_pointer_press(element.id, p[0], p[1], bit, box.held,
                                   e.shiftKey, e.ctrlKey, e.altKey);
        } else if (box.held & bit) {
          box.held &= ~bit;
          if (!box.held) {
            // The last button up ends the press, whether or not the capture's end is told.
            if (el.hasPointerCapture(e.pointerId))
              el.releasePointerCapture(e.pointerId);
            box.pointer = null;
          }
          _qv_report_pointer_release(element.id, p[0], p[1], bit, e.shiftKey, e.ctrlKey, e.altKey);
        }
      }
      function cancelled() {
        box.held = 0;
        _qv_report_pointer_cancelled(element.id);
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
        if (e.button >= 0) {
          buttonChanged(e);
        } else {
          var p = pixel(e);
          _qv_report_pointer_move(element.id, p[0], p[1], box.held,
                                  e.shiftKey, e.ctrlKey, e.altKey);
        }
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
        if (box.held && !QV.ended)
          cancelled();
      });
      el.addEventListener('pointercancel', function (e) {
        if (box.pointer === e.pointerId && box.held && !QV.ended)
          cancelled();
      });
      el.addEventListener('pointerleave', function () {
        if (!QV.ended && !box.held)
          _qv_report_pointer_left(element.id);
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

    // The drawing shown on the canvas of the device pixels between the control's edges: each of
    // its pixels on the whole device pixels that the client area's pixel under it spans, as the
    // control's edges are placed (windows.js), none blended with the next.
    show: function (element) {
      var drawing = element.box.drawing, canvas = element.el.firstChild, at = element.at;
      function spans(start, count) {
        var from = QVWindows.device(start), pixels = [];
        for (var d = from; d < QVWindows.device(start + count); ++d)
          pixels.push(QVWindows.pixelAt(d) - start);
        return pixels;
      }
      var columns = spans(at.x, at.width), rows = spans(at.y, at.height);
      canvas.width = columns.length;
      canvas.height = rows.length;
      if (!columns.length || !rows.length)
        return;
      var source = drawing.getContext('2d', {willReadFrequently: true});
      var from = new Uint32Array(source.getImageData(0, 0, at.width, at.height).data.buffer);
      var g = canvas.getContext('2d'), image = g.createImageData(columns.length, rows.length);
      var to = new Uint32Array(image.data.buffer);
      for (var y = 0, i = 0; y < rows.length; ++y) {
        var row = rows[y] * at.width;
        for (var x = 0; x < columns.length; ++x)
          to[i++] = from[row + columns[x]];
      }
      g.putImageData(image, 0, 0);
    },

    // The classic dotted focus rectangle round (x, y, w, h): every other pixel, on the pixels
    // of one colour of a checkerboard.
    focusRectangle: function (g, x, y, w, h) {
      g.fillStyle = '#000000';
      for (var i = 0; i < w; ++i) {
        if (i % 2 === 0)
          g.fillRect(x + i, y, 1, 1);
        if ((i + h - 1) % 2 === 0)
          g.fillRect(x + i, y + h - 1, 1, 1);
      }
      for (var j = 1; j < h - 1; ++j) {
        if (j % 2 === 0)
          g.fillRect(x, y + j, 1, 1);
        if ((w - 1 + j) % 2 === 0)
          g.fillRect(x + w - 1, y + j, 1, 1);
      }
    }
  },

  // ---- what the C++ half calls (runtime/web/page.h) ----

  qv_box_paint__deps: ['$QV', '$QVBoxes'],
  qv_box_paint: function (id, picture, ax, ay, aw, ah, border, back, focus) {
    var element = QV.elements[id];
    if (!element || !element.box)
      return;
    element.box.areaX = ax;
    element.box.areaY = ay;
    var canvas = element.box.drawing;
    var g = canvas.getContext('2d', {willReadFrequently: true});
    var w = canvas.width, h = canvas.height;
    function line(colour, x, y, width, height) {
      g.fillStyle = colour;
      g.fillRect(x, y, width, height);
    }
    if (border) {
      // The classic sunken border, two pixels: shadow and dark shadow above and left,
      // highlight and light below and right.
      var c = QVBoxes.colours;
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
    if (focus)
      QVBoxes.focusRectangle(g, ax, ay, aw, ah);
    QVBoxes.show(element);
  }
});
