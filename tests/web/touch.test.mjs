// On a touch screen: the on-screen keys send the real keys' events. Holding
// the Shift key reels the lure as the keyboard's Shift does, and the record
// shows the same key-down and key-up lines.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { launchChromium, missing, serveSite, site } from './common.mjs';

const skip = missing(join(site, 'game.wasm'));
let browser, server, page;

before(async () => {
  if (skip) return;
  const puppeteer = (await import('puppeteer-core')).default;
  server = await serveSite();
  browser = await launchChromium(puppeteer);
  page = await browser.newPage();
  // A phone held sideways.
  await page.setViewport({ width: 740, height: 360, hasTouch: true, isMobile: true, deviceScaleFactor: 2 });
  await page.goto(server.url, { waitUntil: 'load' });
  await page.evaluate(() => window.mogumo.ready);
});

after(async () => {
  await browser?.close();
  await server?.close();
});

const dump = () => page.evaluate(() => JSON.parse(window.mogumo.dump()));
const sleep = (ms) => new Promise((ok) => setTimeout(ok, ms));

async function centre(selector) {
  await page.waitForSelector(selector, { visible: true, timeout: 15000 });
  const b = await (await page.$(selector)).boundingBox();
  return { x: b.x + b.width / 2, y: b.y + b.height / 2 };
}

async function tap(selector) {
  const at = await centre(selector);
  await page.touchscreen.tap(at.x, at.y);
}

test('holding the on-screen Shift reels the lure; the record has the real key lines', { skip }, async () => {
  assert.equal(await page.$eval('#touch-keys', (e) => e.hidden), false);
  // The desktop fits the screen beside the keys.
  const fits = await page.evaluate(() => {
    const r = document.getElementById('desktop').getBoundingClientRect();
    return r.right <= innerWidth + 0.5 && r.bottom <= innerHeight + 0.5;
  });
  assert.ok(fits);

  await tap('[data-form="Form1"] [data-control="Command1"]');
  await tap('[data-form="Form3"] [data-control="Command2"]');
  await sleep(300);
  await tap('[data-form="Form5"] [data-control="cast"]');
  await page.waitForSelector('[data-form="Form6"]', { visible: true });
  await sleep(200);
  const before = await dump();

  const shift = await centre('#touch-keys [data-key="16"]');
  await page.touchscreen.touchStart(shift.x, shift.y);
  await sleep(400);
  const held = await dump();
  assert.equal(held.state.ReelSpeed, 50);
  assert.ok(held.screens.Form6.controls.rua.top < before.screens.Form6.controls.rua.top, 'the lure rose');
  assert.ok(held.state.FishInterest > before.state.FishInterest);
  assert.equal(await page.evaluate(() => scrollX + scrollY), 0);
  await page.touchscreen.touchEnd();
  await sleep(100);
  assert.equal((await dump()).state.ReelSpeed, 0);

  const lines = (await page.evaluate(() => window.mogumo.record())).split('\n');
  const down = lines.indexOf('keydown Form6 16');
  assert.ok(down > 0);
  assert.equal(lines.filter((l) => l.startsWith('key')).join('|'), 'keydown Form6 16|keyup Form6 16');
  assert.match(lines[down + 1], /^run \d+$/);

  // Held as the page loses the keyboard, the key goes up then and there.
  await page.touchscreen.touchStart(shift.x, shift.y);
  await sleep(100);
  await page.evaluate(() => window.dispatchEvent(new Event('blur')));
  assert.equal((await dump()).state.ReelSpeed, 0);
  const keys = (await page.evaluate(() => window.mogumo.record())).split('\n').filter((l) => l.startsWith('key'));
  assert.deepEqual(keys.slice(2), ['keydown Form6 16', 'keyup Form6 16']);
  await page.touchscreen.touchEnd();
});
