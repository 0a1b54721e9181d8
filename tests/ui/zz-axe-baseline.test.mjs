import { test, expect } from '../../ui/node_modules/@playwright/test/index.mjs';
import AxeBuilder from '../../ui/node_modules/@axe-core/playwright/dist/index.mjs';
import { execFileSync } from 'node:child_process';
import { join } from 'node:path';
const sql = (statement) => execFileSync('sqlite3', [join(process.env.KORVAN_UI_ROOT, 'usr/app/korvan.db'), statement]);
const counts = {};
async function audit(page, where) {
  const r = await new AxeBuilder({ page }).analyze();
  for (const v of r.violations) {
    const k = `${v.impact} ${v.id}`;
    counts[k] = (counts[k] || 0) + v.nodes.length;
    if (v.impact === 'critical' || v.impact === 'serious') console.log(where, k, v.nodes.length);
  }
}
const button = (scope, name) => scope.locator(`[data-name="${name}"]`);
test('baseline', async ({ page }) => {
  test.setTimeout(240000);
  sql(`delete from user2 where nm='viewer';
       insert into user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2, createTime,
                          pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
       values (50, 'viewer', 'viewer', '', 3, '10300000', '', 0, 0, '', '', datetime('now','localtime'),
               datetime('now','localtime'), '1', 0, 600, '0', '3', '0', 0);`);
  for (const user of [['admin', 'admin'], ['viewer', 'viewer']]) {
    await page.goto(process.env.KORVAN_UI_URL);
    await audit(page, 'login');
    await page.locator('#kv-login-user').fill(user[0]);
    await page.locator('#kv-login-pw').fill(user[1]);
    await page.locator('#kv-login-pw').press('Enter');
    await expect(page.locator('.kui-tab-title').first()).toBeVisible();
    for (const t of await page.locator('.kui-tab-title').all()) {
      await t.click(); await audit(page, 'tab ' + await t.innerText());
    }
    if (user[0] === 'admin') {
      await page.locator('.kui-tab-title[data-tab=users]').click();
      await button(page, 'user-add').click();
      await audit(page, 'adduser');
      await page.keyboard.press('Escape');
    }
    await button(page, 'own-password').click(); await audit(page, 'pw'); await page.keyboard.press('Escape');
    await button(page, 'logout').click();
  }
  console.log(JSON.stringify(counts, null, 1));
});
