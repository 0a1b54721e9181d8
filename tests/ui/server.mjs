// Starts the installation the browser suite works on: a scratch development
// root (scripts/make-devroot), the switch simulator and lighttpd
// (scripts/run-local) on free loopback ports. The tests find it through
// KORVAN_UI_URL and KORVAN_UI_ROOT; the returned function stops it.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const top = resolve(fileURLToPath(new URL('.', import.meta.url)), '../..');

function freePort() {
  return new Promise((ok) => {
    const s = createServer().listen(0, '127.0.0.1', () => { const { port } = s.address(); s.close(() => ok(port)); });
  });
}

export default async function setup() {
  const build = resolve(process.env.KORVAN_BUILD || join(top, 'build'));
  const scratch = mkdtempSync(join(tmpdir(), 'korvan-ui-'));
  const root = join(scratch, 'root');
  execFileSync(join(top, 'scripts/make-devroot'), [root, build], { stdio: ['ignore', 'ignore', 'inherit'] });
  const [port, armPort] = [await freePort(), await freePort()];
  const runner = spawn(join(top, 'scripts/run-local'), [root, build, String(port)], {
    env: { ...process.env, KORVAN_ARM_PORT: String(armPort) }, stdio: ['ignore', 'pipe', 'pipe'],
  });
  let log = '';
  await new Promise((ok, fail) => {
    const seen = (chunk) => { log += chunk; if (log.includes('Korvan is running')) ok(); };
    runner.stdout.on('data', seen);
    runner.stderr.on('data', seen);
    runner.on('exit', () => fail(new Error('run-local ended:\n' + log)));
  });
  process.env.KORVAN_UI_URL = `http://127.0.0.1:${port}/cgi/korvan.cgi`;
  process.env.KORVAN_UI_ROOT = root;
  return async () => {
    // run-local stops lighttpd and the simulator when it gets SIGTERM.
    runner.removeAllListeners('exit');
    const ended = new Promise((ok) => runner.on('exit', ok));
    runner.kill('SIGTERM');
    await ended;
    rmSync(scratch, { recursive: true, force: true });
  };
}
