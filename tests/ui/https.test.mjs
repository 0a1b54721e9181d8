// The reference web-server configuration of the device (etc/), served over
// HTTPS with a certificate from etc/korvan-cert: the page loads and a person
// logs in under its security headers, and plain HTTP only redirects. The
// configuration is used as installed, with only its paths and ports moved to
// a scratch folder and free loopback ports.
import { test, expect, top } from './support.mjs';
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync, rmSync } from 'node:fs';
import { createServer, connect } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const freePort = () => new Promise((ok) => {
  const s = createServer().listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => ok(port)); });
});
const listening = (port) => new Promise((ok) => {
  const c = connect(port, '127.0.0.1', () => { c.destroy(); ok(true); }).on('error', () => ok(false));
});

// Replaces `from` in text; a configuration that no longer has it fails the test.
function moved(text, from, to) {
  expect(text, `etc/lighttpd-korvan.conf has ${from}`).toContain(from);
  return text.split(from).join(to);
}

test('HTTPS with the reference configuration: login under its headers, QR code shown, HTTP redirects', async ({ browser }) => {
  const root = process.env.KORVAN_UI_ROOT;
  // The running suite's web root and the environment its program needs.
  const local = readFileSync(join(root, 'run', new URL(process.env.KORVAN_UI_URL).port, 'lighttpd.conf'), 'utf8');
  const www = local.match(/^server\.document-root = "(.*)"$/m)[1];
  const env = local.match(/^setenv\.add-environment = .*$/m)[0];

  const scratch = mkdtempSync(join(tmpdir(), 'korvan-https-'));
  const tls = join(scratch, 'tls');
  execFileSync(join(top, 'etc/korvan-cert'), [tls], { env: { ...process.env, KORVAN_CERT_NAME: 'localhost' } });
  const [https, http] = [await freePort(), await freePort()];
  let conf = readFileSync(join(top, 'etc/lighttpd-korvan.conf'), 'utf8');
  conf = moved(conf, '"/usr/app/yal/www"', `"${www}"`);
  conf = moved(conf, '"/var/log/lighttpd-korvan.log"', `"${join(scratch, 'error.log')}"`);
  conf = moved(conf, '"/var/run/lighttpd-korvan.pid"', `"${join(scratch, 'lighttpd.pid')}"`);
  conf = moved(conf, '"/usr/app/tls/', `"${tls}/`);
  conf = moved(conf, 'server.port = 443', `server.port = ${https}\nserver.bind = "127.0.0.1"`);
  conf = moved(conf, '$SERVER["socket"] == ":80"', `$SERVER["socket"] == "127.0.0.1:${http}"`);
  writeFileSync(join(scratch, 'lighttpd.conf'), conf + '\n' + env + '\n');

  const server = spawn('lighttpd', ['-D', '-f', join(scratch, 'lighttpd.conf')], { stdio: 'ignore' });
  const context = await browser.newContext({ ignoreHTTPSErrors: true });
  try {
    for (let i = 0; i < 50 && !(await listening(https)); i++) await new Promise((ok) => setTimeout(ok, 100));
    const page = await context.newPage();
    const problems = [];
    page.on('pageerror', (e) => problems.push('script error: ' + e.message));
    page.on('console', (m) => { if (m.type() === 'error') problems.push('console: ' + m.text()); });
    const url = `https://127.0.0.1:${https}/cgi/korvan.cgi`;
    const reply = await page.goto(url);
    const headers = reply.headers();
    expect(headers['strict-transport-security']).toBe('max-age=31536000');
    expect(headers['content-security-policy']).toContain("frame-ancestors 'none'");

    await page.locator('#kv-login-user').fill('admin');
    await page.locator('#kv-login-pw').fill('admin');
    await page.locator('#kv-login-pw').press('Enter');
    await page.locator('.kui-tab-title[data-tab=second-factor]').click();
    await page.locator('[data-name="totp-begin"]').click();
    // The QR code is a data: image, which the policy must let through.
    const qr = page.getByRole('img', { name: 'QR code of the authenticator setup' });
    await expect(qr).toBeVisible();
    expect(await qr.evaluate((img) => img.complete && img.naturalWidth > 0)).toBe(true);
    expect(problems).toEqual([]);

    // The program's JSON replies carry the same headers, and the trace log is
    // never served.
    const json = await context.request.post(url, { form: { postKey: '{"type":"ref"}' } });
    expect(await json.text()).toContain('"ret"');
    for (const name of ['strict-transport-security', 'content-security-policy', 'x-content-type-options', 'x-frame-options']) {
      expect(json.headers()[name], name).toBe(headers[name]);
    }
    expect((await context.request.get(`https://127.0.0.1:${https}/cgi/log.txt`)).status()).toBe(403);

    const plain = await context.request.get(`http://127.0.0.1:${http}/cgi/korvan.cgi?x=1`, { maxRedirects: 0 });
    expect(plain.status()).toBe(301);
    expect(plain.headers().location).toBe(`https://127.0.0.1:${http}/cgi/korvan.cgi?x=1`);
  } finally {
    await context.close();
    server.kill('SIGTERM');
    await new Promise((ok) => (server.exitCode !== null ? ok() : server.on('exit', ok)));
    rmSync(scratch, { recursive: true, force: true });
  }
});
