// Who is on the switch and whether the switch answers, driven as a person
// would: an administrator ends another's session, a viewer sees who used
// their console, and the health line with the switch service stopped.
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test, expect, sql, dialog, tab, row, button, status, addViewer } from './support.mjs';

const healthLine = (page) => page.locator('[data-name="health"][role=status]');

async function login(page, name, pw) {
  await page.locator('#kv-login-user').fill(name);
  await page.locator('#kv-login-pw').fill(pw);
  await page.locator('#kv-login-pw').press('Enter');
  await expect(tab(page, 'consoles')).toBeVisible();
}

// The switch simulator of this installation: its port from the web server's
// settings, its process from the port. The installation stops as a whole when
// a part ends, so the simulator is paused, never ended.
function simulatorPid() {
  const webPort = new URL(process.env.KORVAN_UI_URL).port;
  const conf = readFileSync(join(process.env.KORVAN_UI_ROOT, 'run', webPort, 'lighttpd.conf'), 'utf8');
  const port = /"KORVAN_ARM_PORT" => "(\d+)"/.exec(conf)[1];
  return Number(/pid=(\d+)/.exec(execFileSync('ss', ['-ltnpH', `sport = :${port}`]).toString())[1]);
}

async function openKvm(page, console) {
  await row(page, 'kv-grid-dogs', console).click();
  await button(page, 'dog-kvm').click();
  await expect(dialog(page)).toBeVisible({ timeout: 20000 });
  const text = await dialog(page).innerText();
  await page.keyboard.press('Escape');
  return text;
}
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
  await expect(button(dlg, 'end')).toHaveText('End session');
  await button(dlg, 'end').click();
  await expect(status(page)).toHaveText('The session of operator is ended.');
  await expect(operator).toHaveCount(0);

  await button(other, 'refresh').click();
  await expect(other.locator('.kv-login-warning')).toContainText('session has ended');
  await other.context().close();
});

test('a viewer sees who opened the last KVM session on their console, and only there', async ({ page }) => {
  // Another console's last session, on a console the viewer has no right on.
  sql("update dog2 set kvmUser='operator', kvmTime='2026-01-02 03:04:05', serialUserID=(select id from user2 where nm='operator') where nm='db-01';");
  await login(page, 'admin', 'admin');
  await openKvm(page, 'web-01');
  await button(page, 'logout').click();

  // Read right on web-01, none on db-01.
  addViewer();
  await login(page, 'viewer', 'viewer');
  await expect(row(page, 'kv-grid-dogs', 'web-01')).toContainText(/admin, \d{4}-\d\d-\d\d \d\d:\d\d:\d\d/);
  await expect(row(page, 'kv-grid-dogs', 'db-01')).not.toContainText('operator');
  await tab(page, 'sessions').click();
  await expect(page.locator('.kv-grid-sessions tbody tr')).toHaveText([/viewer \(you\)/]);
  await expect(button(page, 'session-end')).toHaveCount(0);
  sql("update dog2 set serialUserID=-1 where nm='db-01';");
});

test('with the switch service stopped the health line says so and Refresh never says up to date', async ({ page }) => {
  test.setTimeout(90000);
  const simulator = simulatorPid();
  await login(page, 'admin', 'admin');
  await expect(healthLine(page)).toHaveText(/^Switch reachable/);

  // A stopped service: the system still takes its connections, nothing answers.
  process.kill(simulator, 'SIGSTOP');
  try {
    expect(await openKvm(page, 'web-01')).toContain('The switch service did not answer in time.');
    await button(page, 'refresh').click();
    await expect(status(page)).toHaveText('Switch not reachable');
    await expect(healthLine(page)).toHaveText(/^Switch not reachable/);
  } finally {
    process.kill(simulator, 'SIGCONT');
  }

  // Back: the next exchange answers, and Refresh says so.
  await openKvm(page, 'web-01');
  await button(page, 'refresh').click();
  await expect(status(page)).toHaveText('The data is up to date.');
  await expect(healthLine(page)).toHaveText(/^Switch reachable/);
});

test('the health line is asked every 30 s while the page is shown, and asking does not keep the session open', async ({ page }) => {
  test.setTimeout(60000);
  await page.clock.install();
  await page.reload();
  const asked = [];
  page.on('request', (r) => { if ((r.postData() || '').includes('%22health%22')) asked.push(r); });
  await login(page, 'admin', 'admin');
  await expect.poll(() => asked.length).toBe(1);
  await page.clock.runFor(60000);
  await expect.poll(() => asked.length).toBe(3);
  // A hidden page asks nothing, and asks at once when shown again.
  const shown = (state) => page.evaluate((s) => {
    Object.defineProperty(document, 'visibilityState', { get: () => s, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, state);
  await shown('hidden');
  await page.clock.runFor(90000);
  expect(asked.length).toBe(3);
  await shown('visible');
  await expect.poll(() => asked.length).toBe(4);
  // Polls alone: the warning a minute before the idle end still comes, nine minutes after the login.
  await page.clock.runFor(400000);
  await expect(page.getByRole('alertdialog', { name: 'Still there?' })).toBeVisible();
  expect(asked.length).toBeGreaterThan(15);
});
