// Headless-browser smoke check of the administration UI against a running
// installation (scripts/ui-smoke starts one in a scratch root):
//
//   node --experimental-websocket tests/ui/smoke.mjs BASE_URL SHOT_DIR [--no-daemon] [--root=DIR]
//
// It loads the page shell, requires every linked file to load and no script
// error, logs in, works through every tab as an administrator would (each
// step through the real widgets and the real program), and saves one
// screenshot per tab into SHOT_DIR. --no-daemon skips the steps that need
// the switch-daemon simulator. With --root (the installation's KORVAN_ROOT)
// it also prepares states through the database (expired password, first
// login, factory mode) and checks the uploaded file. Prints "N passed, M failed"; exits 1 on any
// failure.
import { mkdirSync, writeFileSync, readFileSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { join } from 'node:path';
import { launch } from './cdp.mjs';

const [base, shotDir = 'ui-shots', ...flags] = process.argv.slice(2);
if (!base) { console.error('usage: smoke.mjs BASE_URL [SHOT_DIR] [--no-daemon]'); process.exit(2); }
const withDaemon = !flags.includes('--no-daemon');
const root = (flags.find((f) => f.startsWith('--root=')) || '').slice('--root='.length);
const sql = (statement) => execFileSync('sqlite3', [join(root, 'usr/app/korvan.db'), statement]);
const pageUrl = base.replace(/\/$/, '') + '/cgi/korvan.cgi';
mkdirSync(shotDir, { recursive: true });

let passed = 0;
let failed = 0;
const problems = [];   // network failures and script errors seen by the browser

const page = await launch({ chromium: process.env.CHROMIUM || 'chromium' });
page.on((method, p) => {
  if (method === 'Network.responseReceived' && p.response.status >= 400) {
    problems.push(`HTTP ${p.response.status} ${p.response.url}`);
  } else if (method === 'Network.loadingFailed' && !p.canceled) {
    problems.push(`load failed ${p.errorText} (${p.requestId})`);
  } else if (method === 'Runtime.exceptionThrown') {
    const d = p.exceptionDetails;
    problems.push('script error: ' + ((d.exception && d.exception.description) || d.text));
  } else if (method === 'Runtime.consoleAPICalled' && p.type === 'error') {
    problems.push('console error: ' + p.args.map((a) => a.value ?? a.description).join(' '));
  }
});
await page.send('Network.enable');
await page.send('Runtime.enable');
await page.send('Page.enable');

async function step(name, fn) {
  const before = problems.length;
  try {
    await fn();
    if (problems.length > before) throw new Error(problems.slice(before).join('; '));
    passed++;
    console.log(`ok    ${name}`);
  } catch (e) {
    failed++;
    console.log(`FAIL  ${name}: ${e.message}`);
  }
}

function expect(cond, what) { if (!cond) throw new Error(what); }

const js = (s) => JSON.stringify(s);
const click = (sel) => page.eval(`(function(){var $e=$(${js(sel)}); if(!$e.length) throw new Error('no element ${sel.replace(/'/g, '')}'); $e.first().click(); return true;})()`);
const dlg = '.kui-dialog:last';
const fill = (name, value) => page.eval(`$(${js(dlg + ' [name="' + name + '"]')}).val(${js(value)}).trigger('input').length`);
const dialogs = () => page.eval('$(".kui-dialog").length');
const snap = (expr) => page.eval(`(function(s){return ${expr};})(kvApp.snapshot())`);
// Selects the grid row whose text contains the given text.
const pickRow = (gridCls, text) => page.eval(`(function(){var $r=$('.${gridCls} tbody tr').filter(function(){return $(this).text().indexOf(${js(text)})>=0;}); if(!$r.length) throw new Error('no row ${text}'); $r.first().click(); return true;})()`);
const tab = (id) => page.eval(`$('.kui-tab-title[data-tab=${id}]').click().length`);
async function shot(name) { writeFileSync(join(shotDir, name + '.png'), await page.screenshot()); }
// Waits for the call of a dialog to finish (the dialog closes) with no error box.
async function dialogSucceeds(count = 0) {
  await page.waitFor(`$('.kui-dialog').length <= ${count}`, 15000, 'dialog to close');
}
async function closeMessage(kind) {
  await page.waitFor(`$('.kui-dialog-${kind}').length`, 15000, `${kind} message`);
  const text = await page.eval(`$('.kui-dialog-${kind}:last .kui-message-text').text()`);
  await click(`.kui-dialog-${kind}:last [data-name=ok]`);
  return text;
}

await step('page shell loads every linked file without script errors', async () => {
  await page.goto(pageUrl);
  await page.waitFor('window.kvApp && $("#kv-login-user").length', 8000, 'login form');
  const libs = await page.eval(`[jQuery.fn.jquery, !!$.datepicker, !!window.kui.Grid, !!window.kui.Dialog, typeof md5Hex, typeof kuiLanguages, siteLang]`);
  expect(libs[0] === '1.11.1', 'jQuery ' + libs[0]);
  expect(libs[1] && libs[2] && libs[3], 'widgets missing');
  expect(libs[4] === 'function' && libs[5] === 'object', 'md5.js or language.js missing');
  await shot('01-login');
});

await step('wrong password shows the failure count', async () => {
  await page.eval(`$('#kv-login-user').val('admin'); $('#kv-login-pw').val('wrong'); $('.kv-login-form').submit(); 1`);
  const msg = await page.waitFor(`$('.kv-login-error').text()`, 8000, 'login error');
  expect(/User Name or Password error: \d+ times/.test(msg), 'message: ' + msg);
});

if (root) {
  // The next login finds an expired password and the first-login flag.
  sql("update user2 set pwdExpire='2000-01-01 00:00:00' where nm='admin'; update secureConf set f_firstLogin=1;");
}

await step('login as admin opens the application', async () => {
  await page.eval(`$('#kv-login-user').val('admin'); $('#kv-login-pw').val('admin'); $('.kv-login-form').submit(); 1`);
  await page.waitFor(`$('.kui-tab-title').length === 7 && kvApp.snapshot() && kvApp.snapshot().curUser`, 8000, 'tabs');
  if (root) {
    // One prompt, for the expired password; saving it also ends first-login mode.
    await page.waitFor(`$('.kui-dialog .kv-note').text().indexOf('Password has expired')>=0`, 8000, 'expiry prompt');
    expect(await dialogs() === 1, 'one password prompt');
    expect(await page.eval(`$('.kv-banner-warning').text().indexOf('initial password')>=0`), 'first-login banner');
    // The same password again is refused in the form.
    await fill('pw', 'admin');
    await fill('pw2', 'admin');
    await click(dlg + ' [data-name=save]');
    expect(await page.eval(`$(${js(dlg)}).find('.kv-form-error:visible').length`) === 1, 'same password accepted');
    await fill('pw', 'Adm1n-new');
    await fill('pw2', 'Adm1n-new');
    await click(dlg + ' [data-name=save]');
    await closeMessage('success');
    await page.waitFor(`!kvApp.snapshot().firstLogin && !$('.kv-banner-warning').length`, 8000, 'first-login banner gone');
  }
  const s = await page.eval(`JSON.parse(sessionStorage.getItem('kvm.session'))`);
  expect(s && s.nm === 'admin' && s.token && s.userID === s.id, 'session ' + JSON.stringify(s));
  const status = await page.eval(`$('.kui-layout-status').text()`);
  expect(status.includes('Version'), 'status bar: ' + status);
  await shot('02-consoles');
});

if (withDaemon) {
  await step('console edit renames a module (daemon told)', async () => {
    await tab('consoles');
    await pickRow('kv-grid-dogs', 'web-01');
    await click('[data-name=dog-edit]');
    await fill('nm', 'web-01a');
    await fill('memo', 'rack 4');
    await click(dlg + ' [data-name=save]');
    await dialogSucceeds();
    const nm = await snap(`s.dogs.filter(function(d){return d.id==='1';})[0].nm`);
    expect(nm === 'web-01a', 'name ' + nm);
  });

  await step('KVM session shows the granted parameters', async () => {
    await pickRow('kv-grid-dogs', 'web-01a');
    await click('[data-name=dog-kvm]');
    await page.waitFor(`$('.kv-params tr').length >= 5`, 15000, 'session parameters');
    const raw = await page.eval(`$('.kv-raw').val()`);
    const q = JSON.parse(raw);
    expect(q.desEncode && q.desEncode.length === 16 && q.userNM === 'admin', 'qt ' + raw);
    await shot('03-kvm-session');
    await click(dlg + ' .kui-dialog-buttons button');
  });

  await step('set clock', async () => {
    await tab('system');
    await page.eval(`$('[data-name=time-local]').click(); 1`);
    await click('[data-name=time-set]');
    const text = await closeMessage('success');
    expect(/\d{4}-\d\d-\d\d \d\d:\d\d:\d\d/.test(text), text);
  });
}

await step('serial capture and release', async () => {
  await tab('consoles');
  await pickRow('kv-grid-dogs', 'router-console');
  await click('[data-name=dog-cap]');
  await closeMessage('success');
  const holder = await snap(`(s.serials||[]).filter(function(x){return x.dogNM==='router-console';}).map(function(x){return x.userNM;}).join()`);
  expect(holder === 'admin', 'holder ' + holder);
  await pickRow('kv-grid-dogs', 'router-console');
  await click('[data-name=dog-uncap]');
  await closeMessage('success');
});

await step('add, edit and delete a user with per-slot rights', async () => {
  await tab('users');
  await click('[data-name=user-add]');
  await fill('nm', 'smoke-user');
  await fill('pw', 'Sm0ke!pw');
  await fill('pw2', 'Sm0ke!pw');
  await page.eval(`$(${js(dlg)}).find('[name=pid]').val('3').change(); 1`);
  // Give write on slot 1 (read follows), take read off slot 2.
  await page.eval(`$(${js(dlg)}).find('[data-name=write0]').click(); $(${js(dlg)}).find('[data-name=read1]').click(); 1`);
  await click(dlg + ' [data-name=save]');
  await dialogSucceeds();
  const u = await snap(`(s.users||[]).filter(function(u){return u.nm==='smoke-user';})[0]`);
  expect(u && u.privNM === 'Viewers' && u.dogDB === '30110000' && u.pwdDepth === '4', 'user ' + JSON.stringify(u));
  await shot('04-users');

  await pickRow('kv-grid-users', 'smoke-user');
  await click('[data-name=user-edit]');
  await fill('memo', 'edited by smoke');
  await click(dlg + ' [data-name=save]');
  await dialogSucceeds();
  const memo = await snap(`s.users.filter(function(u){return u.nm==='smoke-user';})[0].memo`);
  expect(memo === 'edited by smoke', 'memo ' + memo);

  await pickRow('kv-grid-users', 'smoke-user');
  await click('[data-name=user-del]');
  await click(dlg + ' [data-name=ok]');
  await page.waitFor(`!(kvApp.snapshot().users||[]).some(function(u){return u.nm==='smoke-user';})`, 8000, 'user gone');
});

await step('unchanged user shows the warning "Nothing modified"', async () => {
  await pickRow('kv-grid-users', 'operator');
  await click('[data-name=user-edit]');
  await click(dlg + ' [data-name=save]');
  const text = await closeMessage('warning');
  expect(text === 'Nothing modified', text);
  await click(dlg + ' .kui-dialog-x');
});

await step('group rename and duplicate-name warning', async () => {
  await tab('groups');
  await pickRow('kv-grid-groups', 'Viewers');
  await click('[data-name=group-edit]');
  await fill('nm', 'Operators');
  await click(dlg + ' [data-name=save]');
  const text = await closeMessage('warning');
  expect(/duplicate/.test(text), text);
  await fill('nm', 'Watchers');
  await click(dlg + ' [data-name=save]');
  await dialogSucceeds();
  expect(await snap(`s.privs.some(function(p){return p.nm==='Watchers';})`), 'renamed');
  await shot('05-groups');
});

await step('server settings: invalid field refused, name change saved', async () => {
  await tab('network');
  const form = '[data-name=server] ';
  await page.eval(`$('${form}[name=gateway]').val('10.0.0'); 1`);
  await click('[data-name=server-save]');
  const err = await page.eval(`$('${form}.kv-form-error:visible').text()`);
  expect(/Gateway/.test(err), 'error: ' + err);
  await click('[data-name=server-reset]');
  await page.eval(`$('${form}[name=nm]').val('korvan-smoke'); 1`);
  await click('[data-name=server-save]');
  await closeMessage('success');
  expect(await snap('s.server.nm') === 'korvan-smoke', 'name not saved');
});

await step('server IP list and access list editing', async () => {
  await tab('network');
  await page.eval(`$('[data-name=serverips-ip]').val('10.1.1.1'); 1`);
  await click('[data-name=serverips-add]');
  await page.waitFor(`$('[data-name=serverips] .kui-listbox-item').text().indexOf('10.1.1.1')>=0`, 8000, 'server list');
  await page.eval(`$('[data-name=serverips-ip]').val('10.1.1'); 1`);
  await click('[data-name=serverips-add]');
  expect(await page.eval(`$('.kv-iplist-side .kv-form-error:visible').length`) === 1, 'bad address not refused');
  await shot('06-network');
  await tab('security');
  await page.eval(`$('[data-name=ips-ip]').val('10.9.9.9'); 1`);
  await click('[data-name=ips-add]');
  await page.waitFor(`(kvApp.snapshot().ips.ips||[]).some(function(e){return e.ip==='10.9.9.9';})`, 8000, 'access list');
  await page.eval(`$('[data-name=ips] .kui-listbox-item').filter(function(){return $(this).text()==='10.9.9.9';}).click(); 1`);
  await click('[data-name=ips-del]');
  await page.waitFor(`!(kvApp.snapshot().ips.ips||[]).some(function(e){return e.ip==='10.9.9.9';})`, 8000, 'access entry gone');
  await shot('07-security');
});

await step('log search renders the change details', async () => {
  await tab('log');
  await click('[data-name=log-search]');
  await page.waitFor(`$('.kv-grid-log tbody tr').not('.kui-grid-empty').length > 0`, 8000, 'log rows');
  const details = await page.eval(`$('.kv-log-details th').length`);
  expect(details > 0, 'no details rendered');
  await shot('08-log');
});

await step('language saved and applied after a page reload', async () => {
  await tab('system');
  await page.eval(`$('[name=language]').val('de'); 1`);
  await click('[data-name=lang-save]');
  await page.waitFor(`$('.kui-tab-title[data-tab=consoles]').text()==='Konsolen'`, 8000, 'German titles');
  await shot('09-system-de');
  await page.goto(pageUrl);
  await page.waitFor(`siteLang==='de' && $('.kui-tab-title[data-tab=users]').text()==='Benutzer'`, 8000, 'German after reload');
  await page.eval(`$('[name=language]').val('en'); 1`);
  await click('[data-name=lang-save]');
  await page.waitFor(`$('.kui-tab-title[data-tab=consoles]').text()==='Consoles'`, 8000, 'English titles');
});

await step('firmware upload with checksum, and database download', async () => {
  await tab('system');
  // 3000 bytes of a known pattern as the chosen file.
  await page.eval(`(function(){var b=new Uint8Array(3000); for(var i=0;i<b.length;i++) b[i]=i%251;
    var dt=new DataTransfer(); dt.items.add(new File([b],'fw.bin'));
    var f=$('[data-name=firmware-file]')[0]; f.files=dt.files; $(f).trigger('change'); return 1;})()`);
  const md5 = await page.waitFor(`/MD5 [0-9a-f]{32}/.test($('[data-name=firmware-md5]').text()) && $('[data-name=firmware-md5]').text()`, 8000, 'checksum');
  const bytes = Buffer.from(Array.from({ length: 3000 }, (_, i) => i % 251));
  const { createHash } = await import('node:crypto');
  expect(md5.includes(createHash('md5').update(bytes).digest('hex')), 'checksum ' + md5);
  await click('[data-name=firmware-upload]');
  await click(dlg + ' [data-name=ok]');
  const text = await closeMessage('success');
  expect(text === 'update firmware success', text);
  if (root) expect(readFileSync(join(root, 'usr/app/firmupdate')).equals(bytes), 'stored bytes differ');
  // The download goes to an object URL that an <a download> opens.
  await page.eval(`(function(){window.__dl=null; var orig=HTMLAnchorElement.prototype.click;
    HTMLAnchorElement.prototype.click=function(){ if(this.download){ var a=this; window.__dl={name:a.download};
      fetch(a.href).then(function(r){return r.arrayBuffer();}).then(function(b){window.__dl.size=b.byteLength;
        window.__dl.head=String.fromCharCode.apply(null,new Uint8Array(b.slice(0,15)));}); return; } return orig.call(this); };
    $('[data-name=db-download]').click(); return 1;})()`);
  const dl = await page.waitFor(`window.__dl && window.__dl.size && window.__dl`, 8000, 'download');
  expect(dl.name === 'korvan.db' && dl.head === 'SQLite format 3', JSON.stringify(dl));
});

if (withDaemon) {
  await step('restart asks first and is acknowledged', async () => {
    await tab('system');
    await click('[data-name=restart]');
    await click(dlg + ' [data-name=ok]');
    const text = await closeMessage('info');
    expect(/restarting/.test(text), text);
  });
}

if (root) {
  await step('factory mode: banner, module identity fields, conversion to client mode', async () => {
    sql('update other2 set factoryMode=1;');
    await click('[data-name=refresh]');
    await page.waitFor(`$('.kv-banner-info').text().indexOf('factory mode')>=0`, 8000, 'factory banner');
    await tab('consoles');
    await pickRow('kv-grid-dogs', 'db-01');
    await click('[data-name=dog-edit]');
    expect(await page.eval(`$(${js(dlg)}).find('[name=uid]').val()==='U1A0000002' && $(${js(dlg)}).find('[name=portID]').length===1`), 'identity fields');
    await shot('10-factory-console');
    await click(dlg + ' .kui-dialog-x');
    await tab('system');
    await click('[data-name=client-mode]');
    await click(dlg + ' [data-name=ok]');
    await closeMessage('success');
    expect(await page.eval(`!$('.kv-banner-info').length && !$('[data-name=client-mode]').is(':visible')`), 'still factory');
  });
}

await step('a closed session returns to the login form', async () => {
  await page.eval(`(function(){var s=JSON.parse(sessionStorage.getItem('kvm.session')); s.token='stale'; sessionStorage.setItem('kvm.session', JSON.stringify(s)); return 1;})()`);
  await click('[data-name=refresh]');
  const msg = await page.waitFor(`$('#kv-login:visible .kv-login-warning').text()`, 8000, 'login form');
  expect(/session has ended/.test(msg), msg);
  expect(await page.eval(`sessionStorage.getItem('kvm.session')`) === null, 'session kept');
});

await page.close();
if (problems.length) console.log('browser reported:\n  ' + problems.join('\n  '));
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
