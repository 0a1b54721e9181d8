// The administration UI driven as a person would: typing, clicking, Enter and
// Escape, against the real program, lighttpd and the switch simulator
// (server.mjs). The tests run in file order on one installation.
// The runner and its library live with the UI's packages in ui/.
import { test as base, expect } from '../../ui/node_modules/@playwright/test/index.mjs';
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdirSync, readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const shots = resolve(fileURLToPath(new URL('.', import.meta.url)), '../../ui-shots');
mkdirSync(shots, { recursive: true });
const sql = (statement) => execFileSync('sqlite3', [join(process.env.KORVAN_UI_ROOT, 'usr/app/korvan.db'), statement]);

// Every test fails on a script error or a failed load in the page.
const test = base.extend({
  page: async ({ page }, use) => {
    const problems = [];
    page.on('pageerror', (e) => problems.push('script error: ' + e.message));
    page.on('response', (r) => { if (r.status() >= 400) problems.push(`HTTP ${r.status()} ${r.url()}`); });
    await page.goto(process.env.KORVAN_UI_URL);
    await use(page);
    expect(problems).toEqual([]);
  },
});

const dialog = (page) => page.locator('.kui-dialog').last();
const tab = (page, id) => page.locator(`.kui-tab-title[data-tab=${id}]`);
const row = (page, grid, text) => page.locator(`.${grid} tbody tr`, { hasText: text });
const button = (scope, name) => scope.locator(`[data-name="${name}"]`);

async function login(page, name, pw, how = 'click') {
  await page.locator('#kv-login-user').fill(name);
  await page.locator('#kv-login-pw').fill(pw);
  if (how === 'enter') await page.locator('#kv-login-pw').press('Enter');
  else await button(page, 'login').click();
}

async function loginAdmin(page) {
  await login(page, 'admin', 'admin');
  await expect(tab(page, 'consoles')).toBeVisible();
}

// Closes the message box of a kind ('success', 'warning', ...) and returns its text.
async function message(page, kind) {
  const box = page.locator(`.kui-dialog-${kind}`).last();
  const text = await box.locator('.kui-message-text').innerText();
  await button(box, 'ok').click();
  await expect(box).toHaveCount(0);
  return text;
}

test('login by click and by Enter, wrong password, logout, no password kept', async ({ page }) => {
  expect(await page.evaluate(() => jQuery.fn.jquery)).toMatch(/^3\.7\./);
  await login(page, 'admin', 'wrong', 'enter');
  await expect(page.locator('.kv-login-error')).toContainText(/User Name or Password error: \d+ times/);
  await login(page, 'admin', 'admin', 'enter');
  await expect(page.locator('.kui-tab-title')).toHaveCount(7);
  const kept = await page.evaluate(() => [sessionStorage.getItem('kvm.session'), JSON.stringify(kvApp.snapshot())]);
  expect(Object.keys(JSON.parse(kept[0])).sort()).toEqual(['id', 'nm', 'token', 'userID']);
  expect(kept[1]).not.toContain('"pw"');
  await button(page, 'logout').click();
  await expect(page.locator('.kv-login-info')).toBeVisible();
  await login(page, 'admin', 'admin', 'click');
  await expect(page.locator('.kui-tab-title')).toHaveCount(7);
});

test('every tab opens and shows its data in words', async ({ page }) => {
  await loginAdmin(page);
  const expected = {
    consoles: ['web-01', 'router-console'], users: ['admin', 'operator'], groups: ['Full control', 'View only'],
    network: ['Server address list'], security: ['Access list'], log: ['Search'], system: ['Set clock', 'Restart'],
  };
  for (const [id, texts] of Object.entries(expected)) {
    await tab(page, id).click();
    const panel = page.locator(`.kui-tab-panel[data-tab=${id}]`);
    for (const text of texts) await expect(panel).toContainText(text);
    await page.screenshot({ path: join(shots, `${id}.png`) });
  }
  // A free console slot shows no module id or name.
  await tab(page, 'consoles').click();
  const free = page.locator('.kv-grid-slots tbody tr', { hasText: 'Free' }).first();
  await expect(free.locator('td').nth(2)).toHaveText('');
  await expect(page.locator('[name=ip]')).toHaveValue('127.0.0.1');
});

test('console rename by Enter, KVM session dialog closed by Escape', async ({ page }) => {
  // A stored blank that the form sends back as the empty text is no change (see the log test).
  sql("update dogInfo2 set pos2=' ' where uid='U1A0000001';");
  await loginAdmin(page);
  await row(page, 'kv-grid-dogs', 'web-01').click();
  await button(page, 'dog-edit').click();
  await dialog(page).locator('[name=nm]').fill('web-01a');
  await dialog(page).locator('[name=pos1]').fill('rack 4');
  await dialog(page).locator('[name=pos1]').press('Enter');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(row(page, 'kv-grid-dogs', 'web-01a')).toContainText('rack 4');

  await row(page, 'kv-grid-dogs', 'web-01a').click();
  await button(page, 'dog-kvm').click();
  await expect(dialog(page).locator('.kv-params tr')).not.toHaveCount(0);
  expect(JSON.parse(await dialog(page).locator('.kv-raw').inputValue()).userNM).toBe('admin');
  await page.screenshot({ path: join(shots, 'kvm-session.png') });
  await page.keyboard.press('Escape');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
});

test('user add with console rights, edit, delete', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'users').click();
  await button(page, 'user-add').click();
  const dlg = dialog(page);
  await dlg.locator('[name=nm]').fill('tmpuser');
  await dlg.locator('[name=pw]').fill('Tmp!pass1');
  await dlg.locator('[name=pw2]').fill('Tmp!pass1');
  await dlg.locator('[name=pid]').selectOption({ label: 'Viewers' });
  await button(dlg, 'write0').check();
  await button(dlg, 'read1').uncheck();
  await button(dlg, 'save').click();
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(row(page, 'kv-grid-users', 'tmpuser')).toContainText('Viewers');
  await expect(row(page, 'kv-grid-users', 'tmpuser')).toContainText('1:rw 3:r 4:r');

  await row(page, 'kv-grid-users', 'tmpuser').dblclick();
  await dialog(page).locator('[name=memo]').fill('edited');
  await dialog(page).locator('[name=memo]').press('Enter');
  await expect(row(page, 'kv-grid-users', 'tmpuser')).toContainText('edited');

  await row(page, 'kv-grid-users', 'tmpuser').click();
  await button(page, 'user-del').click();
  await button(dialog(page), 'ok').click();
  await expect(row(page, 'kv-grid-users', 'tmpuser')).toHaveCount(0);
});

test('group rename by Enter stays on the page; rights saved', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'groups').click();
  await row(page, 'kv-grid-groups', 'Operators').click();
  await button(page, 'group-edit').click();
  await button(dialog(page), 'write0').uncheck();
  await dialog(page).locator('[name=nm]').fill('Operators 2');
  await dialog(page).locator('[name=nm]').press('Enter');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(row(page, 'kv-grid-groups', 'Operators 2')).toContainText('1:r 2:rw');
  expect(page.url()).toBe(process.env.KORVAN_UI_URL);
});

test('server IP list: a wrong address is refused, an entry added', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'network').click();
  const ip = button(page, 'serverips-ip');
  await ip.fill('10.1.1');
  await button(page, 'serverips-add').click();
  await expect(page.locator('.kv-iplist-side .kv-form-error', { hasText: 'IPv4' })).toBeVisible();
  await ip.fill('10.1.1.1');
  await button(page, 'serverips-add').click();
  await expect(button(page, 'serverips')).toContainText('10.1.1.1');
});

test('log search by Enter with a user filter shows field labels as words', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'log').click();
  await page.locator('[name=logUser]').fill('nobody');
  await page.locator('[name=logUser]').press('Enter');
  await expect(page.locator('.kv-count')).toHaveText('0 records');
  await page.locator('[name=logUser]').fill('admin');
  await page.locator('[name=logUser]').press('Enter');
  await expect(page.locator('.kv-grid-log')).toContainText('Console changed');
  const labels = await page.locator('.kv-log-details th').allInnerTexts();
  expect(labels).toContain('Position 1');
  expect(labels.filter((l) => ['uid', 'shareMode', 'position1', 'bit stream'].includes(l))).toEqual([]);
  // Only real changes are marked: the console rename and its position.
  const changed = await page.locator('.kv-log-details tr.kv-changed th').allInnerTexts();
  expect(changed).toEqual(expect.arrayContaining(['Name', 'Position 1']));
  expect(changed).not.toContain('Position 2');
  await page.screenshot({ path: join(shots, 'log-search.png') });
});

test('a KVM session heads the log; a locked user is unlocked; the log exports', async ({ page }) => {
  const urls = [];
  page.on('request', (r) => urls.push(r.url()));
  await loginAdmin(page);
  await page.locator('.kv-grid-dogs tbody tr').first().click();
  await button(page, 'dog-kvm').click();
  await expect(dialog(page).locator('.kv-params tr')).not.toHaveCount(0);
  await page.keyboard.press('Escape');
  await tab(page, 'log').click();
  await expect(page.locator('.kv-grid-log tbody tr').first()).toContainText('KVM session opened');
  await expect(page.locator('.kv-grid-log tbody tr').first()).toContainText('admin');

  sql("insert into userLock (f_datetime,f_userName,f_wrongTimes) values (datetime('now','localtime'),'operator',3);");
  await button(page, 'refresh').click();
  await tab(page, 'users').click();
  const operator = row(page, 'kv-grid-users', 'operator');
  await expect(operator.locator('.kv-locked')).toBeVisible();
  await operator.click();
  await button(page, 'user-unlock').click();
  await button(dialog(page), 'ok').click();
  expect(await message(page, 'success')).toContain('operator');
  await expect(operator.locator('.kv-locked')).toHaveCount(0);
  await expect(button(page, 'user-unlock')).toBeDisabled();

  await tab(page, 'log').click();
  const [download] = await Promise.all([page.waitForEvent('download'), button(page, 'log-export').click()]);
  expect(download.suggestedFilename()).toBe('korvan-log.csv');
  const csv = readFileSync(await download.path(), 'utf8');
  expect(csv.split('\r\n')[0]).toBe('id,time,user,ip,type,typeSub,typeSubCN,details');
  expect(csv).toContain(',access,unlock,');
  const token = await page.evaluate(() => JSON.parse(sessionStorage.getItem('kvm.session')).token);
  expect(urls.filter((u) => u.includes(token))).toEqual([]);
});

test('system: the clock runs, set clock, language switch', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'system').click();
  const seconds = page.locator('.kui-date-s').first();
  const before = await seconds.inputValue();
  await expect(seconds).not.toHaveValue(before, { timeout: 3000 });
  await button(page, 'time-set').click();
  expect(await message(page, 'success')).toMatch(/\d{4}-\d\d-\d\d \d\d:\d\d:\d\d/);

  await page.locator('[name=language]').selectOption('de');
  await button(page, 'lang-save').click();
  await expect(tab(page, 'consoles')).toHaveText('Konsolen');
  await page.screenshot({ path: join(shots, 'system-de.png') });
  await page.reload();
  await expect(tab(page, 'users')).toHaveText('Benutzer');
  await tab(page, 'system').click();
  await page.locator('[name=language]').selectOption('en');
  await button(page, 'lang-save').click();
  await expect(tab(page, 'consoles')).toHaveText('Consoles');
});

test('firmware upload and database download', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'system').click();
  const bytes = Buffer.from(Array.from({ length: 3000 }, (_, i) => i % 251));
  await button(page, 'firmware-file').setInputFiles({ name: 'fw.bin', mimeType: 'application/octet-stream', buffer: bytes });
  await expect(button(page, 'firmware-md5')).toContainText(createHash('md5').update(bytes).digest('hex'));
  await button(page, 'firmware-upload').click();
  await button(dialog(page), 'ok').click();
  expect(await message(page, 'success')).toBe('update firmware success');
  expect(readFileSync(join(process.env.KORVAN_UI_ROOT, 'usr/app/firmupdate')).equals(bytes)).toBe(true);

  const download = page.waitForEvent('download');
  await button(page, 'db-download').click();
  const file = await (await download).path();
  expect((await download).suggestedFilename()).toBe('korvan.db');
  expect(readFileSync(file).subarray(0, 15).toString()).toBe('SQLite format 3');
});

test('a level-1 user sees only what it may do and changes its own password', async ({ page }) => {
  // Rights: none on slot 2 (db-01), read on slot 1 (web-01), read and write on slot 3 (router-console).
  sql(`delete from user2 where nm='viewer';
       insert into user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2, createTime,
                          pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
       values (50, 'viewer', 'viewer', '', 3, '10300000', '', 0, 0, '', '', datetime('now','localtime'),
               datetime('now','localtime'), '1', 0, 600, '0', '3', '0', 0);`);
  await login(page, 'viewer', 'viewer');
  await expect(page.locator('.kui-tab-title')).toHaveText(['Consoles']);
  for (const name of ['dog-edit', 'slot-clear', 'user-add', 'restart', 'db-download']) await expect(button(page, name)).toHaveCount(0);
  const kvm = button(page, 'dog-kvm');
  for (const [console, allowed] of [['web-01', true], ['db-01', false], ['router-console', true]]) {
    await row(page, 'kv-grid-dogs', console).click();
    await expect(kvm).toBeEnabled({ enabled: allowed });
  }
  await expect(button(page, 'dog-cap')).toBeEnabled();
  await page.screenshot({ path: join(shots, 'level1-consoles.png') });

  await button(page, 'own-password').click();
  const dlg = dialog(page);
  await dlg.locator('[name=oldPw]').fill('viewer');
  await dlg.locator('[name=pw]').fill('Viewer!2');
  await dlg.locator('[name=pw2]').fill('Viewer!2');
  const sent = page.waitForRequest((r) => r.method() === 'POST' && (r.postData() || '').includes('updUser'));
  await dlg.locator('[name=pw2]').press('Enter');
  const doc = JSON.parse(new URLSearchParams((await sent).postData()).get('postKey'));
  expect(doc.userPara).toMatchObject({ id: '50', setPW: 'yes', pw: 'Viewer!2', oldPw: 'viewer' });
  await message(page, 'success');
});

test('an expired session returns to the login page', async ({ page }) => {
  await loginAdmin(page);
  sql("update user2 set expireTime=1 where nm='admin';");
  await button(page, 'refresh').click();
  await expect(page.locator('.kv-login-warning')).toContainText('session has ended');
  await expect(page.locator('#kv-login-user')).toBeVisible();
});
