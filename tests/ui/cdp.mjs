// A small Chrome DevTools Protocol client for the UI smoke check: starts a
// headless Chromium, opens one page and lets the check evaluate scripts in it,
// wait for conditions and take screenshots. Needs Node's WebSocket (node 22,
// or node 20 with --experimental-websocket).
import { spawn } from 'node:child_process';
import { mkdtempSync, readFileSync, existsSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

export async function launch({ chromium = 'chromium', width = 1280, height = 860 } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'kv-ui-smoke-'));
  const proc = spawn(chromium, [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--remote-debugging-port=0', `--user-data-dir=${profile}`, `--window-size=${width},${height}`,
    'about:blank',
  ], { stdio: ['ignore', 'ignore', 'pipe'] });
  proc.stderr.on('data', () => {});
  // Chromium writes the port it chose into DevToolsActivePort.
  const portFile = join(profile, 'DevToolsActivePort');
  let port = null;
  for (let i = 0; i < 200 && port === null; i++) {
    if (existsSync(portFile)) {
      const first = readFileSync(portFile, 'utf8').split('\n')[0];
      if (first) port = Number(first);
    }
    if (port === null) await sleep(50);
  }
  if (port === null) { proc.kill(); throw new Error('chromium did not start'); }
  let target = null;
  for (let i = 0; i < 100 && !target; i++) {
    try {
      const list = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
      target = list.find((t) => t.type === 'page');
    } catch { /* not ready yet */ }
    if (!target) await sleep(50);
  }
  if (!target) { proc.kill(); throw new Error('no page target'); }
  const page = new Page(target.webSocketDebuggerUrl);
  await page.open();
  page.close = async () => {
    try { page.ws.close(); } catch { /* already closed */ }
    proc.kill();
    await new Promise((r) => proc.once('exit', r));
    try { rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 100 }); } catch { /* left in tmp */ }
  };
  return page;
}

class Page {
  constructor(url) {
    this.url = url;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
  }

  open() {
    return new Promise((resolve, reject) => {
      this.ws = new WebSocket(this.url);
      this.ws.onopen = () => resolve();
      this.ws.onerror = (e) => reject(new Error('websocket: ' + (e.message || 'error')));
      this.ws.onmessage = (m) => {
        const msg = JSON.parse(m.data);
        if (msg.id && this.pending.has(msg.id)) {
          const { res, rej } = this.pending.get(msg.id);
          this.pending.delete(msg.id);
          if (msg.error) rej(new Error(msg.error.message)); else res(msg.result);
        } else if (msg.method) {
          for (const l of this.listeners) l(msg.method, msg.params);
        }
      };
    });
  }

  send(method, params = {}) {
    const id = this.nextId++;
    this.ws.send(JSON.stringify({ id, method, params }));
    return new Promise((res, rej) => this.pending.set(id, { res, rej }));
  }

  on(fn) { this.listeners.push(fn); }

  // Value of a page expression (promises are awaited).
  async eval(expression) {
    const r = await this.send('Runtime.evaluate', { expression, awaitPromise: true, returnByValue: true });
    if (r.exceptionDetails) {
      const d = r.exceptionDetails;
      throw new Error('page: ' + ((d.exception && d.exception.description) || d.text));
    }
    return r.result.value;
  }

  // Waits until the expression is truthy; throws after timeout ms.
  async waitFor(expression, timeout = 8000, what = expression) {
    const end = Date.now() + timeout;
    for (;;) {
      let v = false;
      try { v = await this.eval(expression); } catch { v = false; }
      if (v) return v;
      if (Date.now() > end) throw new Error('timed out waiting for ' + what);
      await sleep(100);
    }
  }

  async goto(url) {
    const loaded = new Promise((r) => {
      const l = (method) => { if (method === 'Page.loadEventFired') { this.listeners.splice(this.listeners.indexOf(l), 1); r(); } };
      this.on(l);
    });
    await this.send('Page.navigate', { url });
    await loaded;
  }

  async screenshot() {
    const r = await this.send('Page.captureScreenshot', { format: 'png' });
    return Buffer.from(r.data, 'base64');
  }
}
