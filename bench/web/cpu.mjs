// The page's cost in Chromium, a figure and not a test:
//  - the CPU time of Chromium's whole process tree while the lure screen sits
//    idle, against a page that moves one 32×32 picture every 51 ms with
//    setTimeout, in the same browser, runs alternating;
//  - the time from navigation to the painted title, on the local server.
// Run after `cmake --build --preset web` and `npm ci` in tests/web:
//   node bench/web/cpu.mjs [--runs=5] [--seconds=8]
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { launchChromium, root, serveSite } from '../../tests/web/common.mjs';

const arg = (name, fallback) => Number((process.argv.find((a) => a.startsWith(`--${name}=`)) || '').split('=')[1] || fallback);
const runs = arg('runs', 5);
const seconds = arg('seconds', 8);
const puppeteer = createRequire(join(root, 'tests/web/package.json'))('puppeteer-core');
const sleep = (ms) => new Promise((ok) => setTimeout(ok, ms));
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// User and system time, in clock ticks, of a process and each of its
// descendants, by process id.
function treeTicks(pid) {
  const procs = new Map();
  for (const d of readdirSync('/proc')) {
    if (!/^\d+$/.test(d)) continue;
    try {
      const stat = readFileSync(`/proc/${d}/stat`, 'utf8');
      const f = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      procs.set(Number(d), { ppid: Number(f[1]), ticks: Number(f[11]) + Number(f[12]) });
    } catch { /* gone meanwhile */ }
  }
  const tree = new Map();
  const todo = [pid];
  while (todo.length) {
    const p = todo.pop();
    tree.set(p, procs.get(p)?.ticks ?? 0);
    for (const [child, info] of procs) if (info.ppid === p) todo.push(child);
  }
  return tree;
}

// The ticks spent between two looks, by the processes alive at the second.
const spent = (before, after) => [...after].reduce((sum, [p, t]) => sum + t - (before.get(p) ?? 0), 0);

const server = await serveSite();
const browser = await launchChromium(puppeteer);
const pid = browser.process().pid;

const SPRITE = `<!DOCTYPE html><body style="margin:0;background:#3a6ea5">
<img id="s" src="${server.url}pictures/fish_calm.png" width="32" height="32" style="position:absolute;image-rendering:pixelated">
<script>let x = 0; const s = document.getElementById('s');
(function step() { x = (x + 3) % 400; s.style.left = x + 'px'; setTimeout(step, 51); })();</script>`;

async function toLure(page) {
  await page.goto(server.url, { waitUntil: 'load' });
  await page.evaluate(() => window.mogumo.ready);
  const click = async (form, key) => {
    const sel = `.window[data-form="${form}"] [data-control="${key}"]`;
    await page.waitForSelector(sel, { visible: true });
    await page.click(sel);
  };
  await click('Form1', 'Command1');
  await click('Form3', 'Command2');
  await sleep(400);
  await click('Form5', 'cast');
  await page.waitForSelector('.window[data-form="Form6"]', { visible: true });
}

async function measure(prepare) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1366, height: 768 });
  await prepare(page);
  // The pointer rests on the page, at the same place for both.
  await page.mouse.move(683, 740);
  await sleep(1000);
  const t0 = treeTicks(pid);
  await sleep(seconds * 1000);
  const ticks = spent(t0, treeTicks(pid));
  await page.close();
  return ticks;
}

const lure = [], sprite = [];
for (let i = 0; i < runs; ++i) {
  lure.push(await measure(toLure));
  sprite.push(await measure((page) => page.setContent(SPRITE)));
}

// Navigation to the painted title: the title window there and two frames on,
// a first visit each time (no service worker, nothing cached).
const loads = [];
for (let i = 0; i < runs; ++i) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1366, height: 768 });
  await page.goto(server.url, { waitUntil: 'domcontentloaded' });
  loads.push(await page.evaluate(async () => {
    await window.mogumo.ready;
    await new Promise((ok) => requestAnimationFrame(() => requestAnimationFrame(ok)));
    return performance.now();
  }));
  await context.close();
}

await browser.close();
await server.close();
const ratios = lure.map((l, i) => l / sprite[i]);
console.log(`CPU ticks over ${seconds} s, lure screen: ${lure.join(' ')}`);
console.log(`CPU ticks over ${seconds} s, one sprite: ${sprite.join(' ')}`);
console.log(`lure / sprite: ${ratios.map((r) => r.toFixed(2)).join(' ')}; median ${median(ratios).toFixed(2)}`);
console.log(`navigation to painted title (ms): ${loads.map((t) => t.toFixed(0)).join(' ')}; median ${median(loads).toFixed(0)}`);
