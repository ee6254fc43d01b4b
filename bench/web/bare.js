// The bare page's script: the pictures and fonts the program embeds, decoded and loaded as the
// page does it (Blob and createImageBitmap, FontFace), then main(), which makes the elements.
mergeInto(LibraryManager.library, {
  $Bare: {
    pictures: [],
    controls: [],
    client: null,
    files: function (which) {
      var entry = _malloc(12), files = [];
      var count = _qv_embedded_file(which, -1, entry);
      for (var i = 0; i < count; ++i) {
        _qv_embedded_file(which, i, entry);
        var bytes = HEAPU32[(entry >> 2) + 1], size = HEAPU32[(entry >> 2) + 2];
        files.push({name: UTF8ToString(HEAPU32[entry >> 2]), bytes: HEAPU8.slice(bytes, bytes + size)});
      }
      _free(entry);
      return files;
    },
    start: function () {
      var styles = {'regular': {}, 'bold': {weight: 'bold'}, 'bold-italic': {weight: 'bold', style: 'italic'}};
      Promise.all(Bare.files(0).map(function (file, index) {
        return createImageBitmap(new Blob([file.bytes], {type: 'image/png'}),
                                 {premultiplyAlpha: 'none', colorSpaceConversion: 'none'})
          .then(function (bitmap) { Bare.pictures[index] = bitmap; });
      }).concat(Bare.files(1).map(function (file) {
        var face = new FontFace('Quorvel Sans', file.bytes.buffer, styles[file.name] || {});
        document.fonts.add(face);
        return face.loaded;
      }))).then(function () { callMain([]); });
    }
  },
  $Bare__postset: "Module['onRuntimeInitialized'] = function () { Bare.start(); };",

  bare_window__deps: ['$Bare'],
  bare_window: function (x, y, width, height, caption) {
    var frame = document.createElement('div');
    frame.className = 'qv-window qv-active';
    frame.style.left = (x - 3) + 'px';
    frame.style.top = (y - 22) + 'px';
    frame.style.width = (width + 6) + 'px';
    frame.style.height = (height + 25) + 'px';
    var bar = document.createElement('div');
    bar.className = 'qv-caption';
    var title = document.createElement('span');
    title.className = 'qv-title';
    title.textContent = UTF8ToString(caption);
    var close = document.createElement('button');
    close.className = 'qv-close';
    bar.append(title, close);
    Bare.client = document.createElement('div');
    Bare.client.className = 'qv-client';
    Bare.client.style.width = width + 'px';
    Bare.client.style.height = height + 'px';
    frame.append(bar, Bare.client);
    var desktop = document.getElementById('qv-desktop');
    desktop.classList.remove('qv-busy');
    desktop.appendChild(frame);
  },

  bare_control__deps: ['$Bare'],
  bare_control: function (kind, container, x, y, width, height, text, picture, border, checked) {
    var el, label = UTF8ToString(text);
    if (kind === 0) {
      el = document.createElement('div');
      el.className = 'qv-box';
      var canvas = el.appendChild(document.createElement('canvas'));
      canvas.width = width;
      canvas.height = height;
    } else if (kind === 1) {
      el = document.createElement('input');
      el.className = 'qv-text';
      el.value = label;
    } else if (kind === 2) {
      el = document.createElement('div');
      el.className = 'qv-label';
      el.textContent = label;
    } else if (kind === 3) {
      el = document.createElement('fieldset');
      el.className = 'qv-frame';
      var legend = document.createElement('legend');
      legend.className = 'qv-legend';
      legend.textContent = label;
      var etch = document.createElement('div');
      etch.className = 'qv-etch';
      el.append(legend, etch);
    } else if (kind === 4) {
      el = document.createElement('button');
      el.className = 'qv-button';
      el.textContent = label;
    } else {
      el = document.createElement('label');
      el.className = kind === 5 ? 'qv-check' : 'qv-option';
      var input = document.createElement('input');
      input.type = kind === 5 ? 'checkbox' : 'radio';
      input.checked = !!checked;
      var span = document.createElement('span');
      span.textContent = label;
      el.append(input, span);
    }
    el.classList.add('qv-control');
    el.style.left = x + 'px';
    el.style.top = y + 'px';
    el.style.width = width + 'px';
    el.style.height = height + 'px';
    var host = container >= 0 ? Bare.controls[container] : Bare.client;
    host.insertBefore(el, host.qvAnchor || null);
    host.qvAnchor = el;
    Bare.controls.push(el);
    if (kind === 0) {
      var g = el.firstChild.getContext('2d'), inset = border ? 2 : 0;
      if (border) {
        g.fillStyle = '#808080'; g.fillRect(0, 0, width, height);
        g.fillStyle = '#ffffff'; g.fillRect(1, 1, width - 1, height - 1);
        g.fillStyle = '#000000'; g.fillRect(1, 1, width - 2, height - 2);
        g.fillStyle = '#c0c0c0'; g.fillRect(2, 2, width - 3, height - 3);
      }
      g.drawImage(Bare.pictures[picture], inset, inset);
    }
  }
});
