// A zip file of the given files, stored without compression (the page, the
// largest, is compressed inside already): makeZip([{name, bytes}]) is a Blob.
'use strict';
var makeZip = (function () {
  var table = [];
  for (var n = 0; n < 256; n++) {
    var c = n;
    for (var k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    table[n] = c >>> 0;
  }
  function crc32(bytes) {
    var crc = 0xffffffff;
    for (var i = 0; i < bytes.length; i++) crc = table[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
  }
  function header(size) { return new DataView(new ArrayBuffer(size)); }
  return function makeZip(files) {
    var parts = [], central = [], offset = 0;
    files.forEach(function (file) {
      var name = new TextEncoder().encode(file.name), crc = crc32(file.bytes), size = file.bytes.length;
      var local = header(30);
      local.setUint32(0, 0x04034b50, true); local.setUint16(4, 20, true); local.setUint16(6, 0x0800, true);
      local.setUint32(14, crc, true); local.setUint32(18, size, true); local.setUint32(22, size, true);
      local.setUint16(26, name.length, true);
      parts.push(local, name, file.bytes);
      var entry = header(46);
      entry.setUint32(0, 0x02014b50, true); entry.setUint16(4, 20, true); entry.setUint16(6, 20, true);
      entry.setUint16(8, 0x0800, true); entry.setUint32(16, crc, true); entry.setUint32(20, size, true);
      entry.setUint32(24, size, true); entry.setUint16(28, name.length, true); entry.setUint32(42, offset, true);
      central.push(entry, name);
      offset += 30 + name.length + size;
    });
    var centralSize = central.reduce(function (sum, part) { return sum + part.byteLength; }, 0);
    var end = header(22);
    end.setUint32(0, 0x06054b50, true); end.setUint16(8, files.length, true); end.setUint16(10, files.length, true);
    end.setUint32(12, centralSize, true); end.setUint32(16, offset, true);
    return new Blob(parts.concat(central, [end]), { type: 'application/zip' });
  };
})();
