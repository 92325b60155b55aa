// What the browser tests share: the places of the builds, the native
// simulator, a static server for the site that notes every request, and
// Chromium from the system.
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync, readFileSync, statSync } from 'node:fs';
import { extname, join, normalize, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const root = resolve(fileURLToPath(new URL('../..', import.meta.url)));
export const webBuild = process.env.MOGUMO_WEB_BUILD || join(root, 'build/web');
export const site = join(webBuild, 'site');
export const wasmSim = join(webBuild, 'mogumo-sim.js');
export const nativeSim = process.env.MOGUMO_SIM || join(root, 'build/dev/mogumo-sim');
export const chromium = process.env.CHROMIUM || '/usr/bin/chromium';

// Why a group of tests cannot run here, or false.
export function missing(...paths) {
  const gone = paths.filter((p) => !existsSync(p));
  return gone.length ? `not built: ${gone.join(', ')}` : false;
}

// Runs a simulator (native, or the WebAssembly one under Node) on a script
// file or on standard input.
export function runSim(which, args, input) {
  const [cmd, pre] = which === 'wasm' ? [process.execPath, [wasmSim]] : [nativeSim, []];
  const r = spawnSync(cmd, [...pre, ...args], { input, encoding: 'utf8', maxBuffer: 1 << 28 });
  return { status: r.status, stdout: r.stdout, stderr: r.stderr };
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.txt': 'text/plain; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
};

// Serves the site on a free port of 127.0.0.1.
export async function serveSite() {
  const requests = [];
  const server = createServer((req, res) => {
    requests.push(req.url);
    const path = normalize(join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname)));
    let file = path.startsWith(site) && existsSync(path) && statSync(path).isDirectory() ? join(path, 'index.html') : path;
    if (!file.startsWith(site) || !existsSync(file)) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[extname(file)] || 'application/octet-stream' });
    res.end(readFileSync(file));
  });
  await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
  const url = `http://127.0.0.1:${server.address().port}/`;
  const close = () => new Promise((ok) => {
    server.close(ok);
    server.closeAllConnections();
  });
  return { url, requests, close };
}

export async function launchChromium(puppeteer, extraArgs = []) {
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--disable-default-apps', '--font-render-hinting=none', ...extraArgs],
  });
}

// The `# state` lines of a record: what the game was at each of its dumps.
export function recordedStates(record) {
  return record.split('\n').filter((l) => l.startsWith('# state ')).map((l) => l.slice(8));
}
