// The loader of a one-file page: the program's JavaScript, its WebAssembly and
// its files (the default font, its sounds and images) sit in this page as
// gzip-compressed base64 text. They are unpacked with the browser's own
// DecompressionStream and handed to the runtime as if they had been fetched,
// so the page needs no server and works opened straight from the disk.
(function () {
  function unpack(id) {
    var element = document.getElementById(id);
    if (!element) return Promise.resolve(null);
    var text = atob(element.textContent.trim());
    element.remove();
    var packed = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) packed[i] = text.charCodeAt(i);
    var stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
    return new Response(stream).arrayBuffer();
  }
  if (typeof DecompressionStream === 'undefined' || typeof Blob.prototype.stream !== 'function') {
    throw new Error('this browser cannot unpack the page: open it in a current Firefox, Chrome, Edge or Safari');
  }
  Promise.all([unpack('vantrel-js'), unpack('vantrel-wasm'), unpack('vantrel-data')]).then(function (parts) {
    Module.wasmBinary = parts[1];
    if (parts[2]) {
      Module.getPreloadedPackage = function () {
        return parts[2];
      };
    }
    var script = document.createElement('script');
    script.src = URL.createObjectURL(new Blob([parts[0]], { type: 'text/javascript' }));
    document.body.appendChild(script);
  }).catch(function (error) {
    throw new Error('the page could not be unpacked (' + (error && error.message ? error.message : error) + ')');
  });
})();
