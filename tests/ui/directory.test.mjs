// Directory login in the browser, against the real OpenLDAP of
// tests/directory/servers (started for this file in a private folder on free
// loopback ports): an administrator sets up the directory as a person would,
// tests a name and password and sees each step, saves; then a person of the
// directory logs in and has a right on exactly the consoles of the device
// group their directory group maps to. The settings, the group and the
// directory account are removed at the end, for the files that follow.
import { test, expect, top, sql, dialog, tab, button, login, loginAdmin, status, audit, fillAll } from './support.mjs';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const servers = join(top, 'tests/directory/servers');
let folder;
let ldapPort;

test.beforeAll(() => {
  folder = mkdtempSync(join(tmpdir(), 'korvan-ui-dir-'));
  [ldapPort] = execFileSync(servers, ['start', join(folder, 'servers')]).toString().trim().split(' ');
});

test.afterAll(() => {
  sql(`delete from directory2; delete from dirMap2;
    delete from user2 where id in (select id from dirUser2); delete from dirUser2;
    delete from priv2 where nm='Rack A'; delete from userLock where f_userName='bob';`);
  if (folder) {
    execFileSync(servers, ['stop', join(folder, 'servers')]);
    rmSync(folder, { recursive: true, force: true });
  }
});

test('an administrator sets up LDAP and tests it step by step; a directory person sees the consoles of their group', async ({ page }) => {
  test.setTimeout(60000);
  // The device group the directory group maps to: view on db-01 and view
  // and control on router-console, nothing on the other consoles. Its rights
  // go by console slot, which the first login of the installation assigned.
  await loginAdmin(page);
  const slot = (uid) => Number(sql(`select id from dogInfo2 where uid='${uid}';`).toString().trim());
  const rights = Array(8).fill('0');
  rights[slot('U1A0000002') - 1] = '1';
  rights[slot('S2B0000003') - 1] = '3';
  sql(`delete from priv2 where nm='Rack A';
    insert into priv2 (level, nm, type, dog) values (1, 'Rack A', 2, '${rights.join('')}');`);
  await page.reload();

  await tab(page, 'directory').click();
  const form = page.locator('.kui-tab-panel[data-tab=directory]');
  await form.getByLabel('Use the directory').selectOption({ label: 'Directory first, then local accounts' });
  await expect(form.getByLabel('Directory type')).toHaveValue('ldap');
  await form.getByLabel('Primary server').and(page.locator('[name=uri1]')).fill(`ldap://127.0.0.1:${ldapPort}`);
  await expect(form.getByLabel('Check the server certificate')).toHaveValue('1');
  await form.getByLabel('CA certificates (PEM)').fill(readFileSync(join(folder, 'servers/ca.pem'), 'utf8'));
  await form.getByLabel('Search account DN').fill('cn=reader,dc=example,dc=org');
  await form.getByLabel('Search account password').fill('reader-secret');
  await form.getByLabel('Search people under').fill('ou=people,dc=example,dc=org');
  await form.getByLabel('Search filter').fill('(uid=%s)');
  await button(form, 'dir-map-add').click();
  await form.getByLabel('Directory group (name or DN)').fill('kvm-operators');
  await form.getByLabel('Group', { exact: true }).selectOption({ label: 'Rack A' });

  // The test of the settings in the form: each step with what it found.
  await button(form, 'dir-test').click();
  const tryOut = dialog(page);
  await tryOut.getByLabel('User name').fill('bob');
  await tryOut.getByLabel('Password').fill('bob-pw');
  await tryOut.getByLabel('Password').press('Enter');
  const steps = tryOut.locator('.kv-dir-steps li');
  await expect(steps).toHaveText([
    `Connection: ok \u2014 ldap://127.0.0.1:${ldapPort}`,
    'Encryption (TLS): ok \u2014 StartTLS',
    'Search account bind: ok \u2014 cn=reader,dc=example,dc=org',
    'Search for the name: ok \u2014 uid=bob,ou=people,dc=example,dc=org',
    'Directory groups: ok \u2014 cn=kvm-operators,ou=groups,dc=example,dc=org',
    'Password: ok \u2014 uid=bob,ou=people,dc=example,dc=org',
    'Group on this switch: ok \u2014 Rack A',
    'Outcome: name and password accepted',
  ], { timeout: 15000 });
  await audit(page, 'directory test', '.kui-dialog');
  // A wrong password: the step that refused it, and the outcome in words.
  await tryOut.getByLabel('Password').fill('not-bob');
  await tryOut.getByLabel('Password').press('Enter');
  await expect(steps.filter({ hasText: 'Password: failed' })).toHaveText('Password: failed \u2014 wrong password');
  await expect(steps.last()).toHaveText('Outcome: wrong password');
  await page.keyboard.press('Escape');
  await expect(page.locator('.kui-dialog')).toHaveCount(0);
  await button(form, 'dir-save').click();
  await expect(status(page)).toHaveText('Directory settings saved.');
  await expect(form.getByText('Currently: set. Leave empty to keep it.').first()).toBeVisible();
  // In German the steps' details are German too, the directory's names aside.
  await button(page, 'logout').click();
  await page.locator('[name=lang]').selectOption('de');
  await loginAdmin(page);
  await tab(page, 'directory').click();
  await button(form, 'dir-test').click();
  await fillAll(dialog(page), { userNM: 'bob', pw: 'not-bob' });
  await dialog(page).locator('[name=pw]').press('Enter');
  await expect(steps.filter({ hasText: 'Passwort: fehlgeschlagen' })).toHaveText('Passwort: fehlgeschlagen \u2014 falsches Passwort', { timeout: 15000 });
  await page.keyboard.press('Escape');
  await button(page, 'logout').click();
  await page.locator('[name=lang]').selectOption('en');

  // The person logs in with the directory's name and password.
  await login(page, 'bob', 'bob-pw', 'enter');
  await expect(tab(page, 'consoles')).toBeVisible();
  await expect(tab(page, 'directory')).toHaveCount(0);
  const online = sql("select nm from dog2 where status+usrstatus>=1 order by id;").toString().trim().split('\n');
  const shown = page.locator('.kv-grid-dogs tbody tr');
  await expect(shown).toHaveCount(online.length);
  const right = {};
  for (const r of await shown.all()) {
    const cells = await r.locator('td').allInnerTexts();
    right[online.find((nm) => cells.includes(nm))] = cells.find((c) => /^(none|view|view and control)$/.test(c));
  }
  expect(right).toEqual(Object.fromEntries(online.map((nm) =>
    [nm, { 'db-01': 'view', 'router-console': 'view and control' }[nm] || 'none'])));
  await button(page, 'logout').click();
});
