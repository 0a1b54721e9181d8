// Journeys about keeping a person's work and finding the way by keyboard, at
// the three levels: administrator (admin, 3), operator (2) and viewer (1).
// Each keyboard journey counts the keys it presses (printed as "keys:").
import { test, expect, audit, sql, dialog, tab, row, button, login, loginAdmin, status, addViewer } from './support.mjs';
import { readFileSync } from 'node:fs';

const focused = (locator) => locator.evaluate((e) => e === document.activeElement);

// Contrast of a CSS colour "rgb(r, g, b)" against the white page.
function contrastOnWhite(colour) {
  const lin = (c) => { c /= 255; return c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4; };
  const [r, g, b] = colour.match(/\d+(\.\d+)?/g).map(Number);
  return 1.05 / (0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b) + 0.05);
}

// The focus ring of the element that has the focus: at least 2 px, and 3:1 against the page.
async function expectFocusRing(page, where) {
  const [style, width, colour] = await page.evaluate(() => {
    const s = getComputedStyle(document.activeElement);
    return [s.outlineStyle, parseFloat(s.outlineWidth), s.outlineColor];
  });
  expect([style, width >= 2, contrastOnWhite(colour) >= 3], where).toEqual(['solid', true, true]);
}

// A keyboard that counts: every key pressed, and the Tabs among them.
function countingKeyboard(page) {
  const count = { keys: 0, tabs: 0 };
  const press = async (key) => {
    count.keys++;
    if (/Tab$/.test(key)) count.tabs++;
    await page.keyboard.press(key);
  };
  const type = async (text) => { for (const ch of text) await press(ch); };
  const tabTo = async (target, back = false) => {
    for (let i = 0; i < 60; i++) {
      if (await focused(target).catch(() => false)) return;
      await press(back ? 'Shift+Tab' : 'Tab');
    }
    throw new Error('the keyboard cannot reach ' + target);
  };
  return { count, press, type, tabTo };
}

test('keys: an administrator adds a user with a right on one console; a viewer opens a KVM session', async ({ page }) => {
  test.setTimeout(90000);
  addViewer();
  sql("delete from user2 where nm='keyed';");
  await expect(page.locator('#kv-login-user')).toBeFocused();
  const admin = countingKeyboard(page);
  await admin.type('admin'); await admin.press('Tab'); await admin.type('admin'); await admin.press('Enter');
  await admin.tabTo(tab(page, 'consoles'));
  await admin.press('ArrowRight');
  await admin.tabTo(button(page, 'user-add'));
  await admin.press('Enter');
  await admin.type('keyed');
  await admin.tabTo(dialog(page).locator('[name=pw]')); await admin.type('Keyed!12');
  await admin.press('Tab'); await admin.type('Keyed!12');
  await admin.tabTo(button(dialog(page), 'read0')); await admin.press('Space');
  await admin.press('Enter');
  await expect(status(page)).toHaveText('User keyed added.');
  await expect(row(page, 'kv-grid-users', 'keyed')).toContainText('1:r');
  // After the save the focus is back on the button that opened the form.
  await expect(button(page, 'user-add')).toBeFocused();
  await button(page, 'logout').click();

  await expect(page.locator('#kv-login-user')).toBeFocused();
  const viewer = countingKeyboard(page);
  await viewer.type('viewer'); await viewer.press('Tab'); await viewer.type('viewer'); await viewer.press('Enter');
  await viewer.tabTo(page.locator('.kv-grid-dogs tbody tr[tabindex="0"]'));
  await viewer.press('Enter');
  const kvm = page.getByRole('dialog', { name: /^KVM session for / });
  await expect(kvm).toBeVisible();
  const toOpen = { ...viewer.count };
  const [file] = await Promise.all([page.waitForEvent('download'), viewer.press('Enter')]);
  expect(JSON.parse(readFileSync(await file.path(), 'utf8')).userNM).toBe('viewer');
  console.log('keys: add user', JSON.stringify(admin.count), 'viewer KVM', JSON.stringify(toOpen), 'and its file', JSON.stringify(viewer.count));
});

test('keeping work: a warning before the idle end, Stay logged in, a form kept over the end for the same user only', async ({ page }) => {
  await page.clock.install();
  await page.reload();
  await loginAdmin(page);
  await tab(page, 'users').click();
  await button(page, 'user-add').click();
  const form = dialog(page);
  await form.locator('[name=nm]').fill('kept-user');
  await form.locator('[name=memo]').fill('typed before the break');
  await form.locator('[name=pw]').fill('Secret!1');
  await button(form, 'read1').check();

  // Nine minutes idle: the warning, and staying keeps form and session.
  await page.clock.fastForward('09:05');
  const warning = page.getByRole('alertdialog', { name: 'Still there?' });
  await expect(warning).toContainText('Your session ends in');
  await expect(button(warning, 'stay')).toBeFocused();
  const stayed = page.waitForResponse((r) => (r.request().postData() || '').includes('%22ref%22'));
  await page.keyboard.press('Enter');
  await stayed;
  await expect(warning).toHaveCount(0);
  await expect(form.locator('[name=memo]')).toHaveValue('typed before the break');

  // Ten minutes idle: the page returns to the login by itself.
  await page.clock.fastForward('09:05');
  await expect(warning).toBeVisible();
  await page.clock.runFor('01:01');
  await expect(page.locator('.kv-login-warning')).toContainText('session has ended');
  const kept = await page.evaluate(() => sessionStorage.getItem('kvm.kept'));
  expect(kept).toContain('typed before the break');
  expect(kept).not.toContain('Secret!1');

  await login(page, 'admin', 'admin');
  const offer = page.locator('[data-name=kept]');
  await expect(offer).toContainText('Add user');
  await button(offer, 'kept-restore').click();
  await expect(dialog(page).locator('[name=nm]')).toHaveValue('kept-user');
  await expect(dialog(page).locator('[name=memo]')).toHaveValue('typed before the break');
  await expect(dialog(page).locator('[name=pw]')).toHaveValue('');
  await expect(button(dialog(page), 'read1')).toBeChecked();
  await page.keyboard.press('Escape');

  // Another user on the same browser tab is not offered someone else's form.
  await button(page, 'logout').click();
  await page.evaluate(() => sessionStorage.setItem('kvm.kept', JSON.stringify({ user: 'admin', title: 'Edit',
    keep: { view: 'consoles', form: 'console', id: '1' }, values: [['nm', 'not yours']] })));
  await login(page, 'operator', 'operator');
  await expect(tab(page, 'consoles')).toBeVisible();
  await expect(page.locator('[data-name=kept]')).toHaveCount(0);
  expect(await page.evaluate(() => sessionStorage.getItem('kvm.kept'))).toBeNull();
});

test('the idle warning and the offer of a kept form pass axe', async ({ page }) => {
  // A one-minute session: the warning comes a second after the login.
  sql("update user2 set interval=61 where nm='operator';");
  try {
    await page.evaluate(() => sessionStorage.setItem('kvm.kept', JSON.stringify({ user: 'operator', title: 'Console web-01',
      keep: { view: 'consoles', form: 'console', id: '1' }, values: [['memo', 'kept']] })));
    await login(page, 'operator', 'operator');
    await expect(page.locator('[data-name=kept]')).toContainText('Console web-01');
    const warning = page.getByRole('alertdialog', { name: 'Still there?' });
    await expect(warning).toBeVisible();
    await audit(page, 'idle warning', '.kui-dialog');
    sql("update user2 set interval=600 where nm='operator';");
    await button(warning, 'stay').click();
    await expect(warning).toHaveCount(0);
    await audit(page, 'kept form offer');
    await button(page, 'kept-restore').click();
    await expect(dialog(page).locator('[name=memo]')).toHaveValue('kept');
  } finally {
    sql("update user2 set interval=600 where nm='operator';");
  }
});

test('busy: a slow save shows its state at once and its dialog stays; a new request clears the old message', async ({ page }) => {
  // The switch answers a console change only after two seconds (a busy database).
  await page.route('**/korvan.cgi', async (route) => {
    if ((route.request().postData() || '').includes('%22updDog%22')) await new Promise((ok) => setTimeout(ok, 2000));
    await route.continue();
  });
  await login(page, 'operator', 'operator');
  await row(page, 'kv-grid-dogs', 'web-01').click();
  await button(page, 'dog-edit').click();
  const form = dialog(page);
  await form.locator('[name=memo]').fill('slow save');
  const pressed = Date.now();
  await form.locator('[name=memo]').press('Enter');
  await expect(form).toHaveAttribute('aria-busy', 'true', { timeout: 500 });
  await expect(form.locator('.kui-dialog-busy')).toHaveText('Saving\u2026', { timeout: 500 });
  await expect(status(page)).toHaveText('Working\u2026', { timeout: 500 });
  expect(Date.now() - pressed).toBeLessThan(1500);
  await page.keyboard.press('Escape');
  await expect(form.locator('.kui-dialog-busy')).toContainText('still being saved');
  await expect(form).toBeVisible();
  await expect(page.locator('.kui-dialog')).toHaveCount(0, { timeout: 5000 });
  await expect(status(page)).toHaveText(/saved/);
  // The next request clears the message at once, before its reply.
  await button(page, 'refresh').click();
  await expect(status(page)).not.toHaveText(/saved/, { timeout: 200 });
  await expect(status(page)).toHaveText('The data is up to date.');
  await expect(button(page, 'refresh')).toBeFocused();
});

test('keyboard: focus selects a row, Space and the arrows move it, headers sort, the focus stays after each action', async ({ page }) => {
  await loginAdmin(page);
  await tab(page, 'users').click();
  const rows = page.locator('.kv-grid-users tbody tr');
  // Tabbing into the grid selects the row it lands on: Edit is ready.
  await page.locator('.kv-grid-users th[tabindex="0"]').focus();
  await page.keyboard.press('Tab');
  await expect(rows.first()).toHaveAttribute('aria-selected', 'true');
  await expect(button(page, 'user-edit')).toBeEnabled();
  await page.keyboard.press('ArrowDown');
  await expect(rows.nth(1)).toHaveAttribute('aria-selected', 'true');
  await expect(rows.nth(1)).toBeFocused();
  await expectFocusRing(page, 'grid row');
  // The headers: one stop, arrows between them, Enter sorts.
  await page.keyboard.press('Shift+Tab');
  const first = page.locator('.kv-grid-users th').first();
  await expect(first).toBeFocused();
  await expectFocusRing(page, 'column header');
  await page.keyboard.press('Enter');
  await expect(first).toHaveAttribute('aria-sort', 'ascending');
  await page.keyboard.press('Space');
  await expect(page.locator('.kv-grid-users th').first()).toHaveAttribute('aria-sort', 'descending');
  await expect(page.locator('.kv-grid-users th').first()).toBeFocused();
  const names = await rows.locator('td:first-child').allInnerTexts();
  expect(names).toEqual([...names].sort().reverse());

  // Edit by Enter, save by Enter: the focus returns to the same user's row.
  await page.keyboard.press('Tab');
  const focusedName = await page.evaluate(() => document.activeElement.querySelector('td').textContent);
  await page.keyboard.press('Enter');
  await dialog(page).locator('[name=memo]').focus();
  await expectFocusRing(page, 'text field');
  await dialog(page).locator('[name=memo]').fill('changed by keyboard');
  await dialog(page).locator('[name=memo]').press('Enter');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  expect(await page.evaluate(() => document.activeElement.querySelector('td').textContent)).toBe(focusedName);

  // Unlock asks with its own name and starts on Cancel; the focus stays on Unlock.
  sql("insert into userLock (f_datetime,f_userName,f_wrongTimes) values (datetime('now','localtime'),'operator',3);");
  await button(page, 'refresh').click();
  await expect(button(page, 'refresh')).toBeFocused();
  await row(page, 'kv-grid-users', 'operator').click();
  await button(page, 'user-unlock').focus();
  await page.keyboard.press('Enter');
  await expect(button(dialog(page), 'cancel')).toBeFocused();
  await expect(button(dialog(page), 'ok')).toHaveText('Unlock');
  await button(dialog(page), 'ok').click();
  await expect(status(page)).toContainText('operator can log in again');
  await expect(row(page, 'kv-grid-users', 'operator')).toBeFocused();

  // Capture and release by keyboard: the focus goes to the other button.
  await tab(page, 'consoles').click();
  await row(page, 'kv-grid-dogs', 'router-console').click();
  await button(page, 'dog-cap').focus();
  await page.keyboard.press('Enter');
  await expect(button(page, 'dog-uncap')).toBeFocused();
  await expectFocusRing(page, 'button');
  await expect(row(page, 'kv-grid-dogs', 'router-console').locator('td').last()).toHaveText('admin');
  await page.keyboard.press('Enter');
  await expect(button(page, 'dog-cap')).toBeFocused();

  // Set clock keeps the focus on its button.
  await tab(page, 'system').click();
  await button(page, 'time-set').focus();
  await page.keyboard.press('Enter');
  await expect(status(page)).toContainText('clock');
  await expect(button(page, 'time-set')).toBeFocused();
});

test('every question before a change starts on Cancel and names its action; a redraw keeps unsaved choices', async ({ page }) => {
  await loginAdmin(page);
  const file = { name: 'fw.bin', mimeType: 'application/octet-stream', buffer: Buffer.from('x') };
  const refreshed = async () => { await button(page, 'refresh').click(); await expect(status(page)).toHaveText('The data is up to date.'); };
  const asks = [
    ['consoles', 'Clear slot', () => page.locator('.kv-grid-slots tbody tr', { hasText: 'In use' }).first().click(), () => button(page, 'slot-clear').click()],
    ['groups', 'Save', () => row(page, 'kv-grid-groups', 'Operators').dblclick(), () => dialog(page).locator('[name=nm]').press('Enter')],
    // A reply that redraws the page leaves what was chosen but not yet saved.
    ['network', 'Save', () => page.locator('[name=portWeb]').fill('8081'), refreshed, () => button(page, 'server-save').click()],
    ['security', 'Apply', () => page.locator('[name=ipsType]').selectOption('1'), refreshed, () => button(page, 'ips-type').click()],
    ['system', 'Upload', () => button(page, 'firmware-file').setInputFiles(file), () => button(page, 'firmware-upload').click()],
    ['system', 'Upload', () => button(page, 'database-file').setInputFiles(file), () => button(page, 'database-upload').click()],
    ['system', 'Restart', () => button(page, 'restart').click()],
  ];
  for (const [tabId, yes, ...steps] of asks) {
    await tab(page, tabId).click();
    for (const step of steps) await step();
    const ask = page.getByRole('alertdialog');
    await expect(button(ask, 'cancel'), `${tabId} ${yes}`).toBeFocused();
    await expect(button(ask, 'ok')).toHaveText(yes);
    await page.keyboard.press('Enter');
    await expect(ask).toHaveCount(0);
    if (await page.locator('.kui-dialog').count()) await page.keyboard.press('Escape');
    await expect(page.locator('.kui-dialog')).toHaveCount(0);
  }
});

test('viewer: the right on each console, why a button is out of use, and what a forbidden console says', async ({ page, context }) => {
  addViewer();
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  await login(page, 'viewer', 'viewer');
  const grid = page.locator('.kv-grid-dogs');
  await expect(grid.locator('th')).toContainText(['Your right']);
  const forbidden = grid.locator('tbody tr', { hasText: 'none' }).first();
  await forbidden.click();
  const why = page.locator('[data-name=dog-why]');
  await expect(why).toContainText('You have no right on this console');
  await expect(button(page, 'dog-kvm')).toBeDisabled();
  const describedBy = await button(page, 'dog-kvm').getAttribute('aria-describedby');
  expect(await why.getAttribute('id')).toBe(describedBy);
  await forbidden.press('Enter');
  await expect(status(page)).toContainText('You have no right on this console');
  await audit(page, 'viewer with a reason');

  // A console it may view: the session as a summary, a file and a copy.
  await grid.locator('tbody tr', { hasText: 'view' }).first().press('Enter');
  const kvm = page.getByRole('dialog', { name: /^KVM session for / });
  await expect(kvm.locator('.kv-params')).toContainText('viewer');
  await expect(kvm).not.toContainText('Encode key');
  await button(kvm, 'kvm-copy').click();
  await expect(kvm).toContainText('on the clipboard');
  expect(JSON.parse(await page.evaluate(() => navigator.clipboard.readText())).userNM).toBe('viewer');
  await button(kvm, 'close').click();
  await expect(kvm).toHaveCount(0);
});

test('address and language: the tab is in the address, and a reload keeps it and the language chosen at login', async ({ page }) => {
  for (const [user, tabId, title] of [['operator', 'log', 'Protokoll'], ['viewer', 'consoles', 'Konsolen']]) {
    if (user === 'viewer') addViewer();
    await page.locator('[name=lang]').selectOption('de');
    await login(page, user, user);
    await tab(page, tabId).click();
    await expect(page).toHaveURL(new RegExp('#' + tabId + '$'));
    await page.reload();
    await expect(tab(page, tabId)).toHaveAttribute('aria-selected', 'true');
    await expect(tab(page, tabId)).toHaveText(title);
    await button(page, 'logout').click();
    await expect(page.locator('[name=lang]')).toHaveValue('de');
    await page.locator('[name=lang]').selectOption('en');
  }
  // A system text inside a message comes in the language of the page.
  await page.locator('[name=lang]').selectOption('de');
  await login(page, 'operator', 'operator');
  await page.route('**/korvan.cgi', (route) => route.fulfill({ contentType: 'text/html',
    body: JSON.stringify({ ret: 'armErr', retMsg: 'arm connect error:Connection refused' }) }));
  await button(page, 'refresh').click();
  await expect(dialog(page)).toContainText('Der Switch-Dienst ist nicht erreichbar (Verbindung abgelehnt).');
  await button(dialog(page), 'ok').click();
  await page.unroute('**/korvan.cgi');
  // The calendar opens only by its button, in the page's light colours.
  await tab(page, 'log').click();
  await page.locator('.kv-filters .kui-date-day').first().focus();
  await expect(page.locator('#ui-datepicker-div')).toBeHidden();
  await page.locator('.kv-filters .kui-date-pick').first().click();
  await expect(page.locator('#ui-datepicker-div')).toBeVisible();
  // Below its field, not over the filters.
  const [picker, filters] = await Promise.all(['#ui-datepicker-div', '.kv-filters .kui-date-pick >> nth=0'].map((l) => page.locator(l).boundingBox()));
  expect(picker.y).toBeGreaterThanOrEqual(filters.y + filters.height - 1);
  expect(await page.locator('#ui-datepicker-div').evaluate((e) => getComputedStyle(e).backgroundColor)).toBe('rgb(255, 255, 255)');
  await audit(page, 'calendar', '#ui-datepicker-div');
  await page.keyboard.press('Escape');
  await button(page, 'logout').click();
  await page.locator('[name=lang]').selectOption('en');

  // Opened from the address with a tab the user has.
  await page.goto(process.env.KORVAN_UI_URL + '#system');
  await loginAdmin(page);
  await expect(tab(page, 'system')).toHaveAttribute('aria-selected', 'true');
});

test('log: the part of all records shown, Older records moves the focus to them; on a phone each record is stacked', async ({ page }) => {
  sql(`insert into log2 (user,time,ip,type,typeSub,typeSubCN,sth)
       select 'operator', datetime('now','localtime'), '127.0.0.1', 'dog', 'updDog', 'update console',
              '[{"nm":"Name","v1":"a","v2":"b"}]' from (select 1 from log2 limit 1) cross join
              (with recursive n(i) as (select 1 union all select i+1 from n where i<250) select i from n);`);
  await login(page, 'operator', 'operator');
  await tab(page, 'log').click();
  const count = page.locator('.kv-count');
  const records = page.locator('.kv-grid-log .kui-grid-table > tbody > tr');
  await expect(count).toHaveText(/^1\u2013200 of \d+$/);
  const total = +(await count.innerText()).split(' of ')[1];
  expect(total).toBeGreaterThan(250);
  await button(page, 'log-older').focus();
  await page.keyboard.press('Enter');
  await expect(count).toHaveText(`1\u2013${Math.min(400, total)} of ${total}`);
  await expect(records.nth(200)).toBeFocused();

  await page.setViewportSize({ width: 390, height: 844 });
  const record = records.first();
  const cells = record.locator('td');
  const boxes = await cells.evaluateAll((tds) => tds.map((td) => td.getBoundingClientRect()));
  // One field under the other, each as wide as the record and named.
  for (let i = 1; i < boxes.length; i++) expect(boxes[i].top).toBeGreaterThanOrEqual(boxes[i - 1].bottom - 1);
  expect(Math.min(...boxes.map((b) => b.width))).toBeGreaterThan(300);
  expect(await cells.first().evaluate((td) => getComputedStyle(td, '::before').content)).toContain('Time');
  expect(await page.evaluate(() => document.documentElement.scrollWidth)).toBeLessThanOrEqual(390);
});
