// Browser measurement of the Log tab over a large operation log:
//
//   node bench/log-tab.mjs [BUILD] [RECORDS]      (default: build/, 100000)
//
// Starts a scratch installation (scripts/make-devroot, scripts/run-local) with
// RECORDS log records, logs in as a person would in Debian's chromium and
// reports:
//   first page   click on the Log tab until the first record row is shown
//                (where the tab shows nothing by itself, the Search click is
//                part of it)
//   tab switch   Users tab and back to the Log tab, until the Log rows show
//                (timed in the page: click to the next frame drawn)
//   heap         the page's script heap after both (after a forced GC)
//   rows         record rows in the DOM
//   selLog       median wall time of 20 "selLog" calls with limit 200
import { chromium } from '../ui/node_modules/playwright-core/index.mjs';
import { execFileSync, spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const top = resolve(fileURLToPath(new URL('.', import.meta.url)), '..');
const build = resolve(process.argv[2] || join(top, 'build'));
const records = parseInt(process.argv[3] || '100000', 10);

const freePort = () => new Promise((ok) => {
  const s = createServer().listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => ok(port)); });
});

const scratch = mkdtempSync(join(tmpdir(), 'korvan-logbench-'));
const root = join(scratch, 'root');
execFileSync(join(top, 'scripts/make-devroot'), [root, build], { stdio: ['ignore', 'ignore', 'inherit'] });
const db = join(root, 'usr/app/korvan.db');
execFileSync('sqlite3', [db], { input: `begin;
with recursive n(i) as (select 1 union all select i+1 from n where i<${records})
  insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth)
  select 'user'||(i%64), datetime(1700000000+i*60,'unixepoch'), '10.0.0.'||(i%250), 'user',
         'updUser','update user',
         '[{"nm":"Name","v1":"before '||i||'","v2":"after '||i||'"},{"nm":"Memo","v1":"","v2":"x"}]'||char(10)
  from n;
commit;` });

const [port, armPort] = [await freePort(), await freePort()];
const runner = spawn(join(top, 'scripts/run-local'), [root, build, String(port)], {
  env: { ...process.env, KORVAN_ARM_PORT: String(armPort) }, stdio: ['ignore', 'pipe', 'pipe'], detached: true,
});
await new Promise((ok, fail) => {
  let log = '';
  const seen = (c) => { log += c; if (log.includes('Korvan is running')) ok(); };
  runner.stdout.on('data', seen);
  runner.stderr.on('data', seen);
  runner.on('exit', () => fail(new Error('run-local ended:\n' + log)));
});
const url = `http://127.0.0.1:${port}/cgi/korvan.cgi`;

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--js-flags=--expose-gc', '--enable-precise-memory-info'],
});
const out = {};
try {
  const page = await browser.newPage({ viewport: { width: 1280, height: 860 } });
  await page.goto(url);
  await page.locator('#kv-login-user').fill('admin');
  await page.locator('#kv-login-pw').fill('admin');
  await page.locator('#kv-login-pw').press('Enter');
  const tab = (id) => page.locator(`.kui-tab-title[data-tab=${id}]`);
  await tab('log').waitFor();
  const records = '.kv-grid-log > .kui-grid-table > tbody > tr:not(.kui-grid-empty)';
  const logRow = page.locator(records).first();
  const median = (a) => a.sort((x, y) => x - y)[a.length >> 1];

  // First page: three fresh loads of the page, the median.
  const firsts = [];
  for (let round = 0; round < 3 && !out.firstPageMs; round++) {
    if (round) {
      await page.reload();
      await tab('log').waitFor();
    }
    const t0 = Date.now();
    await tab('log').click();
    try {
      await logRow.waitFor({ timeout: 1500 });
    } catch {
      // A tab that shows nothing until searched: the search is part of the way.
      await page.locator('[data-name="log-search"]').click();
      await logRow.waitFor({ timeout: 120000 }).catch(() => { out.firstPageMs = 'not shown within 120 s'; });
    }
    firsts.push(Date.now() - t0);
  }
  out.firstPageMs ??= median(firsts);

  if (typeof out.firstPageMs === 'number') {
    // Tab switch: Users and back to Log, five times, the median.
    const switches = [];
    for (let round = 0; round < 5; round++) {
      await tab('users').click();
      await page.locator('.kv-grid-users tbody tr').first().waitFor();
      // Timed in the page, from the click to the next frame drawn with the
      // rows visible, so the driver's own polling is not counted.
      await page.evaluate(() => document.addEventListener('click', () => { window.__t0 = performance.now(); },
        { capture: true, once: true }));
      await tab('log').click();
      await logRow.waitFor({ state: 'visible' });
      switches.push(await page.evaluate(() => new Promise((done) =>
        requestAnimationFrame(() => setTimeout(() => done(Math.round(performance.now() - window.__t0)))))));
    }
    out.tabSwitchMs = median(switches);
  }

  const cdp = await page.context().newCDPSession(page);
  await page.evaluate(() => window.gc && window.gc());
  const heap = await cdp.send('Runtime.getHeapUsage');
  out.heapMB = +(heap.usedSize / 1048576).toFixed(1);
  out.rows = await page.locator(records).count();

  // selLog with limit 200 from the page's own session.
  const s = await page.evaluate(() => JSON.parse(sessionStorage.getItem('kvm.session')));
  const body = 'postKey=' + encodeURIComponent(JSON.stringify({
    type: 'selLog', user: { id: s.userID, token: s.token, nm: s.nm }, userID: s.userID,
    logCondition: { user: '', timeBegin: '', timeEnd: '', type: 'all', limit: '200' },
  }));
  const times = [];
  let size = 0;
  for (let i = 0; i < 20; i++) {
    const t = process.hrtime.bigint();
    const r = await fetch(url, { method: 'POST', body, headers: { 'Content-Type': 'application/x-www-form-urlencoded' } });
    size = (await r.text()).length;
    times.push(Number(process.hrtime.bigint() - t) / 1e6);
  }
  times.sort((a, b) => a - b);
  out.selLog200Ms = +times[10].toFixed(1);
  out.selLog200Bytes = size;
} finally {
  await browser.close();
  process.kill(-runner.pid, 'SIGTERM');
  await new Promise((ok) => runner.on('exit', ok));
  rmSync(scratch, { recursive: true, force: true });
}
console.log(`log tab over ${records} records (${build})`);
for (const [k, v] of Object.entries(out)) console.log(`  ${k.padEnd(16)} ${v}`);
