// The page in a real browser: a game played from the title to the battle
// with the mouse and the keyboard, its record replayed by the native
// simulator to the same states, the scenes' pictures, and nothing fetched
// from anywhere but the page's own origin; the page on any screen, while it
// loads, when it cannot start, and with the network off.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readdirSync, readFileSync, writeFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launchChromium, missing, nativeSim, recordedStates, runSim, serveSite, site } from './common.mjs';

const skip = missing(join(site, 'game.wasm'), nativeSim);
let puppeteer, browser, server, page, downloads;
const requests = [];

before(async () => {
  if (skip) return;
  puppeteer = (await import('puppeteer-core')).default;
  server = await serveSite();
  browser = await launchChromium(puppeteer);
  page = await browser.newPage();
  // Room for the desktop at one CSS pixel to a screen pixel.
  await page.setViewport({ width: 600, height: 520 });
  page.on('request', (r) => requests.push(r.url()));
  downloads = mkdtempSync(join(tmpdir(), 'mogumo-web-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  // A Japanese browser: the page opens in Japanese.
  await page.evaluateOnNewDocument(() => Object.defineProperty(navigator, 'languages', { get: () => ['ja-JP', 'en'] }));
  await page.goto(server.url, { waitUntil: 'load' });
  await page.evaluate(() => window.mogumo.ready);
});

after(async () => {
  await browser?.close();
  await server?.close();
  if (downloads) rmSync(downloads, { recursive: true, force: true });
});

const client = (form) => `.window[data-form="${form}"] .client`;
const control = (form, key) => `${client(form)} [data-control="${key}"]`;
const dump = () => page.evaluate(() => JSON.parse(window.mogumo.dump()));
const sleep = (ms) => new Promise((ok) => setTimeout(ok, ms));

async function waitForWindow(form, timeout = 15000) {
  await page.waitForSelector(client(form), { visible: true, timeout });
}

// A screenshot of a rectangle of a page, as its size and a pixel reader.
async function shot(rect, p = page) {
  const png = await p.screenshot({ clip: rect, encoding: 'base64' });
  return p.evaluate(async (data) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + data;
    await img.decode();
    const canvas = document.createElement('canvas');
    canvas.width = img.width;
    canvas.height = img.height;
    const g = canvas.getContext('2d');
    g.drawImage(img, 0, 0);
    return { width: img.width, height: img.height, pixels: Array.from(g.getImageData(0, 0, img.width, img.height).data) };
  }, png).then((s) => ({ ...s, at: (x, y) => s.pixels.slice((y * s.width + x) * 4, (y * s.width + x) * 4 + 3) }));
}

async function box(selector) {
  const b = await (await page.$(selector)).boundingBox();
  return { x: b.x, y: b.y, width: b.width, height: b.height };
}

// In English: no Japanese script in any window shown, no caption cut off,
// at 200 % and 100 %.
async function englishFits() {
  for (const deviceScaleFactor of [2, 1]) {
    await page.setViewport({ width: 600, height: 520, deviceScaleFactor });
    const shown = await page.evaluate(() => [...document.querySelectorAll('.window')].map((w) => {
      const texts = [w.querySelector('.caption').textContent,
        ...[...w.querySelectorAll('.control, .label, .status-box')].map((e) => (e.tagName === 'TEXTAREA' ? e.value : e.textContent))];
      const clipped = [...w.querySelectorAll('button.control, .label:not(.one-line)')]
        .filter((e) => e.offsetParent && (e.scrollWidth > e.clientWidth + 1 || e.scrollHeight > e.clientHeight + 1))
        .map((e) => e.textContent);
      return { form: w.dataset.form, texts, clipped };
    }));
    for (const { form, texts, clipped } of shown) {
      for (const t of texts) assert.doesNotMatch(t, /[\u3000-\u30ff\u3400-\u9fff\uff00-\uffef]/, form);
      assert.deepEqual(clipped, [], `${form} at ${deviceScaleFactor * 100} %`);
    }
  }
}

const TEAL = [0, 128, 128], DARK_RED = [192, 0, 0], PALE_CYAN = [192, 255, 255], CYAN = [0, 192, 192],
  GREY = [128, 128, 128];

test('a game from the title to the battle, recorded and replayed by the native simulator', { skip }, async () => {
  // The title: the whole client area at one pixel to 15 twips, the art
  // behind the buttons, the focus on GAME START.
  await waitForWindow('Form1');
  const title = await shot(await box(client('Form1')));
  assert.deepEqual([title.width, title.height], [489, 306]);
  assert.deepEqual(title.at(5, 5), [184, 244, 252]); // the sky of the title art
  assert.equal(await page.evaluate(() => document.activeElement.dataset.control), 'Command1');

  await page.click(control('Form1', 'Command1'));
  await waitForWindow('Form3');
  await page.click(control('Form3', 'Command1(1)')); // the river
  await page.click(control('Form3', 'Command2'));
  await waitForWindow('Form5');
  assert.equal(await page.evaluate(() => document.activeElement.dataset.control), 'cast');
  await sleep(400);
  await page.click(control('Form5', 'cast'));
  await waitForWindow('Form6');

  // Switched to English mid-game: every caption at once, the game unchanged.
  await page.click('#language [data-lang="en"]');
  assert.equal(await page.$eval('.window[data-form="Form5"] .caption', (e) => e.textContent),
    'Cast! (more power, longer cast)');
  assert.equal(await page.$eval('#new-game', (e) => e.textContent), 'New game');
  await englishFits(); // the cast and lure screens
  // New game in the middle of one asks first.
  await page.click('#new-game');
  await page.waitForSelector('#confirm', { visible: true });
  await page.click('#confirm-no');
  assert.ok(await page.$(client('Form6')));

  // The cast screen over the lure screen: one scene, the bank above and
  // the water below, only the lower window's frame between them.
  const upper = await box(client('Form5'));
  const lower = await box(client('Form6'));
  assert.ok(Math.abs(lower.x - upper.x) <= 1); // as laid out, within a pixel
  assert.equal(lower.y - (upper.y + upper.height), 22);
  await sleep(300);
  const scene = await shot({ x: upper.x, y: upper.y, width: 434, height: lower.y + lower.height - upper.y });
  assert.deepEqual([scene.width, scene.height], [434, 140 + 22 + 195]);
  assert.deepEqual(scene.at(430, 60), DARK_RED);
  assert.deepEqual(scene.at(3, 95), TEAL); // the water under the waves
  assert.deepEqual(scene.at(200, 5), PALE_CYAN);
  assert.deepEqual(scene.at(10, 162 + 10), TEAL); // the lure screen's water
  assert.deepEqual(scene.at(3, 162 + 133), GREY); // its sea bed

  // The disabled cast screen takes no clicks; a page that stood still for
  // more than 250 ms loses that time, as the desktop game does.
  await page.click(control('Form5', 'cast'));
  await page.evaluate(() => {
    const start = performance.now();
    while (performance.now() - start < 600);
  });
  await sleep(100);

  // Shift reels, K calls the fish, and it bites.
  await page.keyboard.down('Shift');
  await sleep(300);
  assert.equal((await dump()).state.ReelSpeed, 50);
  await page.keyboard.up('Shift');
  await page.keyboard.press('k');
  await waitForWindow('Form8', 20000);
  await waitForWindow('Form7');

  const splash = await box(client('Form7'));
  const water = await box(client('Form8'));
  const battle = await shot({ x: splash.x, y: splash.y, width: 436, height: water.y + water.height - splash.y });
  assert.deepEqual([battle.width, battle.height], [436, 97 + 22 + 276]);
  assert.deepEqual(battle.at(20, 20), PALE_CYAN);
  assert.deepEqual(battle.at(5, 119 + 5), CYAN);
  assert.deepEqual(battle.at(20, 119 + 230), GREY); // the bottom strip
  assert.equal(await page.evaluate(() => document.activeElement.closest('.window')?.dataset.form), 'Form8');

  await page.keyboard.down('Shift');
  await sleep(700);
  await page.keyboard.up('Shift');
  await englishFits(); // the splash and the battle
  await page.keyboard.press('F1');
  await page.waitForSelector('#help .help-body h1');
  assert.equal(await page.$eval('#help', (e) => e.dataset.page), 'mogumo_help_en.html');
  // At the section on the battle being played.
  await page.waitForFunction(() => {
    const body = document.querySelector('#help .help-body');
    const at = body.querySelector('[id="battle"]');
    return at && Math.abs(at.getBoundingClientRect().top - body.getBoundingClientRect().top) < 2;
  }, { timeout: 3000 });
  await page.keyboard.press('Escape');
  assert.equal(await page.$('#help'), null);
  await page.click('#open-help'); // the same help from the bar, unrecorded
  await page.waitForSelector('#help .help-body h1');
  await page.keyboard.press('Escape');

  // The record, saved as a download, replays to the very same states.
  await page.click('#save-record');
  let file;
  for (let i = 0; i < 100 && !file; ++i) {
    file = readdirSync(downloads).find((f) => f.endsWith('.txt'));
    if (!file) await sleep(100);
  }
  assert.ok(file, 'the record was downloaded');
  const record = readFileSync(join(downloads, file), 'utf8');
  for (const line of ['click Form1.Command1', 'click Form3.Command1(1)', 'click Form5.cast', 'keydown Form6 16',
    'keyup Form6 16', 'keydown Form6 75', 'keydown Form8 16', 'keydown Form8 112'])
    assert.ok(record.split('\n').includes(line), line);
  assert.equal(record.split('\n').filter((l) => l === 'click Form5.cast').length, 1);
  assert.ok(record.split('\n').some((l) => /^wait \d+$/.test(l)), 'the stall is a wait');
  const path = join(downloads, 'record.txt');
  writeFileSync(path, record);
  const replay = runSim('native', [path]);
  assert.equal(replay.status, 0, replay.stderr);
  assert.deepEqual(replay.stdout.trimEnd().split('\n'), recordedStates(record));

  // The close box ends the game; the page offers a new one.
  await page.click('.window[data-form="Form8"] .closebox');
  await page.waitForSelector('#notice', { visible: true });
  assert.equal(await page.$eval('#notice-text', (e) => e.textContent), 'The game is over.');

  // Remembered for the next visit.
  await page.reload({ waitUntil: 'load' });
  await page.evaluate(() => window.mogumo.ready);
  await waitForWindow('Form1');
  assert.equal(await page.$eval('.window[data-form="Form1"] .caption', (e) => e.textContent), 'Title (F1 for help)');
  await englishFits();
  await page.click('.window[data-form="Form1"] .closebox');
  await page.waitForSelector('#notice', { visible: true });
  await page.click('#notice-new-game');
  await waitForWindow('Form1');

  // A second game by keyboard where the focus allows: Return on GAME START
  // and on the cast button, End to give up, the results, and back.
  await page.keyboard.press('Enter');
  await waitForWindow('Form3');
  await englishFits();
  await page.click(control('Form3', 'Command2'));
  await waitForWindow('Form5');
  await page.keyboard.press('Enter');
  await waitForWindow('Form6');
  await page.keyboard.press('End');
  await waitForWindow('Form4', 8000);
  const results = await page.$eval(control('Form4', 'Text1'), (e) => e.value);
  assert.match(results, /^Fish /);
  await englishFits();
  await page.click(control('Form4', 'Command1'));
  await waitForWindow('Form1');
  // 日本語 brings back today's texts.
  await page.click('#language [data-lang="ja"]');
  assert.equal(await page.$eval('.window[data-form="Form1"] .caption', (e) => e.textContent),
    'タイトル(ヘルプは Ｆ１ ででるよ)');
  assert.equal(await page.$eval('#new-game', (e) => e.textContent), '新しいゲーム');
  assert.equal((await dump()).state.SecretPoints, 2);

  // At 200 %: the same window, every pixel of it twice as fine.
  await page.setViewport({ width: 600, height: 520, deviceScaleFactor: 2 });
  const fine = await shot(await box(client('Form1')));
  assert.deepEqual([fine.width, fine.height], [978, 612]);
  assert.deepEqual(fine.at(10, 10), [184, 244, 252]);
  await page.setViewport({ width: 600, height: 520 });
});

test('a recorded game plays back in the page; a bad, empty or binary one is refused in one line', { skip }, async () => {
  const dir = mkdtempSync(join(tmpdir(), 'mogumo-replay-'));
  const good = join(dir, 'good.txt');
  const bad = join(dir, 'bad.txt');
  writeFileSync(good, 'click Form1.Command1\nrun 400\nclick Form3.Command2\nrun 300\n');
  writeFileSync(bad, `click Form1.Command1\nclick Form3.${'X'.repeat(150)}\n`);
  // Word for word what mogumo-sim (and mogumo --replay) say of the bad one.
  const refused = runSim('native', [bad]).stderr.trim();
  assert.equal(refused, `line 2: no control Form3.${'X'.repeat(150)}`);
  const input = await page.$('#load-record');
  const barHeight = await page.$eval('#bar', (e) => e.offsetHeight);
  for (const [name, bytes, said] of [
    ['bad.txt', null, '記録を再生できません: ' + refused],
    ['empty.txt', Buffer.alloc(0), '記録のファイルが空です。 (empty.txt)'],
    ['random.bin', Buffer.from(Array.from({ length: 600 }, (_, i) => (i * 7919) % 256)), '記録のファイルはテキストではありません。 (random.bin)'],
  ]) {
    if (bytes) writeFileSync(join(dir, name), bytes);
    await page.click('#new-game');
    if (await page.$eval('#confirm', (e) => !e.hidden)) await page.click('#confirm-yes');
    await input.uploadFile(join(dir, name));
    await page.waitForFunction((s) => document.getElementById('status').textContent === s, {}, said);
    // One line, the bar as high as ever; at a new game's title, not watching.
    assert.equal(await page.$eval('#bar', (e) => e.offsetHeight), barHeight, name);
    await waitForWindow('Form1');
    await page.click(control('Form1', 'Command1'));
    await waitForWindow('Form3');
  }
  await input.uploadFile(good);
  await page.waitForFunction(() => document.getElementById('status').textContent === '再生が終わりました',
    { timeout: 10000 });
  const expected = runSim('native', [], readFileSync(good, 'utf8') + 'dump\n').stdout.trim();
  assert.equal(await page.evaluate(() => window.mogumo.dump()), expected);
  // Watching, the page's clicks do not reach the game.
  await page.click(control('Form5', 'cast'));
  assert.equal(await page.evaluate(() => window.mogumo.dump()), expected);
  rmSync(dir, { recursive: true, force: true });
});

// Plays the battle as a player would: Shift held while the fish rests, let
// go while it fights, until it is landed.
async function landAFish() {
  await page.keyboard.press('k');
  await waitForWindow('Form8', 20000);
  let holding = false;
  for (let i = 0; i < 1500; ++i) {
    const d = await dump();
    if (d.state.CatchTotals[0] > 0) break;
    const rests = (d.screens.Form8?.vars.FishRest ?? -1) >= 0;
    if (rests !== holding) await (rests ? page.keyboard.down('Shift') : page.keyboard.up('Shift'));
    holding = rests;
    await sleep(40);
  }
  if (holding) await page.keyboard.up('Shift');
  return dump();
}

test('the catch book: a landing kept in the storage, shown on F2, exported, imported; troubles said', { skip }, async () => {
  const BOOK = 'mogumo.catchBook';
  const stored = () => page.evaluate((k) => localStorage.getItem(k), BOOK);
  await page.evaluate((k) => localStorage.removeItem(k), BOOK);
  await page.click('#new-game');
  await waitForWindow('Form1');
  await page.click(control('Form1', 'Command1'));
  await page.click(control('Form3', 'Command2'));
  await sleep(400);
  await page.click(control('Form5', 'cast'));
  await waitForWindow('Form6');
  const landed = await landAFish();
  assert.equal(landed.state.CatchTotals[0], 1, 'a fish was landed');
  const species = landed.state.SpeciesIndex;
  await page.waitForFunction((k) => localStorage.getItem(k) !== null, {}, BOOK);
  const today = await page.evaluate(() => new Date().toLocaleDateString('sv')); // YYYY-MM-DD
  const book = JSON.parse(await stored());
  assert.deepEqual([book.games, book.landed], [0, 1]);
  const fish = { weight: landed.state.FishWeight, length: landed.state.FishLength, spot: '池', date: today };
  assert.deepEqual(book.species[species], { name: landed.state.FishName, landed: 1, heaviest: fish, longest: fish, first: today });

  // F2 opens the book over the game, and is never the game's key.
  await page.keyboard.press('F2');
  await page.waitForSelector('#book .book-row');
  const rows = await page.$$eval('#book .book-row .name', (es) => es.map((e) => e.textContent));
  assert.equal(rows.length, 41);
  assert.equal(rows[species], `${landed.state.FishName} ×1`);
  assert.equal(rows.filter((r) => r === '？？？').length, 40);
  assert.match(await page.$eval('#book .book-totals', (e) => e.textContent), /釣った魚: 1匹/);
  assert.doesNotMatch(await page.evaluate(() => window.mogumo.record()), /^key\w+ \w+ 113$/m, 'F2 is not recorded');

  // A second tab shows the same book, and follows what the first stores.
  const other = await browser.newPage();
  await other.goto(server.url, { waitUntil: 'load' });
  await other.evaluate(() => window.mogumo.ready);
  await other.click('#open-book');
  await other.waitForSelector(`#book .book-row[data-species="${species}"] img[src]`);
  await page.bringToFront();

  // Exported, the book comes back the same when imported; a file that is
  // not a book is refused with its reason and changes nothing.
  await page.click('#book .book-export');
  let file;
  for (let i = 0; i < 100 && !file; ++i) {
    if (readdirSync(downloads).includes('mogumo-catch-book.json')) file = join(downloads, 'mogumo-catch-book.json');
    else await sleep(100);
  }
  const exported = readFileSync(file, 'utf8');
  assert.equal(exported, await stored());
  const bad = join(downloads, 'bad.json');
  writeFileSync(bad, '{"version": 1, "games"');
  const importer = await page.$('#book .book-import input');
  await importer.uploadFile(bad);
  await page.waitForFunction(() => document.querySelector('#book .book-said').textContent.startsWith('この釣果帳は読み込めません: '));
  assert.equal(await stored(), exported);
  await page.evaluate((k) => localStorage.setItem(k, '{"version": 1, "games": 0, "landed": 0, "species": []}\n'), BOOK);
  await importer.uploadFile(file);
  await page.waitForFunction(() => document.querySelector('#book .book-said').textContent === '釣果帳を読み込みました。');
  assert.equal(await stored(), exported);
  await page.keyboard.press('F2');
  assert.equal(await page.$('#book'), null);

  // A stored text that is not a book is kept aside and said; the finished
  // game starts a new book.
  await page.evaluate((k) => localStorage.setItem(k, 'not a book'), BOOK);
  await page.waitForSelector(client('Form8'), { hidden: true, timeout: 8000 }); // back to a fresh cast screen
  await sleep(300);
  await page.click(control('Form5', 'cast'));
  await waitForWindow('Form6');
  await page.keyboard.press('End');
  await waitForWindow('Form4', 8000);
  await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('釣果帳を読めませんでした。'));
  const aside = await page.evaluate((k) => Object.keys(localStorage).filter((n) => n.startsWith(k + '.unreadable-'))
    .map((n) => localStorage.getItem(n)), BOOK);
  assert.deepEqual(aside, ['not a book']);
  assert.deepEqual([JSON.parse(await stored()).games, JSON.parse(await stored()).landed], [1, 0]);

  // A storage that refuses is said; the game goes on and the finished game
  // waits to be stored at the next try.
  await page.evaluate(() => {
    window.realSetItem = Storage.prototype.setItem;
    Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
  });
  await page.click(control('Form4', 'Command1'));
  // The results of a game that landed a new species are followed by the
  // book, that species' row marked.
  await page.waitForSelector('#book .book-row.news');
  assert.deepEqual(await page.$$eval('#book .book-row.news', (es) => es.map((e) => Number(e.dataset.species))), [species]);
  await page.keyboard.press('F2');
  await waitForWindow('Form1');
  await page.click(control('Form1', 'Command1'));
  await waitForWindow('Form3');
  await page.click(control('Form3', 'Command2'));
  await waitForWindow('Form5');
  await sleep(300);
  await page.click(control('Form5', 'cast'));
  await waitForWindow('Form6');
  await page.keyboard.press('End');
  await waitForWindow('Form4', 8000);
  await page.waitForFunction(() => document.getElementById('status').textContent ===
    '釣果帳を保存できません。ゲームは続きます。 (QuotaExceededError)');
  assert.equal(await page.evaluate(() => window.mogumo.bookPending()), 1);
  await page.evaluate(() => { Storage.prototype.setItem = window.realSetItem; });
  await page.keyboard.press('F2');
  assert.equal(JSON.parse(await stored()).games, 2);
  assert.equal(await page.evaluate(() => window.mogumo.bookPending()), 0);
  await other.waitForFunction(() => /(回数|Games): 2/.test(document.querySelector('#book .book-totals').textContent));
  await other.close();
  await page.keyboard.press('F2');
});

test('the page fetched nothing from outside its own origin', { skip }, () => {
  assert.ok(requests.length > 10);
  const foreign = requests.filter((u) => !u.startsWith(server.url) && !u.startsWith('data:') && !u.startsWith('blob:'));
  assert.deepEqual(foreign, []);
});

// A page of its own in a fresh profile (no service worker, no storage).
async function freshPage(viewport, url = server.url) {
  const context = await browser.createBrowserContext();
  const p = await context.newPage();
  const errors = [];
  p.on('pageerror', (e) => errors.push(e.message));
  if (viewport) await p.setViewport(viewport);
  return { p, errors, context, open: () => p.goto(url, { waitUntil: 'load' }) };
}

test('the desktop fills any screen, centred, its pictures sharp; on a phone small buttons take taps around them', { skip }, async () => {
  const phone = { hasTouch: true, isMobile: true, deviceScaleFactor: 2 };
  for (const viewport of [{ width: 1366, height: 768 }, { width: 1920, height: 1080 },
    { width: 390, height: 844, ...phone }, { width: 844, height: 390, ...phone }]) {
    const { p, context, open } = await freshPage(viewport);
    await open();
    await p.evaluate(() => window.mogumo.ready);
    const fit = await p.evaluate(() => {
      const d = document.getElementById('desktop').getBoundingClientRect();
      const s = document.getElementById('stage').getBoundingClientRect();
      return { across: d.width / s.width, down: d.height / s.height, left: d.left - s.left, right: s.right - d.right,
        top: d.top - s.top, bottom: s.bottom - d.bottom };
    });
    const name = `${viewport.width}×${viewport.height}`;
    assert.ok(Math.max(fit.across, fit.down) > 0.99 && Math.max(fit.across, fit.down) <= 1.001, name);
    assert.ok(Math.abs(fit.left - fit.right) < 1.5 && Math.abs(fit.top - fit.bottom) < 1.5, name);
    // Sharp: a corner of the title art holds only the picture's own colours,
    // none blended at its edges.
    const art = await (await p.$(`${client('Form1')} .image img`)).boundingBox();
    const corner = await shot({ x: art.x + art.width * 0.05, y: art.y + art.height * 0.25, width: 60, height: 60 }, p);
    const colours = new Set(Array.from({ length: corner.pixels.length / 4 },
      (_, i) => corner.pixels.slice(i * 4, i * 4 + 3).join())).size;
    assert.ok(colours <= 12, `${name}: ${colours} colours`);
    if (viewport.hasTouch) {
      const areas = await p.$$eval('#hits > div', (ds) => ds.map((d) => d.getBoundingClientRect().toJSON()));
      const close = await (await p.$('.window[data-form="Form1"] .closebox')).boundingBox();
      const around = areas.find((a) => a.left <= close.x && a.right >= close.x + close.width && a.top <= close.y);
      assert.ok(around && around.width > 43.9 && around.height > 43.9, name);
      for (const a of areas) for (const b of areas) {
        if (a !== b) assert.ok(a.right <= b.left + 0.01 || b.right <= a.left + 0.01 || a.bottom <= b.top + 0.01 || b.bottom <= a.top + 0.01, name);
      }
    }
    await context.close();
  }
});

test('a sign of life while loading, the bar waiting; words when the game cannot start', { skip }, async () => {
  const { p, errors, context, open } = await freshPage();
  await p.setRequestInterception(true);
  let release;
  const held = new Promise((ok) => { release = ok; });
  p.on('request', (r) => (r.url().endsWith('game.wasm') ? held.then(() => r.continue()) : r.continue()));
  const opened = open();
  await p.waitForSelector('#loading .spinner', { visible: true });
  assert.equal(await p.$eval('#new-game', (e) => e.disabled), true);
  await p.$eval('#new-game', (e) => { e.disabled = false; e.click(); }); // clicked as early as can be
  release();
  await opened;
  await p.evaluate(() => window.mogumo.ready);
  await p.waitForSelector('#loading', { hidden: true });
  assert.equal(await p.$eval('#new-game', (e) => e.disabled), false);
  assert.deepEqual(errors, []);
  await context.close();

  for (const [how, said] of [['file', /scripts\/web/], ['game.wasm', /game\.wasm/], ['game.js', /game\.js/]]) {
    const url = how === 'file' ? `file://${join(site, 'index.html')}` : server.url;
    const fresh = await freshPage(null, url);
    await fresh.p.setRequestInterception(true);
    fresh.p.on('request', (r) => (r.url().endsWith('/' + how) ? r.respond({ status: 404 }) : r.continue()));
    await fresh.open();
    await fresh.p.evaluate(() => window.mogumo.ready);
    assert.match(await fresh.p.$eval('#loading.failed p', (e) => e.textContent), said, how);
    await fresh.context.close();
  }
});

test('installable: the browser reads the manifest; once opened, the game starts with the network off', { skip }, async () => {
  const own = await serveSite();
  const { p, context, open } = await freshPage(null, own.url);
  await open();
  const cdp = await p.createCDPSession();
  const manifest = await cdp.send('Page.getAppManifest');
  assert.deepEqual(manifest.errors, []);
  assert.equal(JSON.parse(manifest.data).icons.at(-1).sizes, '256x256');
  await p.evaluate(() => navigator.serviceWorker.ready);
  await own.close();
  await p.reload({ waitUntil: 'load' });
  await p.evaluate(() => window.mogumo.ready);
  await p.waitForSelector(`${client('Form1')} .image img`, { visible: true });
  assert.equal(await p.$eval(`${client('Form1')} .image img`, (e) => e.naturalWidth > 0), true);
  await context.close();
});
