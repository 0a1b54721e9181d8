// Who is on the switch and whether the switch answers, driven as a person
// would: an administrator ends another's session, a viewer sees who used
// their console, and the health line with the switch service stopped.
// Runs after admin.test.mjs on the same installation.
import { test as base, expect } from '../../ui/node_modules/@playwright/test/index.mjs';
import { execFileSync, spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const top = resolve(fileURLToPath(new URL('.', import.meta.url)), '../..');
const sql = (statement) => execFileSync('sqlite3', [join(process.env.KORVAN_UI_ROOT, 'usr/app/korvan.db'), statement]);

const test = base.extend({
  page: async ({ page }, use) => {
    const problems = [];
    page.on('pageerror', (e) => problems.push('script error: ' + e.message));
    await page.goto(process.env.KORVAN_UI_URL);
    await use(page);
    expect(problems).toEqual([]);
  },
});

const dialog = (page) => page.locator('.kui-dialog').last();
const tab = (page, id) => page.locator(`.kui-tab-title[data-tab=${id}]`);
const row = (page, grid, text) => page.locator(`.${grid} tbody tr`, { hasText: text });
const button = (scope, name) => scope.locator(`[data-name="${name}"]`);
const status = (page) => page.locator('#kv-status[role=status]');
const healthLine = (page) => page.locator('[data-name="health"][role=status]');

async function login(page, name, pw) {
  await page.locator('#kv-login-user').fill(name);
  await page.locator('#kv-login-pw').fill(pw);
  await page.locator('#kv-login-pw').press('Enter');
  await expect(tab(page, 'consoles')).toBeVisible();
}

// The switch simulator of this installation: its port from the web server's
// settings, its process from the port.
function simulatorPort() {
  const webPort = new URL(process.env.KORVAN_UI_URL).port;
  const conf = readFileSync(join(process.env.KORVAN_UI_ROOT, 'run', webPort, 'lighttpd.conf'), 'utf8');
  return /"KORVAN_ARM_PORT" => "(\d+)"/.exec(conf)[1];
}
function simulatorPid(port) {
  const out = execFileSync('ss', ['-ltnpH', `sport = :${port}`]).toString();
  const m = /pid=(\d+)/.exec(out);
  return m ? Number(m[1]) : null;
}
let restarted = null;  // the simulator this file started again, stopped at its end
test.afterAll(() => { if (restarted) restarted.kill('SIGTERM'); });

test('an administrator ends a session; the user is back at the login at the next step', async ({ page, browser }) => {
  const other = await (await browser.newContext()).newPage();
  await other.goto(process.env.KORVAN_UI_URL);
  await login(other, 'operator', 'operator');

  await login(page, 'admin', 'admin');
  await tab(page, 'sessions').click();
  const operator = row(page, 'kv-grid-sessions', 'operator');
  await expect(operator).toContainText('127.0.0.1');
  await expect(row(page, 'kv-grid-sessions', 'admin (you)')).toBeVisible();
  await operator.click();
  await button(page, 'session-end').click();
  // The dialog names its action, says what goes on, and starts on Cancel.
  const dlg = dialog(page);
  await expect(dlg).toContainText('KVM sessions already granted');
  await expect(button(dlg, 'cancel')).toBeFocused();
  await button(dlg, 'end').click();
  await expect(status(page)).toHaveText('The session of operator is ended.');
  await expect(operator).toHaveCount(0);

  await button(other, 'refresh').click();
  await expect(other.locator('.kv-login-warning')).toContainText('session has ended');
  await other.context().close();
});

test('a viewer sees who opened the last KVM session on their console, and only there', async ({ page }) => {
  // Another console's last session, on a console the viewer has no right on.
  sql("update dog2 set kvmUser='operator', kvmTime='2026-01-02 03:04:05' where nm='db-01';");
  await login(page, 'admin', 'admin');
  await row(page, 'kv-grid-dogs', 'web-01').click();
  await button(page, 'dog-kvm').click();
  await expect(dialog(page)).toBeVisible();
  await page.keyboard.press('Escape');
  await button(page, 'logout').click();

  // The viewer of admin.test.mjs: read right on web-01, none on db-01.
  sql("update user2 set pw='viewer' where nm='viewer';");
  await login(page, 'viewer', 'viewer');
  await expect(row(page, 'kv-grid-dogs', 'web-01')).toContainText(/admin, \d{4}-\d\d-\d\d \d\d:\d\d:\d\d/);
  await expect(row(page, 'kv-grid-dogs', 'db-01')).not.toContainText('operator');
  await tab(page, 'sessions').click();
  await expect(page.locator('.kv-grid-sessions tbody tr')).toHaveText([/viewer \(you\)/]);
  await expect(button(page, 'session-end')).toHaveCount(0);
});

test('with the switch service stopped the health line says so and Refresh never says up to date', async ({ page }) => {
  const port = simulatorPort();
  await login(page, 'admin', 'admin');
  await expect(healthLine(page)).toHaveText(/^Switch reachable/);

  process.kill(simulatorPid(port), 'SIGTERM');
  await expect.poll(() => simulatorPid(port)).toBeNull();
  await button(page, 'refresh').click();
  await expect(status(page)).toHaveText('Switch not reachable');
  await expect(healthLine(page)).toHaveText(/^Switch not reachable/);
  await expect(status(page)).not.toHaveText('The data is up to date.');

  const build = resolve(process.env.KORVAN_BUILD || join(top, 'build'));
  restarted = spawn(join(build, 'switch-sim'), ['--port', port, '--log', '/dev/null'], { stdio: 'ignore' });
  await expect.poll(() => simulatorPid(port)).not.toBeNull();
  await button(page, 'refresh').click();
  await expect(status(page)).toHaveText('The data is up to date.');
  await expect(healthLine(page)).toHaveText(/^Switch reachable/);
});
