// What the browser journeys share: the page fixture that fails a test on a
// script error or a failed load, the scratch database, locators and the
// keyboard helpers. The tests run in file order on one installation.
import { test as base, expect } from '../../ui/node_modules/@playwright/test/index.mjs';
import AxeBuilder from '../../ui/node_modules/@axe-core/playwright/dist/index.mjs';
import { execFileSync } from 'node:child_process';
import { mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const top = resolve(fileURLToPath(new URL('.', import.meta.url)), '../..');
export const shots = join(top, 'ui-shots');
mkdirSync(shots, { recursive: true });
// Waits for the program's write lock, as the program's own requests do.
export const sql = (statement) => execFileSync('sqlite3', ['-cmd', '.timeout 5000', join(process.env.KORVAN_UI_ROOT, 'usr/app/korvan.db'), statement]);

// Every test fails on a script error or a failed load in the page.
export const test = base.extend({
  page: async ({ page }, use) => {
    const problems = [];
    page.on('pageerror', (e) => problems.push('script error: ' + e.message));
    page.on('response', (r) => { if (r.status() >= 400) problems.push(`HTTP ${r.status()} ${r.url()}`); });
    await page.goto(process.env.KORVAN_UI_URL);
    await use(page);
    expect(problems).toEqual([]);
  },
});

export const dialog = (page) => page.locator('.kui-dialog').last();
export const tab = (page, id) => page.locator(`.kui-tab-title[data-tab=${id}]`);
export const row = (page, grid, text) => page.locator(`.${grid} tbody tr`, { hasText: text });
export const button = (scope, name) => scope.locator(`[data-name="${name}"]`);

export async function login(page, name, pw, how = 'click') {
  await page.locator('#kv-login-user').fill(name);
  await page.locator('#kv-login-pw').fill(pw);
  if (how === 'enter') await page.locator('#kv-login-pw').press('Enter');
  else await button(page, 'login').click();
}

export async function loginAdmin(page) {
  await login(page, 'admin', 'admin');
  await expect(tab(page, 'consoles')).toBeVisible();
}

// A status message after a change (the non-modal role=status region).
export const status = (page) => page.locator('#kv-status[role=status]');

// Presses Tab (or Shift+Tab) until `target` has the focus, as a keyboard user would.
export async function tabTo(page, target, back = false) {
  // The target must be on the page first: a missing one would otherwise hold
  // every step below for the whole test time and hide what went wrong.
  await expect(target).toBeAttached();
  for (let i = 0; i < 40; i++) {
    if (await target.evaluate((e) => e === document.activeElement, null, { timeout: 2000 }).catch(() => false)) return;
    await page.keyboard.press(back ? 'Shift+Tab' : 'Tab');
  }
  throw new Error('the keyboard cannot reach ' + target);
}

export const addViewer = () => sql(`delete from user2 where nm='viewer';
  insert into user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2, createTime,
                     pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
  values (50, 'viewer', 'viewer', '', 3, '10300000', '', 0, 0, '', '', datetime('now','localtime'),
          datetime('now','localtime'), '1', 0, 600, '0', '3', '0', 0);`);

// Types each value into the field of that name.
export async function fillAll(scope, values) {
  for (const [name, text] of Object.entries(values)) await scope.locator(`[name=${name}]`).fill(text);
}

// axe-core on the page as it stands, with the 24 px target size (off by
// default) on: a violation of any impact fails the test.
export async function audit(page, where, only) {
  const axe = new AxeBuilder({ page }).options({ rules: { 'target-size': { enabled: true } } });
  const { violations } = await (only ? axe.include(only) : axe).analyze();
  expect(violations.map((v) => `${where}: ${v.impact} ${v.id} at ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`)).toEqual([]);
}

export { expect };
