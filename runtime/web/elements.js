// The elements that show controls: a picture box's canvas (boxes.js draws it and follows the
// pointer over it), the message box's icons, and the browser's own element for every other
// kind, whose input is reported as the user gives it.

mergeInto(LibraryManager.library, {
  $QVElements__deps: ['$QV', '$QVBoxes'],
  $QVElements: {
    // The message box's four classic icons, in SVG drawn 32 units square, filling the element.
    icons: {
      critical: '<circle cx="16" cy="16" r="14" fill="#f00" stroke="#800000"/><path d="M10 10l12 12M22 10l-12 12" stroke="#fff" stroke-width="3"/>',
      question: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="23" font-size="20" font-weight="bold" text-anchor="middle" fill="#00f">?</text>',
      exclamation: '<path d="M16 2L31 29H1z" fill="#ff0" stroke="#000"/><text x="16" y="27" font-size="20" font-weight="bold" text-anchor="middle">!</text>',
      information: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="24" font-size="20" font-weight="bold" font-family="serif" text-anchor="middle" fill="#00f">i</text>'
    },

    // The element that shows a control of kind `kind` (page.h, qv_element_create).
    make: function (kind) {
      var el, focusable = null, text = null;
      if (QVElements.icons[kind]) {
        el = document.createElement('div');
        el.setAttribute('aria-hidden', 'true');
        el.innerHTML = '<svg viewBox="0 0 32 32" width="100%" height="100%">' + QVElements.icons[kind] + '</svg>';
        kind = 'icon';
      }
      switch (kind) {
      case 'icon':
        break;
      case 'box':
        el = document.createElement('div');
        el.className = 'qv-box';
        el.appendChild(document.createElement('canvas')).setAttribute('aria-hidden', 'true');
        break;
      case 'text':
        el = focusable = document.createElement('input');
        el.type = 'text';
        el.className = 'qv-text';
        el.spellcheck = false;
        el.autocomplete = 'off';
        break;
      case 'frame':
        el = document.createElement('fieldset');
        el.className = 'qv-frame';
        text = document.createElement('legend');
        text.className = 'qv-legend';
        var etch = document.createElement('div');
        etch.className = 'qv-etch';
        el.append(text, etch);
        break;
      case 'button':
        el = focusable = text = document.createElement('button');
        el.type = 'button';
        el.className = 'qv-button';
        break;
      case 'check':
      case 'option':
        el = document.createElement('label');
        el.className = 'qv-' + kind;
        focusable = document.createElement('input');
        // No name: the browser groups no option buttons of its own; the runtime does.
        focusable.type = kind == 'check' ? 'checkbox' : 'radio';
        text = document.createElement('span');
        el.append(focusable, text);
        break;
      default:
        el = text = document.createElement('div');
        el.className = 'qv-label';
        break;
      }
      el.classList.add('qv-control');
      return {el: el, focusable: focusable, text: text};
    },

    // What the user does to a standard control, reported; a picture box follows the pointer.
    listen: function (element) {
      var id = element.id, input = element.focusable;
      switch (element.kind) {
      case 'box':
        QVBoxes.listen(element);
        break;
      case 'text':
        input.addEventListener('input', function () {
          if (QV.ended)
            return;
          var sp = stackSave();
          _qv_report_text(id, allocateUTF8OnStack(input.value));
          stackRestore(sp);
        });
        break;
      case 'button':
        input.addEventListener('click', function () {
          if (!QV.ended)
            _qv_report_button(id);
        });
        break;
      case 'check':
        // A click, Space or assistive technology's action: the browser's own toggle undone, the
        // runtime toggles it and sets its checked state.
        input.addEventListener('click', function () {
          input.checked = !input.checked;
          if (!QV.ended)
            _qv_report_check(id);
        });
        break;
      case 'option':
        input.addEventListener('change', function () {
          if (!QV.ended && input.checked)
            _qv_report_option(id);
        });
        break;
      }
    }
  },

  // ---- what the C++ half calls (runtime/web/page.h) ----

  qv_element_create__deps: ['$QV', '$QVElements', '$QVWindows'],
  qv_element_create: function (id, window, container, kindName, domId, x, y, width, height) {
    var win = QV.windows[window], kind = UTF8ToString(kindName);
    var made = QVElements.make(kind);
    // Its place in the client area, its container's added, placed on whole device pixels.
    var within = container ? QV.elements[container].at : {x: 0, y: 0};
    var element = {id: id, kind: kind, el: made.el, focusable: made.focusable, text: made.text,
                   anchor: null, within: within,
                   at: {x: within.x + x, y: within.y + y, width: width, height: height}};
    var el = made.el;
    el.id = UTF8ToString(domId);
    el.dataset.qv = id;
    QVWindows.placeControl(element);
    if (kind == 'frame')
      made.text.id = el.id + '-caption';
    // A control stored earlier lies above one stored later: each goes in front of the ones made
    // before it in its container, so that the page also reads from the top down.
    var parent = container ? QV.elements[container] : win;
    var host = container ? parent.el : win.client;
    host.insertBefore(el, parent.anchor);
    parent.anchor = el;
    QV.elements[id] = element;
    QVElements.listen(element);
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
    if (element.kind == 'text') {
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
  qv_element_focus: function (id, select) {
    var element = QV.elements[id];
    if (!element || !element.focusable)
      return;
    element.focusable.focus({preventScroll: true});
    if (select && element.kind == 'text')
      element.focusable.select();
  },

  qv_element_set_focus_indicator__deps: ['$QV'],
  qv_element_set_focus_indicator: function (id, shown) {
    var element = QV.elements[id];
    if (element)
      element.el.classList.toggle('qv-focus', !!shown);
  }
});
