// The administration UI driven as a person would: typing, clicking, Enter and
// Escape, against the real program, lighttpd and the switch simulator
// (server.mjs). The tests run in file order on one installation.
// The runner and its library live with the UI's packages in ui/.
import { test, audit, shots, sql, dialog, tab, row, button, login, loginAdmin, status, tabTo, addViewer, fillAll, expect } from './support.mjs';
import { createHash } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';


test('login by click and by Enter, wrong password, logout, no password kept', async ({ page }) => {
  expect(await page.evaluate(() => jQuery.fn.jquery)).toMatch(/^3\.7\./);
  await login(page, 'admin', 'wrong', 'enter');
  await expect(page.locator('.kv-login-error')).toHaveText(/^Wrong user name or password \(\d+ failed attempts\)\.$/);
  await login(page, 'admin', 'admin', 'enter');
  await expect(page.locator('.kui-tab-title')).toHaveCount(10);
  const kept = await page.evaluate(() => [sessionStorage.getItem('kvm.session'), JSON.stringify(kvApp.snapshot())]);
  expect(Object.keys(JSON.parse(kept[0])).sort()).toEqual(['id', 'nm', 'token', 'userID']);
  expect(kept[1]).not.toContain('"pw"');
  await button(page, 'logout').click();
  await expect(page.locator('.kv-login-info')).toBeVisible();
  await login(page, 'admin', 'admin', 'click');
  await expect(page.locator('.kui-tab-title')).toHaveCount(10);
});

test('every tab opens and shows its data in words', async ({ page }) => {
  await loginAdmin(page);
  const expected = {
    consoles: ['web-01', 'router-console'], users: ['admin', 'operator'], groups: ['Full control', 'View only'],
    network: ['Server address list'], security: ['Access list'], directory: ['Use the directory'], log: ['Search'], system: ['Set clock', 'Restart'],
  };
  for (const [id, texts] of Object.entries(expected)) {
    await tab(page, id).click();
    const panel = page.locator(`.kui-tab-panel[data-tab=${id}]`);
    for (const text of texts) await expect(panel).toContainText(text);
    await page.screenshot({ path: join(shots, `${id}-1366.png`) });
  }
  // A free console slot shows no module id or name.
  await tab(page, 'consoles').click();
  const free = page.locator('.kv-grid-slots tbody tr', { hasText: 'Free' }).first();
  await expect(free.locator('td').nth(2)).toHaveText('');
  await expect(page.locator('[name=ip]')).toHaveValue('127.0.0.1');
});

test('console rename by Enter; the KVM button asks once however often it is pressed', async ({ page }) => {
  // A stored blank that the form sends back as the empty text is no change (see the log test).
  sql("update dogInfo2 set pos2=' ' where uid='U1A0000001';");
  await loginAdmin(page);
  await row(page, 'kv-grid-dogs', 'web-01').click();
  await button(page, 'dog-edit').click();
  await fillAll(dialog(page), { nm: 'web-01a', pos1: 'rack 4' });
  await dialog(page).locator('[name=pos1]').press('Enter');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(status(page)).toHaveText('Console web-01a saved.');
  await expect(row(page, 'kv-grid-dogs', 'web-01a')).toContainText('rack 4');
  await expect(row(page, 'kv-grid-dogs', 'web-01a')).toContainText('1000 kbit/s');

  // The KVM button is out of use while its request runs: a double press asks once.
  await row(page, 'kv-grid-dogs', 'web-01a').click();
  const asked = [];
  page.on('request', (r) => { if ((r.postData() || '').includes('%22qt%22')) asked.push(r); });
  await button(page, 'dog-kvm').dblclick();
  await expect(dialog(page).locator('.kv-params tr')).not.toHaveCount(0);
  expect(asked.length).toBe(1);
  // The file has a media type of its own, for a launcher to be registered for.
  await page.evaluate(() => { const make = URL.createObjectURL; URL.createObjectURL = (b) => { window.madeType = b.type; return make(b); }; });
  const [file] = await Promise.all([page.waitForEvent('download'), button(dialog(page), 'kvm-download').click()]);
  expect(file.suggestedFilename()).toBe('kvm-web-01a.kvmsession');
  expect(await page.evaluate(() => window.madeType)).toBe('application/x-korvan-kvm-session+json');
  expect(JSON.parse(readFileSync(await file.path(), 'utf8')).userNM).toBe('admin');
  await page.screenshot({ path: join(shots, 'kvm-session.png') });
});

test('user add with console rights, edit, delete', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'users').click();
  await button(page, 'user-add').click();
  const dlg = dialog(page);
  // A new user starts in the lowest group without any console right.
  await expect(dlg.locator('[name=pid] option:checked')).toHaveText('Viewers');
  for (const box of await dlg.locator('.kv-rights input[type=checkbox]').all()) await expect(box).not.toBeChecked();
  await fillAll(dlg, { nm: 'tmpuser', pw: 'Tmp!pass1', pw2: 'Tmp!pass1' });
  await button(dlg, 'write0').check();
  await button(dlg, 'read2').check();
  await button(dlg, 'read3').check();
  await button(dlg, 'save').click();
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(status(page)).toHaveText('User tmpuser added.');
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
  await expect(status(page)).toHaveText('User tmpuser deleted.');
});

test('group rename by Enter stays on the page; rights saved', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'groups').click();
  await row(page, 'kv-grid-groups', 'Operators').click();
  await button(page, 'group-edit').click();
  await button(dialog(page), 'write0').uncheck();
  await dialog(page).locator('[name=nm]').fill('Operators 2');
  await dialog(page).locator('[name=nm]').press('Enter');
  await expect(dialog(page)).toContainText('Saving gives the 1 users of the group Operators these console rights');
  await button(dialog(page), 'ok').click();
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await expect(status(page)).toHaveText('Group Operators 2 saved.');
  await expect(row(page, 'kv-grid-groups', 'Operators 2')).toContainText('1:r 2:rw');
  // Still this page: only the address's part after # names the tab.
  expect(page.url()).toBe(process.env.KORVAN_UI_URL + '#groups');
});

test('server IP list: a wrong address is refused, an entry added', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'network').click();
  const ip = button(page, 'serverips-ip');
  await ip.fill('10.1.1');
  await button(page, 'serverips-add').click();
  const error = page.locator('.kv-iplist-side .kv-form-error', { hasText: 'IPv4' });
  await expect(error).toBeVisible();
  await ip.fill('10.1.1.1');
  await expect(error).toBeHidden();
  await button(page, 'serverips-add').click();
  await expect(button(page, 'serverips')).toContainText('10.1.1.1');
  await expect(status(page)).toHaveText('Address 10.1.1.1 added.');
  // Deleting asks first; Cancel keeps the entry.
  await button(page, 'serverips').getByText('10.1.1.1').click();
  await button(page, 'serverips-del').click();
  await expect(dialog(page)).toContainText('Delete the address 10.1.1.1 from the list?');
  await expect(button(dialog(page), 'ok')).toHaveText('Delete');
  await expect(button(dialog(page), 'cancel')).toBeFocused();
  await button(dialog(page), 'cancel').click();
  await expect(button(page, 'serverips')).toContainText('10.1.1.1');
  await button(page, 'serverips-del').click();
  await button(dialog(page), 'ok').click();
  await expect(status(page)).toHaveText('Address 10.1.1.1 deleted.');
  await expect(button(page, 'serverips')).not.toContainText('10.1.1.1');
});

test('log forwarding: a collector that refuses shows its backlog and error, and is switched off', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'security').click();
  const form = button(page, 'syslog-1');
  await expect(button(page, 'syslog-state-1')).toHaveText('not set up');
  // Nothing listens on the discard port: the record of this change waits.
  await fillAll(form, { host: '127.0.0.1', port: '9' });
  await form.locator('[name=protocol]').selectOption('tcp');
  await button(page, 'syslog-save-1').click();
  await expect(status(page)).toHaveText('The settings have been saved.');
  await expect(button(page, 'syslog-state-1')).toContainText('backlog 1, records lost 0');
  await expect(button(page, 'syslog-state-1')).toContainText('Connection refused');
  // In German, the error too: the program's phrase and the system's reason.
  await button(page, 'logout').click();
  await page.locator('[name=lang]').selectOption('de');
  await loginAdmin(page);
  await tab(page, 'security').click();
  await expect(button(page, 'syslog-state-1')).toContainText('Verbindung fehlgeschlagen: Verbindung abgelehnt');
  await button(page, 'logout').click();
  await page.locator('[name=lang]').selectOption('en');
  await loginAdmin(page);
  await tab(page, 'security').click();
  await fillAll(form, { host: '' });
  await button(page, 'syslog-save-1').click();
  await expect(button(page, 'syslog-state-1')).toHaveText('not set up');
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
  // The lock in words, its icon drawn by the page's style (no emoji font needed).
  await expect(operator.locator('.kv-locked')).toHaveText('Locked');
  expect(await operator.locator('.kv-locked').evaluate((e) => getComputedStyle(e, '::before').backgroundImage)).toContain('svg');
  await operator.click();
  await button(page, 'user-unlock').click();
  await button(dialog(page), 'ok').click();
  await expect(status(page)).toContainText('operator');
  await expect(operator.locator('.kv-locked')).toHaveCount(0);
  await expect(button(page, 'user-unlock')).toBeDisabled();

  await tab(page, 'log').click();
  const [download] = await Promise.all([page.waitForEvent('download'), button(page, 'log-export').click()]);
  expect(download.suggestedFilename()).toBe('korvan-log.csv');
  await expect(button(page, 'log-export')).toBeFocused();
  const csv = readFileSync(await download.path(), 'utf8');
  expect(csv.split('\r\n')[0]).toBe('id,time,user,ip,type,typeSub,typeSubCN,details,detailsText');
  // Newest first, the details also as readable text.
  expect(csv.split('\r\n')[1]).toMatch(/,access,unlock,.*,user name: operator$/);
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
  await expect(status(page)).toHaveText(/^The switch was told to set its clock to \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\./);

  await page.locator('[name=language]').selectOption('de');
  await button(page, 'lang-save').click();
  await expect(tab(page, 'consoles')).toHaveText('Konsolen');
  await expect(status(page)).toHaveText('Die Sprache ist gespeichert.');
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
  await expect(page.locator('.kui-dialog-success')).toContainText('The firmware file is stored. It is installed when the switch restarts.');
  await button(dialog(page), 'ok').click();
  expect(readFileSync(join(process.env.KORVAN_UI_ROOT, 'usr/app/firmupdate')).equals(bytes)).toBe(true);

  const download = page.waitForEvent('download');
  const asked = page.waitForRequest((r) => (r.postData() || '').includes('submitDownloadDB'));
  await button(page, 'db-download').click();
  // The session goes in the posted form, never in the address.
  const request = await asked;
  expect([request.method(), request.url().includes('token'), !!new URLSearchParams(request.postData()).get('token')]).toEqual(['POST', false, true]);
  const file = await (await download).path();
  expect((await download).suggestedFilename()).toBe('korvan.db');
  expect(readFileSync(file).subarray(0, 15).toString()).toBe('SQLite format 3');
});

test('a level-1 user sees only what it may do and changes its own password', async ({ page }) => {
  // Rights: none on slot 2 (db-01), read on slot 1 (web-01), read and write on slot 3 (router-console).
  addViewer();
  await login(page, 'viewer', 'viewer');
  await expect(page.locator('.kui-tab-title')).toHaveText(['Consoles', 'Sessions', 'Second factor']);
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
  await fillAll(dlg, { oldPw: 'viewer', pw: 'Viewer!2', pw2: 'Viewer!2' });
  const sent = page.waitForRequest((r) => r.method() === 'POST' && (r.postData() || '').includes('updUser'));
  await dlg.locator('[name=pw2]').press('Enter');
  const doc = JSON.parse(new URLSearchParams((await sent).postData()).get('postKey'));
  expect(doc.userPara).toMatchObject({ id: '50', setPW: 'yes', pw: 'Viewer!2', oldPw: 'viewer' });
  await expect(status(page)).toHaveText('The password has been changed.');
});

test('an expired session returns to the login page', async ({ page }) => {
  await loginAdmin(page);
  sql("update user2 set expireTime=1 where nm='admin';");
  await button(page, 'refresh').click();
  await expect(page.locator('.kv-login-warning')).toContainText('session has ended');
  await expect(page.locator('#kv-login-user')).toBeVisible();
});

test('keyboard only: log in, a console by the arrows, its KVM dialog by Enter and Escape, a user deleted', async ({ page }) => {
  addViewer();
  // A person starts typing once the login form has the cursor; keys pressed
  // before the page has placed it would be lost.
  await expect(page.locator('#kv-login-user')).toBeFocused();
  for (const key of ['a', 'd', 'm', 'i', 'n', 'Tab', 'a', 'd', 'm', 'i', 'n', 'Enter']) await page.keyboard.press(key);
  await tabTo(page, page.locator('.kv-grid-dogs tbody tr[tabindex="0"]'));
  for (const key of ['End', 'Home', 'ArrowDown', 'ArrowUp']) await page.keyboard.press(key);
  const first = page.locator('.kv-grid-dogs tbody tr').first();
  await expect(first).toHaveAttribute('aria-selected', 'true');
  await page.keyboard.press('Enter');
  const kvm = page.getByRole('dialog', { name: /^KVM session for / });
  await expect(kvm).toBeVisible();
  for (let i = 0; i < 4; i++) {  // focus stays inside the dialog
    await page.keyboard.press('Tab');
    expect(await kvm.evaluate((d) => d.contains(document.activeElement))).toBe(true);
  }
  await page.keyboard.press('Escape');
  await expect(kvm).toHaveCount(0);
  await expect(first).toBeFocused();
  await tabTo(page, tab(page, 'consoles'), true);
  await page.keyboard.press('ArrowRight');
  await expect(tab(page, 'users')).toHaveAttribute('aria-selected', 'true');
  await tabTo(page, page.locator('.kv-grid-users tbody tr[tabindex="0"]'));
  const viewer = row(page, 'kv-grid-users', 'viewer');
  for (let i = 0; i < 5 && !(await viewer.evaluate((r) => r === document.activeElement)); i++) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Delete');
  await expect(dialog(page)).toContainText('Delete the user viewer?');
  // The question starts on Cancel: a stray Enter deletes nothing.
  await expect(button(dialog(page), 'cancel')).toBeFocused();
  await page.keyboard.press('Shift+Tab');
  await expect(button(dialog(page), 'ok')).toHaveText('Delete');
  await page.keyboard.press('Enter');
  await expect(status(page)).toHaveText('User viewer deleted.');
  await expect(page.locator('.kv-grid-users tbody tr[tabindex="0"]')).toBeFocused();
});

// Opens the dialogs a person can open, by the buttons that open them, and hands each to visit.
// The idle warning needs the page's clock installed (page.clock) before the login.
async function openDialogs(page, level, visit) {
  const open = async (name, tabId, ...steps) => {
    if (tabId) await tab(page, tabId).click();
    for (const step of steps) await step();
    await expect(page.locator('.kui-dialog')).toHaveCount(1);
    await visit(name);
    if (name === 'idle warning') await button(dialog(page), 'stay').click();
    else await page.keyboard.press('Escape');
    await expect(page.locator('.kui-dialog')).toHaveCount(0);
  };
  await open('KVM session', 'consoles', () => row(page, 'kv-grid-dogs', 'router-console').click(), () => button(page, 'dog-kvm').click());
  if (level >= 2) await open('console', null, () => button(page, 'dog-edit').click());
  if (level >= 3) {
    await open('add user', 'users', () => button(page, 'user-add').click());
    await open('edit user', null, () => row(page, 'kv-grid-users', 'operator').dblclick());
    await open('delete question', null, () => button(page, 'user-del').click());
    await open('group', 'groups', () => row(page, 'kv-grid-groups', 'Viewers').dblclick());
    await open('directory test', 'directory', () => button(page, 'dir-test').click());
    await open('warning', 'system', () => button(page, 'firmware-upload').click());
    // Another person's session to end: the operator logs in beside this page.
    await page.request.post(process.env.KORVAN_UI_URL, { form: { postKey: JSON.stringify(
      { type: 'login', user: {}, userNM: 'operator', pw: 'operator', timezone: 0 }) } });
    await open('end session', 'sessions', () => row(page, 'kv-grid-sessions', 'operator').click(), () => button(page, 'session-end').click());
  }
  await open('password', null, () => button(page, 'own-password').click());
  await open('idle warning', null, () => page.clock.fastForward('09:05'));
  // A refusal of the switch service, as a Refresh meets it; and the look of a success message.
  await open('error', null, () => page.route('**/korvan.cgi', (r) => r.fulfill({ contentType: 'text/html',
    body: JSON.stringify({ ret: 'armErr', retMsg: 'arm connect error:Connection refused' }) }), { times: 1 }),
  () => button(page, 'refresh').click());
  await open('success', null, () => page.evaluate(() => kvCore.kui.alert(kvCore.serverText('update firmware success'), 'success', kvCore.T('upload'))));
}

// The second factor's setup: a part of its tab, shown by its button.
async function openSecondFactorSetup(page) {
  await tab(page, 'second-factor').click();
  await button(page, 'totp-begin').click();
  await expect(page.locator('#kv-totp-secret')).toBeVisible();
}

test('accessibility: axe finds nothing on the login page, every tab and dialog, in two languages and three levels', async ({ page }) => {
  test.setTimeout(480000);
  addViewer();
  await page.clock.install();
  await page.reload();
  for (const [language, user] of [['en', 'admin'], ['de', 'admin'], ['en', 'operator'], ['de', 'operator'], ['en', 'viewer'], ['de', 'viewer']]) {
    await page.locator('[name=lang]').selectOption(language);
    await audit(page, `${language} login`);
    await login(page, user, user);
    for (const t of await page.locator('.kui-tab-title').all()) {
      await t.click();
      await audit(page, `${language} ${user} tab ${await t.innerText()}`);
    }
    await openSecondFactorSetup(page);
    await audit(page, `${language} ${user} second factor setup`);
    // The page behind a dialog was audited with its tab: only the dialog now.
    await openDialogs(page, { admin: 3, operator: 2, viewer: 1 }[user], (name) => audit(page, `${language} ${user} dialog ${name}`, '.kui-dialog'));
    await button(page, 'logout').click();
  }
});

test('phone: at 390 px the page never scrolls sideways and dialogs fit the screen', async ({ page }) => {
  await page.setViewportSize({ width: 390, height: 844 });
  await page.clock.install();
  await page.reload();
  const fits = async (where) => expect(await page.evaluate(() => document.documentElement.scrollWidth), where).toBeLessThanOrEqual(390);
  await fits('login');
  await loginAdmin(page);
  for (const t of await page.locator('.kui-tab-title').all()) {
    await t.click();
    await fits(await t.innerText());
    // Every column of a shown grid stays wide enough to read; a grid wider than the screen scrolls
    // (the log's records are stacked instead, their headers only for screen readers).
    const narrow = await page.locator('.kui-grid-table > thead th').evaluateAll((ths) => ths
      .filter((th) => th.closest('table').getClientRects().length > 0 && th.getBoundingClientRect().right > 0 &&
        th.getBoundingClientRect().width < 32)
      .map((th) => th.textContent));
    expect(narrow, await t.innerText()).toEqual([]);
    await page.screenshot({ path: join(shots, `${await t.getAttribute('data-tab')}-390.png`), fullPage: true });
  }
  await openSecondFactorSetup(page);
  await fits('second factor setup');
  await openDialogs(page, 3, async (name) => {
    const { x, y, width, height } = await page.locator('.kui-dialog').boundingBox();
    expect([x >= 0, x + width <= 390, y + height <= 844], name).toEqual([true, true, true]);
    await fits(name);
    if (name === 'add user') await page.screenshot({ path: join(shots, 'add-user-390.png') });
  });
  // The buttons stay in reach: a console chosen on the phone opens its session.
  await tab(page, 'consoles').click();
  await row(page, 'kv-grid-dogs', 'web-01').click();
  await button(page, 'dog-kvm').click();
  await expect(dialog(page).locator('.kv-params')).toBeVisible();
});

test('first login: the password dialog opens at once and stays until the password is changed', async ({ page }) => {
  // The rule beside the field names the policy's minimum length.
  const policy = sql('select f_pwd from secureConf;').toString().trim();
  sql(`update secureConf set f_firstLogin=1, f_pwd=json_set(f_pwd, '$.pwdMin', '10');`);
  try {
    await loginAdmin(page);
    const dlg = page.getByRole('dialog', { name: 'Change password' });
    await expect(dlg).toContainText('At least 10 characters, and not the user name.');
    await page.keyboard.press('Escape');
    await expect(dlg).toBeVisible();
    await expect(button(dlg, 'cancel')).toHaveCount(0);
    await fillAll(dlg, { oldPw: 'admin', pw: 'Admin!new1', pw2: 'Admin!new1' });
    await dlg.locator('[name=pw2]').press('Enter');
    await expect(dlg).toHaveCount(0);
    await expect(status(page)).toHaveText('The password has been changed.');
  } finally {
    sql(`update secureConf set f_firstLogin=0, f_pwd='${policy.replace(/'/g, "''")}'; update user2 set pw='admin' where nm='admin';`);
  }
});
