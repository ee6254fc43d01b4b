// What assistive technology reads of a picture box, and the radio groups of option buttons, in
// ARIA as the C++ half gives it from the runtime's views. The browser's own elements carry their
// roles and states themselves.

mergeInto(LibraryManager.library, {
  qv_aria__deps: ['$QV'],
  qv_aria: function (id, role, name, labelledBy, description, focusable, checked) {
    var element = QV.elements[id];
    if (!element)
      return;
    var el = element.focusable || element.el;
    var attributes = {'role': UTF8ToString(role), 'aria-label': UTF8ToString(name),
                      'aria-labelledby': UTF8ToString(labelledBy),
                      'aria-description': UTF8ToString(description)};
    for (var attribute in attributes) {
      if (attributes[attribute])
        el.setAttribute(attribute, attributes[attribute]);
    }
    if (checked >= 0)
      el.setAttribute('aria-checked', checked ? 'true' : 'false');
    if (element.kind == 'box' && focusable) {
      el.tabIndex = -1;
      element.focusable = el;
    }
  },

  qv_aria_checked__deps: ['$QV'],
  qv_aria_checked: function (id, checked) {
    var element = QV.elements[id];
    if (element)
      (element.focusable || element.el).setAttribute('aria-checked', checked ? 'true' : 'false');
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
    var radio = element.kind == 'option' ? element.focusable : element.el;
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
  }
});
