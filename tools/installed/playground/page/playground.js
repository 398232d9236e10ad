// The playground's editor page: the learner's files in CodeMirror, kept in
// this browser (localStorage) across reloads; Run builds them on the server
// (POST /api/build) and runs the page it made beside the editor. A shared
// link (/s/ID) opens a read-only copy with its program running.
'use strict';
(function () {
  var STORE = 'vantrel-playground';
  var $ = function (id) { return document.getElementById(id); };
  var shared = /^\/s\/([0-9a-f]{32})$/.exec(location.pathname);
  var work = { files: {}, assets: {}, current: 'main.cpp' };
  var docs = {};
  var builtId = null;
  var building = false;

  var editor = CodeMirror($('editor'), {
    mode: 'text/x-c++src', lineNumbers: true, indentUnit: 4, tabSize: 4,
    gutters: ['errors', 'CodeMirror-linenumbers'], readOnly: Boolean(shared),
    extraKeys: { 'Ctrl-Enter': run, 'Cmd-Enter': run }
  });

  // ---- The learner's files ----------------------------------------------------

  function save() {
    if (shared) return;
    Object.keys(docs).forEach(function (name) { work.files[name] = docs[name].getValue(); });
    try {
      localStorage.setItem(STORE, JSON.stringify(work));
    } catch (error) {
      status('Your work could not be kept in this browser (' + error.name + '): download it to keep it.', true);
    }
  }

  function load(files, assets, current) {
    work = { files: files, assets: assets || {}, current: current || 'main.cpp' };
    docs = {};
    Object.keys(files).forEach(function (name) {
      docs[name] = CodeMirror.Doc(files[name], 'text/x-c++src');
      CodeMirror.on(docs[name], 'change', function () { clearMarks(); scheduleSave(); });
    });
    if (!docs[work.current]) work.current = Object.keys(docs)[0];
    show(work.current);
    showAssets();
  }

  var saveTimer = null;
  function scheduleSave() {
    clearTimeout(saveTimer);
    saveTimer = setTimeout(save, 300);
  }

  function show(name) {
    work.current = name;
    editor.swapDoc(docs[name]);
    var tabs = $('tabs');
    tabs.textContent = '';
    Object.keys(docs).sort().forEach(function (file) {
      var tab = document.createElement('button');
      tab.type = 'button';
      tab.textContent = file;
      tab.className = file === name ? 'current' : '';
      tab.addEventListener('click', function () { show(file); });
      tabs.appendChild(tab);
    });
  }

  function showAssets() {
    var list = $('assets');
    list.textContent = '';
    Object.keys(work.assets).sort().forEach(function (name) {
      var item = document.createElement('li');
      item.textContent = name + ' (' + Math.round(work.assets[name].length * 3 / 4 / 1024) + ' KB) ';
      if (!shared) {
        var remove = document.createElement('button');
        remove.type = 'button';
        remove.textContent = 'remove';
        remove.addEventListener('click', function () { delete work.assets[name]; save(); showAssets(); });
        item.appendChild(remove);
      }
      list.appendChild(item);
    });
  }

  function program() {
    var files = {};
    Object.keys(docs).forEach(function (name) { files[name] = docs[name].getValue(); });
    return { files: files, assets: work.assets };
  }

  // ---- Building and running ---------------------------------------------------

  function status(text, bad) {
    $('status').textContent = text;
    $('status').style.color = bad ? '#b71c1c' : '';
  }

  var marks = [];
  function clearMarks() {
    marks.forEach(function (m) {
      m.doc.removeLineClass(m.line, 'background', 'error-line');
      m.doc.setGutterMarker(m.line, 'errors', null);
    });
    marks = [];
  }

  function showErrors(errors) {
    clearMarks();
    var list = $('errors');
    list.textContent = '';
    errors.forEach(function (error) {
      var item = document.createElement('li');
      item.textContent = (error.file ? error.file + ':' + error.line + ':' + error.column + ': ' : '') + error.message;
      list.appendChild(item);
      var doc = docs[error.file];
      if (!doc || error.line < 1) return;
      var line = Math.min(error.line - 1, doc.lineCount() - 1);
      doc.addLineClass(line, 'background', 'error-line');
      var marker = document.createElement('span');
      marker.className = 'error-mark';
      marker.textContent = '●';
      marker.title = error.message;
      doc.setGutterMarker(line, 'errors', marker);
      marks.push({ doc: doc, line: line });
      item.addEventListener('click', function () {
        show(error.file);
        editor.setCursor({ line: line, ch: Math.max(0, error.column - 1) });
        editor.focus();
      });
    });
  }

  // POST /api/build, again after the wait a busy server asks for.
  function build(tries) {
    return fetch('/api/build', { method: 'POST', headers: { 'Content-Type': 'application/json' },
                                 body: JSON.stringify(program()) })
      .then(function (response) {
        if (response.status === 503 && tries < 60) {
          var wait = Number(response.headers.get('Retry-After')) || 3;
          status('The playground is busy; trying again in ' + wait + ' s…');
          return new Promise(function (resolve) { setTimeout(resolve, wait * 1000); })
            .then(function () { return build(tries + 1); });
        }
        return response.json().then(function (answer) {
          if (!response.ok) throw new Error(answer.error || 'the server answered ' + response.status);
          return answer;
        });
      });
  }

  function run() {
    if (building) return;
    building = true;
    save();
    stop();
    status('Building…');
    $('run').disabled = true;
    build(0).then(function (answer) {
      $('log').textContent = answer.log;
      showErrors(answer.errors);
      if (answer.ok) {
        builtId = answer.id;
        start(answer.id);
      } else {
        status('The program did not build: the messages are below and marked in the code.', true);
      }
    }).catch(function (error) {
      status('Could not build: ' + error.message, true);
    }).then(function () {
      building = false;
      $('run').disabled = false;
    });
  }

  function start(id) {
    $('program').src = '/p/' + id;
    $('program').addEventListener('load', function focus() {
      $('program').removeEventListener('load', focus);
      $('program').focus();
    });
    $('stop').disabled = false;
    status('Running. Click the picture to give it the keys; sound starts with your first click.');
  }

  function stop() {
    $('program').src = 'about:blank';
    $('stop').disabled = true;
  }

  // ---- Files in and out -------------------------------------------------------

  function readAsset(file) {
    return new Promise(function (resolve, reject) {
      var reader = new FileReader();
      reader.onload = function () { resolve(String(reader.result).replace(/^data:[^,]*,/, '')); };
      reader.onerror = function () { reject(reader.error); };
      reader.readAsDataURL(file);
    });
  }

  $('upload').addEventListener('change', function () {
    var files = Array.prototype.slice.call($('upload').files);
    Promise.all(files.map(function (file) {
      if (file.size > 2 * 1024 * 1024) {
        status(file.name + ' is larger than 2 MB: not added.', true);
        return null;
      }
      var name = file.name.replace(/[^A-Za-z0-9_.-]/g, '_').replace(/^[.-]+/, '');
      return readAsset(file).then(function (data) { work.assets[name] = data; });
    })).then(function () { save(); showAssets(); $('upload').value = ''; });
  });

  $('newfile').addEventListener('click', function () {
    var name = prompt('Name of the new file (ending in .cpp or .h):', 'other.cpp');
    if (!name) return;
    if (!/^[A-Za-z0-9_][A-Za-z0-9_.-]*\.(cpp|h|hpp)$/.test(name) || docs[name]) {
      status('"' + name + '" cannot be a new file: letters, digits, dots, dashes and underscores, ending in .cpp or .h.', true);
      return;
    }
    docs[name] = CodeMirror.Doc('', 'text/x-c++src');
    CodeMirror.on(docs[name], 'change', scheduleSave);
    save();
    show(name);
  });

  function bytesOf(text) { return new TextEncoder().encode(text); }
  function base64Bytes(data) {
    var text = atob(data), bytes = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  // Download: the .cpp files, the assets and the one-file page, as a zip.
  $('download').addEventListener('click', function () {
    var p = program();
    build(0).then(function (answer) {
      var entries = Object.keys(p.files).map(function (n) { return { name: n, bytes: bytesOf(p.files[n]) }; })
        .concat(Object.keys(p.assets).map(function (n) { return { name: n, bytes: base64Bytes(p.assets[n]) }; }));
      if (!answer.ok) return entries;
      return fetch('/p/' + answer.id + '/page.html').then(function (r) { return r.arrayBuffer(); })
        .then(function (page) { return entries.concat([{ name: 'program.html', bytes: new Uint8Array(page) }]); });
    }).then(function (entries) {
      var link = document.createElement('a');
      link.href = URL.createObjectURL(makeZip(entries));
      link.download = 'program.zip';
      document.body.appendChild(link);
      link.click();
      link.remove();
    }).catch(function (error) { status('Could not download: ' + error.message, true); });
  });

  $('share').addEventListener('click', function () {
    build(0).then(function (answer) {
      if (!answer.ok) throw new Error('the program must build first');
      $('sharelink').value = location.origin + '/s/' + answer.id;
      $('sharebox').hidden = false;
      $('sharelink').select();
    }).catch(function (error) { status('Could not share: ' + error.message, true); });
  });

  // ---- Hand-ins ---------------------------------------------------------------

  $('handin').addEventListener('click', function () {
    $('handinname').value = localStorage.getItem(STORE + '-name') || '';
    $('handinform').hidden = false;
    $('handinname').focus();
  });
  $('handincancel').addEventListener('click', function () { $('handinform').hidden = true; });
  $('handinform').addEventListener('submit', function (event) {
    event.preventDefault();
    var body = program();
    body.name = $('handinname').value.trim();
    body.token = $('handintoken').value;
    localStorage.setItem(STORE + '-name', body.name);
    fetch('/api/handin', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) })
      .then(function (response) { return response.json().then(function (a) { return { ok: response.ok, answer: a }; }); })
      .then(function (r) {
        if (!r.ok) throw new Error(r.answer.error);
        $('handinform').hidden = true;
        status('Handed in as "' + r.answer.name + '".');
      }).catch(function (error) { status('Could not hand in: ' + error.message, true); });
  });

  // ---- Examples and starting up ------------------------------------------------

  function openExample(name) {
    return fetch('/api/examples/' + encodeURIComponent(name)).then(function (r) { return r.json(); })
      .then(function (e) { load(e.files, e.assets, 'main.cpp'); save(); stop(); showErrors([]); });
  }

  $('examples').addEventListener('change', function () {
    var name = $('examples').value;
    $('examples').value = '';
    if (name && confirm('Open the example "' + name + '"? It replaces the program in the editor.')) openExample(name);
  });

  $('run').addEventListener('click', run);
  $('stop').addEventListener('click', function () { stop(); status('Stopped.'); });
  $('copy').addEventListener('click', function () {
    shared = null;
    save();
    location.href = '/';
  });

  fetch('/api/examples').then(function (r) { return r.json(); }).then(function (answer) {
    answer.examples.forEach(function (name) {
      var option = document.createElement('option');
      option.value = option.textContent = name;
      $('examples').appendChild(option);
    });
    $('handin').hidden = !answer.handin || Boolean(shared);
    if (shared) return;
    var kept = null;
    try { kept = JSON.parse(localStorage.getItem(STORE)); } catch (error) { kept = null; }
    if (kept && kept.files && Object.keys(kept.files).length > 0) load(kept.files, kept.assets, kept.current);
    else if (answer.examples.indexOf('hello') >= 0) openExample('hello');
    else load({ 'main.cpp': '#include "canvas/canvas.h"\n\nint main() {\n    return 0;\n}\n' }, {});
  });

  if (shared) {
    ['run', 'upload', 'newfile', 'examples'].forEach(function (id) { $(id).disabled = true; });
    $('readonly').hidden = false;
    $('copy').hidden = false;
    fetch('/p/' + shared[1] + '/sources.json').then(function (r) {
      if (!r.ok) throw new Error('there is no such program here');
      return r.json();
    }).then(function (sources) {
      load(sources.files, sources.assets, 'main.cpp');
      builtId = shared[1];
      start(shared[1]);
    }).catch(function (error) { status('Cannot open the shared program: ' + error.message, true); });
  }
  window.vantrelPlayground = { run: run, builtId: function () { return builtId; } };
})();
