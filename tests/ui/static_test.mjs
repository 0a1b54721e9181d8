// Static checks of the browser UI's files, run by scripts/ui-smoke with
// `node --test`: the language script keeps the one line the program rewrites,
// every text key the application uses exists in English, the program's
// page-shell links all have a file, and the MD5 used for upload checksums is
// right.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, existsSync } from 'node:fs';
import { createHash, randomBytes } from 'node:crypto';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import vm from 'node:vm';

const top = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const www = join(top, 'www');
const read = (p) => readFileSync(join(www, p), 'utf8');

function loadLanguages(text = read('lib/language.js')) {
  const ctx = {};
  vm.runInNewContext(text + '\nthis.L = kuiLanguages; this.S = siteLang;', ctx);
  return ctx;
}

test('language script has exactly one line the page shell rewrites', () => {
  const text = read('lib/language.js');
  const lines = text.split('\n').filter((l) => /var siteLang = */.test(l));
  assert.equal(lines.length, 1);
  // The program's sed edit: every such line becomes var siteLang ='<code>';
  const edited = text.split('\n').map((l) => (/var siteLang = */.test(l) ? "var siteLang ='de';" : l)).join('\n');
  assert.equal(loadLanguages(edited).S, 'de');
  // An empty stored language still leaves a script that runs.
  const empty = text.split('\n').map((l) => (/var siteLang = */.test(l) ? "var siteLang ='';" : l)).join('\n');
  assert.equal(loadLanguages(empty).S, '');
});

test('every text key of the application exists in English', () => {
  const { L } = loadLanguages();
  assert.ok(Object.keys(L).length >= 2, 'at least two languages');
  const app = read('HtmlJS.js');
  const used = new Set([...app.matchAll(/\bTf?\('([A-Za-z0-9_]+)'/g)].map((m) => m[1]));
  // Keys built from a prefix and a value.
  const prefixed = {
    tab_: ['consoles', 'users', 'groups', 'network', 'security', 'log', 'system'],
    kind: ['0', '1', '2', '3'], dogStatus: ['0', '1', '2'], userStatus: ['0', '1'], prior: ['0', '1', '2'],
    level: ['0', '1', '2', '3'], kindArmErr: [''], kindLockErr: [''],
  };
  for (const [p, vals] of Object.entries(prefixed)) for (const v of vals) used.add(p + v);
  const missing = [...used].filter((k) => !(k in L.en.texts) && !k.endsWith('_'));
  assert.deepEqual(missing, []);
  for (const [code, l] of Object.entries(L)) {
    assert.ok(l.name, `${code} has a name`);
    const extra = Object.keys(l.texts).filter((k) => !(k in L.en.texts));
    assert.deepEqual(extra, [], `${code} has no keys unknown to English`);
  }
});

test('every file the page shell links exists', () => {
  const links = [
    'lib/ligerUILib/ligerUI/skins/Aqua/css/ligerui-all.css', 'lib/dark/jquery-ui.css', 'md5.js',
    'lib/jquery-1.11.1.js', 'lib/jquery-ui.js', 'lib/ligerUILib/ligerUI/js/core/base.js',
    'lib/ligerUILib/ligerUI/js/core/inject.js', 'lib/language.js', 'my.css', 'HtmlJS.js', 'HtmlBody.html',
    ...['ligerLayout', 'ligerGrid', 'ligerResizable', 'ligerDialog', 'ligerCheckBox', 'ligerButton',
      'ligerListBox', 'ligerTab', 'ligerDateEditor', 'ligerDrag'].map((n) => `lib/ligerUILib/ligerUI/js/plugins/${n}.js`),
  ];
  assert.deepEqual(links.filter((p) => !existsSync(join(www, p))), []);
  // Images that the style sheets refer to.
  for (const css of ['lib/dark/jquery-ui.css', 'lib/ligerUILib/ligerUI/skins/Aqua/css/ligerui-all.css', 'my.css']) {
    for (const m of read(css).matchAll(/url\("?([^")]+)"?\)/g)) {
      assert.ok(existsSync(join(www, dirname(css), m[1])), `${css}: ${m[1]}`);
    }
  }
});

test('md5 matches the reference digest, also fed in slices', () => {
  const ctx = { unescape };
  ctx.window = ctx;
  vm.runInNewContext(read('md5.js'), ctx);
  for (const text of ['', 'abc', 'message digest', 'x'.repeat(55), 'x'.repeat(56), 'x'.repeat(64), 'Grüße 世界']) {
    assert.equal(ctx.md5Hex(text), createHash('md5').update(text, 'utf8').digest('hex'), JSON.stringify(text));
  }
  const data = randomBytes(70001);
  const h = new ctx.Md5();
  for (let i = 0; i < data.length; i += 4099) h.update(new Uint8Array(data.subarray(i, i + 4099)));
  assert.equal(h.hex(), createHash('md5').update(data).digest('hex'));
});
