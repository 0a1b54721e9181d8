/*
 * MD5 message digest (RFC 1321) for the browser.
 *
 * The UI shows the MD5 checksum of a firmware or database file before it is
 * uploaded, so that the administrator can compare it with the checksum the
 * file was published with. The digest is computed incrementally, so large
 * files can be read in slices:
 *
 *   var h = new Md5(); h.update(uint8Array); ...; h.hex()  // 32 hex digits
 *   md5Hex('abc')  // text is hashed as its UTF-8 bytes
 */
(function (window) {
    'use strict';

    // Per-round left-rotation amounts.
    var S = [7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
             5, 9, 14, 20, 5, 9, 14, 20, 5, 9, 14, 20, 5, 9, 14, 20,
             4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
             6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21];

    // K[i] = floor(abs(sin(i + 1)) * 2^32).
    var K = [];
    for (var i = 0; i < 64; i++) K[i] = Math.floor(Math.abs(Math.sin(i + 1)) * 4294967296) | 0;

    function Md5() {
        this.state = [0x67452301, 0xefcdab89 | 0, 0x98badcfe | 0, 0x10325476];
        this.block = new Uint8Array(64);
        this.blockLen = 0;
        this.total = 0;      // bytes hashed so far
        this.words = new Int32Array(16);
    }

    // Processes the 64 bytes in this.block.
    Md5.prototype.compress = function () {
        var b = this.block, x = this.words, j;
        for (j = 0; j < 16; j++) {
            x[j] = b[j * 4] | (b[j * 4 + 1] << 8) | (b[j * 4 + 2] << 16) | (b[j * 4 + 3] << 24);
        }
        var a = this.state[0], bb = this.state[1], c = this.state[2], d = this.state[3];
        for (j = 0; j < 64; j++) {
            var f, g;
            if (j < 16) { f = (bb & c) | (~bb & d); g = j; }
            else if (j < 32) { f = (d & bb) | (~d & c); g = (5 * j + 1) & 15; }
            else if (j < 48) { f = bb ^ c ^ d; g = (3 * j + 5) & 15; }
            else { f = c ^ (bb | ~d); g = (7 * j) & 15; }
            var t = d;
            d = c;
            c = bb;
            var sum = (a + f + K[j] + x[g]) | 0;
            bb = (bb + ((sum << S[j]) | (sum >>> (32 - S[j])))) | 0;
            a = t;
        }
        this.state[0] = (this.state[0] + a) | 0;
        this.state[1] = (this.state[1] + bb) | 0;
        this.state[2] = (this.state[2] + c) | 0;
        this.state[3] = (this.state[3] + d) | 0;
    };

    // Adds bytes (a Uint8Array) to the message.
    Md5.prototype.update = function (bytes) {
        for (var p = 0; p < bytes.length; p++) {
            this.block[this.blockLen++] = bytes[p];
            if (this.blockLen === 64) { this.compress(); this.blockLen = 0; }
        }
        this.total += bytes.length;
        return this;
    };

    // Ends the message and returns the digest as 32 lower-case hex digits.
    Md5.prototype.hex = function () {
        var bits = this.total * 8;
        var pad = new Uint8Array(((this.blockLen < 56) ? 56 : 120) - this.blockLen + 8);
        pad[0] = 0x80;
        var n = pad.length - 8;
        // Message length in bits, 64-bit little-endian.
        var lo = bits % 4294967296, hi = Math.floor(bits / 4294967296);
        for (var k = 0; k < 4; k++) {
            pad[n + k] = (lo >>> (8 * k)) & 0xff;
            pad[n + 4 + k] = (hi >>> (8 * k)) & 0xff;
        }
        var total = this.total;
        this.update(pad);
        this.total = total;
        var out = '';
        for (var w = 0; w < 4; w++) {
            for (var byteIx = 0; byteIx < 4; byteIx++) {
                var v = (this.state[w] >>> (8 * byteIx)) & 0xff;
                out += (v < 16 ? '0' : '') + v.toString(16);
            }
        }
        return out;
    };

    // UTF-8 bytes of a text.
    function utf8(text) {
        var s = unescape(encodeURIComponent(text));
        var out = new Uint8Array(s.length);
        for (var q = 0; q < s.length; q++) out[q] = s.charCodeAt(q);
        return out;
    }

    window.Md5 = Md5;
    window.md5Hex = function (text) { return new Md5().update(utf8(text)).hex(); };
    window.utf8Bytes = utf8;
})(window);
