// The keyboard: each key goes to the runtime in the window it was pressed in, before the
// focused element sees it, and the focus is reported as it comes to an element and leaves it.

mergeInto(LibraryManager.library, {
  $QVKeyboard__deps: ['$QV', '$QVWindows'],
  $QVKeyboard: {
    start: function () {
      document.addEventListener('keydown', QVKeyboard.onKey, true);
      document.addEventListener('keyup', QVKeyboard.onKey, true);
      document.addEventListener('focusin', function (e) { QVKeyboard.onFocus(e, 1); }, true);
      document.addEventListener('focusout', function (e) { QVKeyboard.onFocus(e, 0); }, true);
    },

    // A key goes to the runtime before the focused element sees it, in the window it was
    // pressed in (or the active one, when no element has the focus).
    onKey: function (e) {
      if (QV.ended || e.isComposing)
        return;
      var win = QVWindows.windowOf(e.target) || QV.windows[QV.active];
      if (!win || !win.visible || win.frame.inert)
        return;
      QV.pauseStarted = false;
      var sp = stackSave();
      var taken = _qv_report_key(win.id, allocateUTF8OnStack(e.key), e.shiftKey, e.ctrlKey,
                                 e.altKey, e.repeat, e.type == 'keydown');
      stackRestore(sp);
      // A key that started a pause (a modal window, the message box) was taken as well.
      if (taken || QV.pauseStarted) {
        e.preventDefault();
        e.stopPropagation();
      }
    },

    onFocus: function (e, gained) {
      if (QV.ended)
        return;
      var el = e.target.closest ? e.target.closest('[data-qv]') : null;
      var element = el ? QV.elements[el.dataset.qv] : null;
      if (element && element.focusable === e.target)
        _qv_report_focus(element.id, gained);
    }
  }
});
