// Browser suite of the administration UI: `make test-ui` runs it against
// build/korvan.cgi, build/switch-sim and lighttpd, which tests/ui/server.mjs
// starts on free loopback ports in a scratch root. Debian's chromium is the
// browser (no browser download). Screenshots go to ui-shots/.
import { defineConfig } from '@playwright/test';

export default defineConfig({
  testDir: '../tests/ui',
  testMatch: '*.test.mjs',
  globalSetup: '../tests/ui/server.mjs',
  outputDir: '../test-results',
  workers: 1,
  timeout: 30000,
  expect: { timeout: 8000 },
  reporter: [['list']],
  use: {
    browserName: 'chromium',
    launchOptions: { executablePath: process.env.CHROMIUM || '/usr/bin/chromium' },
    viewport: { width: 1366, height: 768 },
    trace: 'off',
  },
});
