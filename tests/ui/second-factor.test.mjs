// Journey of the second factor: a user sets up an authenticator as a person
// would (reading the key off the page into an app, here a code computed in
// the test), and from then on logs in with password and code; wrong codes
// are refused at the setup and at the login. axe checks the setup screen.
import { test, expect, audit, sql, button, login, status, tab, row, dialog } from './support.mjs';
import { createHmac } from 'node:crypto';

// The authenticator app: a time-based code from a base32 key (HMAC-SHA1,
// 30-second steps, 6 digits), for the step `ahead` steps after now.
function base32Bytes(text) {
  const alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ234567';
  let bits = '';
  for (const ch of text.replace(/[\s=]/g, '').toUpperCase()) {
    const v = alphabet.indexOf(ch);
    if (v < 0) throw new Error('not base32: ' + ch);
    bits += v.toString(2).padStart(5, '0');
  }
  const bytes = [];
  for (let i = 0; i + 8 <= bits.length; i += 8) bytes.push(parseInt(bits.slice(i, i + 8), 2));
  return Buffer.from(bytes);
}

function codeAt(keyBytes, step) {
  const counter = Buffer.alloc(8);
  counter.writeBigUInt64BE(BigInt(step));
  const mac = createHmac('sha1', keyBytes).update(counter).digest();
  const at = mac[mac.length - 1] & 0x0f;
  return String((mac.readUInt32BE(at) & 0x7fffffff) % 1000000).padStart(6, '0');
}

const totp = (key, ahead = 0) => codeAt(base32Bytes(key), Math.floor(Date.now() / 30000) + ahead);

// The published SHA-1 vectors of time-based codes (their last six digits), key "12345678901234567890".
test('the test authenticator matches the published vectors', () => {
  const key = base32Bytes('GEZD GNBV GY3T QOJQ GEZD GNBV GY3T QOJQ');
  expect(key.toString()).toBe('12345678901234567890');
  const vectors = [[59, '287082'], [1111111109, '081804'], [2000000000, '279037']];
  expect(vectors.map(([t]) => codeAt(key, Math.floor(t / 30)))).toEqual(vectors.map(([, code]) => code));
});

const wrongCode = (right) => String((Number(right) + 500000) % 1000000).padStart(6, '0');

test('a user sets up a second factor, then logs in with password and code; wrong codes are refused', async ({ page }) => {
  test.setTimeout(60000);
  sql(`delete from user2 where nm='otpuser';
    insert into user2 (id, nm, pw, memo, pid, dog, token, status, expireTime, loginTime, loginTime2, createTime,
                       pwdExpire, pwdDepth, timezone, interval, code, frame, media, prior)
    values (51, 'otpuser', 'otpuser', '', 3, '10300000', '', 0, 0, '', '', datetime('now','localtime'),
            datetime('now','localtime'), '1', 0, 600, '0', '3', '0', 0);`);
  await login(page, 'otpuser', 'otpuser', 'enter');
  await tab(page, 'second-factor').click();
  await button(page, 'totp-begin').click();

  const code = page.getByLabel('Code', { exact: true });
  await expect(code).toBeFocused();
  await expect(page.getByRole('img', { name: 'QR code of the authenticator setup' })).toBeVisible();
  await audit(page, 'second-factor setup');
  const key = (await page.locator('#kv-totp-secret').innerText()).trim();
  expect(key).toMatch(/^[A-Z2-7]{4}( [A-Z2-7]{1,4})+$/);

  // A wrong code leaves the setup open and the focus in the code field.
  await code.fill(wrongCode(totp(key)));
  await code.press('Enter');
  await expect(dialog(page)).toContainText('The code is wrong');
  await page.keyboard.press('Escape');
  await expect(code).toBeFocused();
  await code.fill(totp(key));
  await code.press('Enter');
  await expect(status(page)).toHaveText('Second factor set up. From your next login on, the code is asked for.');
  await expect(button(page, 'totp-begin')).toBeFocused();
  await button(page, 'logout').click();

  // The password alone is not enough now; a wrong code is refused.
  await login(page, 'otpuser', 'otpuser', 'enter');
  const otp = page.locator('#kv-login-otp');
  await expect(otp).toBeFocused();
  await expect(page.locator('.kv-login-msg')).toHaveText('Enter the six-digit code of your authenticator app.');
  await page.keyboard.type(wrongCode(totp(key, 1)));
  await page.keyboard.press('Enter');
  await expect(page.locator('.kv-login-msg')).toHaveText(/^The code is wrong or already used/);
  await expect(tab(page, 'consoles')).toHaveCount(0);

  // The step after the setup's: the code just used for the setup would be a replay.
  await page.locator('#kv-login-pw').fill('otpuser');
  await otp.fill(totp(key, 1));
  await otp.press('Enter');
  await expect(tab(page, 'consoles')).toBeVisible();
  await button(page, 'logout').click();

  // An administrator removes it: the password alone is enough again.
  await login(page, 'admin', 'admin');
  await tab(page, 'users').click();
  // Only an account with a second factor offers the reset.
  await page.locator('.kv-grid-users tbody tr').filter({ has: page.getByRole('gridcell', { name: 'admin', exact: true }) }).click();
  await expect(button(page, 'user-totp-reset')).toBeDisabled();
  // The buttons out of use say why.
  await expect(page.locator('[data-name=user-why]')).toHaveText(
    'Your own account cannot be deleted. admin is not locked. admin has no second factor to reset.');
  await row(page, 'kv-grid-users', 'otpuser').click();
  await expect(button(page, 'user-totp-reset')).toBeEnabled();
  await button(page, 'user-totp-reset').click();
  const ask = dialog(page);
  await expect(button(ask, 'cancel')).toBeFocused();
  await expect(button(ask, 'ok')).toHaveText('Reset');
  await button(ask, 'ok').click();
  await expect(status(page)).toHaveText('The second factor of otpuser is removed.');
  await expect(button(page, 'user-totp-reset')).toBeDisabled();
  await button(page, 'logout').click();
  await login(page, 'otpuser', 'otpuser', 'enter');
  await expect(tab(page, 'consoles')).toBeVisible();
  await button(page, 'logout').click();

  // Where administrators must have one, an administrator without one is taken to the setup.
  const policy = sql('select f_pwd from secureConf;').toString().trim();
  sql(`update secureConf set f_pwd=json_set(f_pwd, '$.totpAdmin', '1');`);
  try {
    await login(page, 'admin', 'admin');
    await expect(tab(page, 'second-factor')).toHaveAttribute('aria-selected', 'true');
    await expect(tab(page, 'second-factor')).toBeFocused();
    await expect(status(page)).toHaveText('Please set up a second factor before you go on.');
    await expect(dialog(page)).toHaveCount(0);
  } finally {
    sql(`update secureConf set f_pwd='${policy.replace(/'/g, "''")}';`);
  }
});
