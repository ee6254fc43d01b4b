// The message box: the program's question in a window of its own over every other, which
// keeps them from input until one of its buttons, Escape or its close button answers it; the
// answer resumes the program's pause.

mergeInto(LibraryManager.library, {
  $QVMessageBox__deps: ['$QV', '$QVWindows'],
  $QVMessageBox: {
    key: function (e) {
      var box = QV.messageBox;
      if (e.type != 'keydown')
        return;
      if (e.key == 'Escape' || e.key == 'Esc') {
        e.preventDefault();
        QVMessageBox.close(-1);
      } else if (e.key == 'Tab') {
        // Round the box's own buttons.
        e.preventDefault();
        var at = box.buttons.indexOf(document.activeElement);
        var n = box.buttons.length;
        box.buttons[(at + (e.shiftKey ? n - 1 : 1) + n) % n].focus();
      } else if (e.key == 'Enter') {
        e.preventDefault();
        var focused = box.buttons.indexOf(document.activeElement);
        QVMessageBox.close(focused >= 0 ? focused : box.defaultChoice);
      }
    },

    close: function (choice) {
      var box = QV.messageBox;
      if (!box)
        return;
      QV.messageBox = null;
      box.frame.remove();
      QVWindows.activateTop();
      QV.resume(box.token, choice);
    },

    // The four classic icons, drawn in SVG, by name: none for any other.
    icon: function (icon) {
      var shapes = {
        critical: '<circle cx="16" cy="16" r="14" fill="#f00" stroke="#800000"/><path d="M10 10l12 12M22 10l-12 12" stroke="#fff" stroke-width="3"/>',
        question: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="23" font-size="20" font-weight="bold" text-anchor="middle" fill="#00f">?</text>',
        exclamation: '<path d="M16 2L31 29H1z" fill="#ff0" stroke="#000"/><text x="16" y="27" font-size="20" font-weight="bold" text-anchor="middle">!</text>',
        information: '<circle cx="16" cy="16" r="14" fill="#fff" stroke="#000"/><text x="16" y="24" font-size="20" font-weight="bold" font-family="serif" text-anchor="middle" fill="#00f">i</text>'
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

  qv_message_box__deps: ['$QV', '$QVWindows', '$QVMessageBox'],
  qv_message_box: function (token, owner, title, prompt, icon, choices, defaultChoice) {
    var parts = QVWindows.makeFrame('qv-message', UTF8ToString(title), 'Close');
    var frame = parts.frame;
    frame.classList.add('qv-msgbox');
    frame.setAttribute('role', 'alertdialog');
    frame.setAttribute('aria-modal', 'true');
    var message = document.createElement('div');
    message.className = 'qv-message';
    var svg = QVMessageBox.icon(UTF8ToString(icon));
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
      button.addEventListener('click', function () { QVMessageBox.close(index); });
      button.addEventListener('focus', function () { button.classList.add('qv-focus'); });
      button.addEventListener('blur', function () { button.classList.remove('qv-focus'); });
      row.appendChild(button);
      return button;
    });
    parts.client.append(message, row);
    parts.close.addEventListener('click', function () { QVMessageBox.close(-1); });
    QV.messageBox = {token: token, frame: frame, buttons: buttons, defaultChoice: defaultChoice};
    frame.hidden = false;
    frame.style.zIndex = QV.nextZ++;
    frame.style.visibility = 'hidden';
    QV.desktop.appendChild(frame);
    // Centred over the window it belongs to, within the part of the page in view.
    var over = QV.windows[owner], view = QVWindows.visibleArea();
    var f = over && over.visible ? over.frame : null;
    var area = f ? {x: f.offsetLeft, y: f.offsetTop, w: f.offsetWidth, h: f.offsetHeight} : view;
    var left = Math.round(area.x + (area.w - frame.offsetWidth) / 2);
    var top = Math.round(area.y + (area.h - frame.offsetHeight) / 2);
    frame.style.left = Math.max(view.x, Math.min(left, view.x + view.w - frame.offsetWidth)) + 'px';
    frame.style.top = Math.max(view.y, Math.min(top, view.y + view.h - frame.offsetHeight)) + 'px';
    frame.style.visibility = '';
    QVWindows.activate(null);
    frame.classList.add('qv-active');
    (buttons[defaultChoice] || buttons[0]).focus({preventScroll: true});
  }
});
