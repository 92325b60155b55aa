// The page of the game in the browser: the desktop with a window for every
// shown screen, kept in line with the game's controls after every event; the
// keys, the mouse and the on-screen keys; the game clock's wakes; help,
// record and replay; the catch book in the browser's local storage; the
// loading and what stops it. The game itself runs in game.wasm (web_game.cpp).
'use strict';

(() => {
  const TITLE_PX = 20; // a window's title bar
  const FRAME_PX = 1; // its border on each side
  const BUTTON_FACE = 0xf0f0f0;

  // The layouts' own fonts first, then what Linux, macOS and Windows have.
  const FONT_STACKS = {
    'ＭＳ Ｐゴシック': ['ＭＳ Ｐゴシック', 'MS PGothic', 'IPAPGothic', 'IPAPゴシック', 'Noto Sans CJK JP',
      'Hiragino Kaku Gothic ProN', 'Hiragino Sans', 'Yu Gothic', 'YuGothic', 'sans-serif'],
    'ＭＳ ゴシック': ['ＭＳ ゴシック', 'MS Gothic', 'IPAGothic', 'IPAゴシック', 'Noto Sans Mono CJK JP',
      'Noto Sans CJK JP', 'Hiragino Kaku Gothic ProN', 'Osaka-Mono', 'Yu Gothic', 'monospace'],
    'ＭＳ Ｐ明朝': ['ＭＳ Ｐ明朝', 'MS PMincho', 'IPAPMincho', 'IPAP明朝', 'Noto Serif CJK JP',
      'Hiragino Mincho ProN', 'Yu Mincho', 'YuMincho', 'serif'],
  };
  const DEFAULT_FONT = { family: 'ＭＳ Ｐゴシック', points: 9, bold: false, underline: false };

  const $ = (id) => document.getElementById(id);
  const desktop = $('desktop');
  const stage = $('stage');
  const status = $('status');

  let api = null;
  // What the game says of itself (see factsJson): its screens as laid out,
  // the keys its windows pass on and those a focused control keeps.
  let facts = null;
  let layouts = [];
  let gameKeys = new Set();
  let F1 = -1;
  let F2 = -1; // the catch book: the page's own key, never the game's
  let keyForm = -1; // the screen that has the keyboard
  let desk = { x: 0, y: 0, width: 0, height: 0 };
  const windows = new Map(); // form -> the window of the shown screen
  let timer = null;
  let helpSeen = 0;
  let help = null;
  let book = null; // the catch book's window while open
  let bookNews = null; // what the last game brought to the book, marked while it is open
  let newsWaiting = false; // the module holds news for once the results are put away
  let ended = false;
  let helpSection = 'contents'; // where the help opens for the screen being played
  let replaying = false;
  let atStart = true; // nothing of a game under way yet: only its first screen shown
  // What the bar's status says, in Japanese as written, and what follows it.
  let statusText = ['', ''];

  // --- language ----------------------------------------------------------------

  // The language the page shows the game in: the one chosen last on this
  // browser, else Japanese for a browser that puts Japanese first, English
  // otherwise. The game itself always plays in Japanese.
  const LANGUAGE_KEY = 'mogumo.language';
  const storage = {
    get() {
      try { return localStorage.getItem(LANGUAGE_KEY); } catch (e) { return null; }
    },
    set(value) {
      try { localStorage.setItem(LANGUAGE_KEY, value); } catch (e) { /* not kept: the choice holds until the page goes */ }
    },
  };
  const browserLanguage = () => (/^ja\b/i.test((navigator.languages || [navigator.language])[0] || '') ? 'ja' : 'en');
  let language = ['ja', 'en'].includes(storage.get()) ? storage.get() : browserLanguage();
  // One of the page's own texts, written in Japanese, in the player's language.
  const t = (japanese) => (language === 'ja' || !api ? japanese : api.text(japanese));
  // What the page says while the game is not there, so without its table.
  const early = (japanese, english) => (language === 'ja' ? japanese : english);

  const now = () => performance.now();
  const colour = (c) => '#' + [c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff]
    .map((v) => v.toString(16).padStart(2, '0')).join('');
  const fontCss = (f) => {
    const stack = (FONT_STACKS[f.family] || [f.family, ...FONT_STACKS['ＭＳ Ｐゴシック']])
      .map((n) => (/^[a-z-]+$/.test(n) ? n : `"${n}"`)).join(', ');
    return `${f.bold ? 'bold ' : ''}${f.points}pt ${stack}`;
  };
  const text = (s) => s.replace(/\r\n/g, '\n');

  // --- the game module -------------------------------------------------------

  // Why the game cannot start here, in words, or '' when it may.
  function cannotStart() {
    if (location.protocol === 'file:')
      return early('このページはファイルから開かれたため、ゲームを始められません。ウェブサーバーを通して開いてください (scripts/web)。',
        'Opened from a file, the game cannot start: open it through a web server (scripts/web).');
    if (typeof WebAssembly !== 'object')
      return early('このブラウザーは WebAssembly に対応していないため、ゲームを始められません。',
        'This browser does not run WebAssembly, so the game cannot start.');
    return '';
  }

  // The first of the game's files that the server does not have.
  async function missingFile() {
    for (const name of ['game.js', 'game.wasm']) {
      try {
        if (!(await fetch(name, { method: 'HEAD', cache: 'no-store' })).ok) return name;
      } catch (e) {
        return name;
      }
    }
    return '';
  }

  async function load() {
    const why = cannotStart();
    if (why) throw new Error(why);
    let module;
    try {
      if (typeof createMogumo !== 'function') throw new Error('game.js');
      module = await createMogumo();
    } catch (e) {
      const name = await missingFile();
      if (name) throw new Error(early(`ファイル ${name} が見つからないため、ゲームを始められません。`, `The file ${name} is missing, so the game cannot start.`));
      throw new Error(early(`ゲームを始められません: ${e.message || e}`, `The game cannot start: ${e.message || e}`));
    }
    const fn = (name, ret, args) => module.cwrap(name, ret, args);
    const newGame = fn('mogumo_new_game', 'number', ['number', 'number']);
    // Scripts and books may be large: they go through the heap, not the stack.
    const withText = (f) => (text) => {
      const size = module.lengthBytesUTF8(text) + 1;
      const ptr = module._malloc(size);
      module.stringToUTF8(text, ptr, size);
      try { return f(ptr); } finally { module._free(ptr); }
    };
    api = {
      newGame: withText((ptr) => newGame(now(), ptr)),
      error: fn('mogumo_error', 'string', []),
      advance: fn('mogumo_advance', null, ['number']),
      nextWake: fn('mogumo_next_wake', 'number', []),
      click: fn('mogumo_click', 'number', ['number', 'string', 'number', 'number']),
      key: fn('mogumo_key', 'number', ['number', 'number', 'number', 'number']),
      close: fn('mogumo_close', 'number', ['number', 'number']),
      releaseKeys: fn('mogumo_release_keys', null, ['number']),
      view: fn('mogumo_view', 'string', []),
      facts: fn('mogumo_facts', 'string', []),
      record: fn('mogumo_record', 'string', ['number']),
      dump: fn('mogumo_dump', 'string', []),
      setLanguage: fn('mogumo_set_language', null, ['number']),
      text: fn('mogumo_text', 'string', ['string']),
      setToday: fn('mogumo_set_today', 'number', ['string']),
      bookPending: fn('mogumo_book_pending', 'number', []),
      bookUpdate: withText(fn('mogumo_book_update', 'string', ['number'])),
      bookSaved: fn('mogumo_book_saved', 'number', []),
      bookError: fn('mogumo_book_error', 'string', []),
      bookRead: withText(fn('mogumo_book_read', 'string', ['number'])),
      bookView: withText(fn('mogumo_book_view', 'string', ['number'])),
      bookNews: fn('mogumo_book_news', 'string', []),
    };
    api.setLanguage(language === 'en' ? 1 : 0);
    facts = JSON.parse(api.facts());
    layouts = facts.screens;
    gameKeys = new Set(facts.keys);
    F1 = facts.f1;
    F2 = facts.f2;
    placeDesk();
  }

  // --- the desktop -----------------------------------------------------------

  // A screen's client area on the desktop: as laid out, but the lower window
  // of a stacked pair right under the upper window's frame.
  function clientRect(form) {
    const l = layouts[form];
    const r = { left: l.left, top: l.top, width: l.width, height: l.height };
    if (l.upper >= 0) {
      const u = clientRect(l.upper);
      r.top = u.top + u.height + FRAME_PX + FRAME_PX + TITLE_PX;
    }
    return r;
  }

  function placeDesk() {
    let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
    for (const l of layouts) {
      if (!l.shown) continue;
      const r = clientRect(l.form);
      x0 = Math.min(x0, r.left - FRAME_PX);
      y0 = Math.min(y0, r.top - TITLE_PX - FRAME_PX);
      x1 = Math.max(x1, r.left + r.width + FRAME_PX);
      y1 = Math.max(y1, r.top + r.height + FRAME_PX);
    }
    const margin = 12;
    desk = { x: x0 - margin, y: y0 - margin, width: x1 - x0 + 2 * margin, height: y1 - y0 + 2 * margin };
    desktop.style.width = desk.width + 'px';
    desktop.style.height = desk.height + 'px';
    fitDesk();
  }

  // The whole desktop scaled to fill the browser window's room, centred: a
  // whole number of pixels to a picture's pixel when that loses little room.
  let scale = 1;
  function fitDesk() {
    const room = Math.min(stage.clientWidth / desk.width, stage.clientHeight / desk.height);
    scale = room >= 1 && Math.floor(room) / room >= 0.9 ? Math.floor(room) : room;
    const x = Math.max(0, Math.floor((stage.clientWidth - desk.width * scale) / 2));
    const y = Math.max(0, Math.floor((stage.clientHeight - desk.height * scale) / 2));
    desktop.style.transform = `translate(${x}px, ${y}px) scale(${scale})`;
    placeHits();
  }

  // On touch screens every button and close box takes taps over at least
  // 44 CSS pixels each way, around it where no other one's area lies.
  const coarse = matchMedia('(pointer: coarse)');
  const hits = makeElement('div', '', desktop);
  hits.id = 'hits';
  function placeHits() {
    hits.replaceChildren();
    if (!coarse.matches || !windows.size) return;
    const origin = desktop.getBoundingClientRect();
    const live = (b) => b.offsetParent && !b.disabled && !b.inert && !b.closest('.window.disabled');
    const targets = [...desktop.querySelectorAll('.window button')].filter(live).map((b) => {
      const r = b.getBoundingClientRect();
      const drawn = { l: (r.left - origin.left) / scale, t: (r.top - origin.top) / scale,
        r: (r.right - origin.left) / scale, b: (r.bottom - origin.top) / scale };
      const grow = (lo, hi) => Math.max(0, (44 / scale - (hi - lo)) / 2);
      const gx = grow(drawn.l, drawn.r), gy = grow(drawn.t, drawn.b);
      return { b, drawn, hit: { l: drawn.l - gx, t: drawn.t - gy, r: drawn.r + gx, b: drawn.b + gy } };
    });
    // Two areas that meet are cut apart halfway between their buttons.
    targets.forEach((p, i) => targets.slice(i + 1).forEach((q) => {
      const [a, b] = [p.hit, q.hit];
      if (a.l >= b.r || b.l >= a.r || a.t >= b.b || b.t >= a.b) return;
      const gapX = Math.max(q.drawn.l - p.drawn.r, p.drawn.l - q.drawn.r);
      const gapY = Math.max(q.drawn.t - p.drawn.b, p.drawn.t - q.drawn.b);
      const [lo, hi, from, to] = gapX >= gapY ? ['l', 'r', 'l', 'r'] : ['t', 'b', 't', 'b'];
      const [first, second] = p.drawn[lo] <= q.drawn[lo] ? [p, q] : [q, p];
      const mid = (first.drawn[hi] + second.drawn[from]) / 2;
      first.hit[to] = Math.min(first.hit[to], mid);
      second.hit[from] = Math.max(second.hit[from], mid);
    }));
    // Each area has a hole where its button is: there the button takes the tap itself.
    for (const { b, drawn: d, hit: h } of targets) {
      const area = makeElement('div', '', hits);
      const [x0, y0, x1, y1] = [d.l - h.l, d.t - h.t, d.r - h.l, d.b - h.t];
      area.style.cssText = `left:${h.l}px;top:${h.t}px;width:${h.r - h.l}px;height:${h.b - h.t}px;` +
        `clip-path:polygon(evenodd,0 0,100% 0,100% 100%,0 100%,0 0,${x0}px ${y0}px,${x0}px ${y1}px,${x1}px ${y1}px,${x1}px ${y0}px,${x0}px ${y0}px)`;
      area.addEventListener('click', () => b.click());
    }
  }
  let hitsStale = false;

  // --- windows ---------------------------------------------------------------

  function makeElement(tag, className, parent) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (parent) parent.appendChild(e);
    return e;
  }

  const SVG = 'http://www.w3.org/2000/svg';

  function createControl(win, c, i, parent) {
    const lay = win.layout;
    const font = c.font || lay.font || DEFAULT_FONT;
    let e = null;
    switch (c.kind) {
      case 'label':
        e = makeElement('div', 'label', parent);
        if (c.border) e.classList.add('bordered');
        e.style.color = colour(c.fore ?? 0);
        if (!c.transparent) e.style.background = colour(c.back ?? BUTTON_FACE);
        e.style.textAlign = c.centred ? 'center' : 'left';
        e.style.font = fontCss(font);
        if (font.underline) e.style.textDecoration = 'underline';
        break;
      case 'image': {
        e = makeElement('div', 'image', parent);
        if (c.border) e.classList.add('bordered');
        if (c.stretch) e.classList.add('stretched');
        const img = makeElement('img', '', e);
        img.alt = '';
        img.draggable = false;
        e.img = img;
        break;
      }
      case 'shape':
        e = makeElement('div', 'shape', parent);
        if (c.fill !== null) e.style.background = colour(c.fill);
        e.style.borderColor = colour(c.edge ?? 0);
        break;
      case 'line': {
        e = document.createElementNS(SVG, 'svg');
        e.setAttribute('class', 'line');
        e.setAttribute('width', lay.width);
        e.setAttribute('height', lay.height);
        const line = document.createElementNS(SVG, 'line');
        line.setAttribute('stroke', colour(c.edge ?? 0));
        line.setAttribute('stroke-width', Math.max(1, c.lineWidth));
        line.setAttribute('shape-rendering', 'crispEdges');
        e.appendChild(line);
        e.line = line;
        parent.appendChild(e);
        break;
      }
      case 'button':
        e = makeElement('button', 'control', parent);
        e.type = 'button';
        e.face = makeElement('span', '', e); // the caption, which the focus mark goes round
        e.style.font = fontCss(font);
        if (c.arrow) e.style.cursor = 'default';
        e.addEventListener('click', () => {
          if (win.form !== undefined) input(() => api.click(win.form, c.name, c.index, now()));
        });
        break;
      case 'textbox':
        if (!c.enabled) {
          // A disabled box only shows what the game writes, often every
          // step: plain text is cheaper to redo than a text area.
          e = makeElement('div', 'status-box', parent);
          e.style.font = fontCss(font);
          if (!c.multiLine) e.style.whiteSpace = 'pre';
          break;
        }
        e = makeElement('textarea', 'control', parent);
        e.readOnly = true;
        e.spellcheck = false;
        e.style.font = fontCss(font);
        if (c.scrollBar) e.classList.add('scroll');
        if (!c.multiLine) e.style.whiteSpace = 'pre';
        break;
      case 'picturebox':
        e = makeElement('div', 'picturebox', parent);
        e.style.background = colour(c.back ?? 0xffffff);
        break;
      case 'progressbar':
        e = makeElement('div', 'progress', parent);
        e.fill = makeElement('div', '', e);
        break;
      default:
        return null;
    }
    e.dataset.control = c.key;
    const focusable = (c.kind === 'button' || c.kind === 'textbox') && c.tabOrder >= 0 && !lay.keysDrivePlay;
    if (c.kind === 'button' || (c.kind === 'textbox' && c.enabled)) e.tabIndex = focusable ? c.tabOrder + 1 : -1;
    return e;
  }

  function createWindow(form, instance) {
    const lay = layouts[form];
    const r = clientRect(form);
    const el = makeElement('div', 'window', desktop);
    el.dataset.form = lay.name;
    el.style.left = (r.left - FRAME_PX - desk.x) + 'px';
    el.style.top = (r.top - TITLE_PX - FRAME_PX - desk.y) + 'px';
    const bar = makeElement('div', 'titlebar', el);
    if (lay.icon) {
      const icon = makeElement('img', '', bar);
      icon.src = `pictures/${lay.icon}.png`;
      icon.alt = '';
    }
    const caption = makeElement('span', 'caption', bar);
    caption.textContent = lay.caption;
    const closeBox = makeElement('button', 'closebox', bar);
    closeBox.type = 'button';
    closeBox.tabIndex = -1;
    closeBox.title = t('閉じる');
    closeBox.textContent = '×';
    const client = makeElement('div', 'client', el);
    client.style.width = lay.width + 'px';
    client.style.height = lay.height + 'px';
    client.style.background = colour(lay.background ?? BUTTON_FACE);
    client.style.font = fontCss(lay.font || DEFAULT_FONT);
    client.tabIndex = -1;
    const win = { form, instance, layout: lay, el, client, caption, closeBox, controls: [], last: [], drawings: null, drawn: 0 };
    closeBox.addEventListener('click', () => input(() => api.close(form, now())));
    closeBox.addEventListener('mousedown', (e) => e.preventDefault());

    // Windowless controls from the back, what the screen draws over them,
    // then the child windows from the back: the front-most lies on top.
    const cs = lay.controls;
    const windowless = (k) => k === 'label' || k === 'image' || k === 'shape' || k === 'line';
    for (let i = cs.length - 1; i >= 0; --i) {
      if (windowless(cs[i].kind) && !cs[i].container) win.controls[i] = createControl(win, cs[i], i, client);
    }
    win.drawings = document.createElementNS(SVG, 'svg');
    win.drawings.setAttribute('class', 'drawings');
    win.drawings.setAttribute('width', lay.width);
    win.drawings.setAttribute('height', lay.height);
    client.appendChild(win.drawings);
    for (let i = cs.length - 1; i >= 0; --i) {
      if (!windowless(cs[i].kind) && cs[i].kind !== 'timer' && !cs[i].container)
        win.controls[i] = createControl(win, cs[i], i, client);
    }
    // Controls inside a picture box, placed relative to it.
    for (let i = cs.length - 1; i >= 0; --i) {
      if (!cs[i].container) continue;
      const box = cs.findIndex((b) => b.name === cs[i].container);
      if (box >= 0 && win.controls[box]) win.controls[i] = createControl(win, cs[i], i, win.controls[box]);
    }
    return win;
  }

  function same(a, b) {
    return a !== undefined && a === b;
  }

  // Brings one control in line with the game.
  function syncControl(win, i, v) {
    const c = win.layout.controls[i];
    const e = win.controls[i];
    if (!e) return;
    const old = win.last[i] || [];
    // Hidden then and now: nothing of it is drawn, so nothing is written
    // (what moved is written when it shows again).
    if (old[4] === false && v[4] === false && c.kind !== 'line') return;
    win.last[i] = v;
    if (c.kind === 'line') {
      if (!same(old[0], v[0]) || !same(old[1], v[1]) || !same(old[2], v[2]) || !same(old[3], v[3])) {
        e.line.setAttribute('x1', v[0]);
        e.line.setAttribute('y1', v[1]);
        e.line.setAttribute('x2', v[2]);
        e.line.setAttribute('y2', v[3]);
      }
      if (!same(old[4], v[4])) e.style.display = v[4] ? '' : 'none';
      return;
    }
    const [x, y, w, h, visible, enabled, caption, picture, min, max, value] = v;
    if (c.kind === 'button' && !(same(old[0], x) && same(old[1], y) && same(old[2], w) && same(old[3], h) &&
      same(old[4], visible) && same(old[5], enabled))) hitsStale = true;
    if (!same(old[0], x)) e.style.left = x + 'px';
    if (!same(old[1], y)) e.style.top = y + 'px';
    if (!same(old[2], w)) e.style.width = Math.max(0, w) + 'px';
    if (!same(old[3], h)) e.style.height = Math.max(0, h) + 'px';
    if (!same(old[4], visible)) e.style.display = visible ? '' : 'none';
    switch (c.kind) {
      case 'label':
        if (!same(old[6], caption)) {
          const t = text(caption);
          e.textContent = t;
          // A caption of one word stays on its line, spilling if it must.
          e.classList.toggle('one-line', !/[ \u3000\n]/.test(t));
        }
        break;
      case 'button':
        if (!same(old[6], caption)) e.face.textContent = text(caption);
        if (!same(old[5], enabled)) e.disabled = !enabled;
        if (!same(old[3], h)) e.classList.toggle('short', h < 14);
        break;
      case 'textbox':
        if (e.tagName !== 'TEXTAREA') {
          if (!same(old[6], caption)) e.textContent = text(caption);
          break;
        }
        if (!same(old[6], caption)) e.value = text(caption);
        if (!same(old[5], enabled)) {
          e.classList.toggle('inert', !enabled);
          if (!enabled) e.tabIndex = -1;
        }
        break;
      case 'image':
        if (!same(old[7], picture)) {
          if (picture) {
            e.img.src = `pictures/${picture}.png`;
            const size = facts.pictures[picture];
            if (!c.stretch && size) {
              e.img.style.width = size[0] + 'px';
              e.img.style.height = size[1] + 'px';
            }
            e.img.style.display = '';
          } else {
            e.img.removeAttribute('src');
            e.img.style.display = 'none';
          }
        }
        break;
      case 'progressbar':
        if (!same(old[8], min) || !same(old[9], max) || !same(old[10], value) || !same(old[2], w)) {
          const share = max > min ? Math.min(1, Math.max(0, (value - min) / (max - min))) : 0;
          e.fill.style.width = Math.round(share * Math.max(0, w - 2)) + 'px';
        }
        break;
      default:
        break;
    }
  }

  function syncDrawings(win, rects) {
    if (rects.length < win.drawn) {
      win.drawings.replaceChildren();
      win.drawn = 0;
    }
    for (let k = win.drawn; k < rects.length; ++k) {
      const [x, y, w, h, c] = rects[k];
      const r = document.createElementNS(SVG, 'rect');
      r.setAttribute('x', x);
      r.setAttribute('y', y);
      r.setAttribute('width', w);
      r.setAttribute('height', h);
      r.setAttribute('fill', colour(c));
      r.setAttribute('shape-rendering', 'crispEdges');
      win.drawings.appendChild(r);
    }
    win.drawn = rects.length;
  }

  // The window that has, or should have, the keyboard.
  const keyWindow = () => windows.get(keyForm) || null;

  // The control a screen opens with: the enabled one that can take the
  // focus with the lowest tab order; on screens played with the keyboard,
  // the window itself.
  function focusAtOpen(win) {
    let best = null;
    win.layout.controls.forEach((c, i) => {
      const e = win.controls[i];
      const v = win.last[i];
      if (!e || e.tabIndex < 0 || !v || !v[4] || !v[5]) return;
      if (!best || c.tabOrder < best.c.tabOrder) best = { c, e };
    });
    (best ? best.e : win.client).focus({ preventScroll: true });
  }

  // Brings the desktop in line with the game, after every event.
  function sync() {
    const view = JSON.parse(api.view());
    keyForm = view.keys;
    const shown = new Set();
    const opened = [];
    for (const s of view.screens) {
      shown.add(s.form);
      let win = windows.get(s.form);
      if (win && win.instance !== s.instance) {
        win.el.remove();
        win = null;
      }
      if (!win) {
        win = createWindow(s.form, s.instance);
        windows.set(s.form, win);
        opened.push(win);
      }
      if (win.enabled !== s.enabled) {
        win.enabled = s.enabled;
        hitsStale = true;
        win.el.classList.toggle('disabled', !s.enabled);
        win.el.classList.toggle('inactive', !s.enabled || !win.layout.takesKeys);
        for (const e of win.el.querySelectorAll('button.control')) e.inert = !s.enabled;
      }
      s.controls.forEach((v, i) => syncControl(win, i, v));
      syncDrawings(win, s.drawings);
    }
    for (const [form, win] of windows) {
      if (!shown.has(form)) {
        win.el.remove();
        windows.delete(form);
        hitsStale = true;
      }
    }
    if (opened.length) hitsStale = true;
    if (hitsStale) {
      hitsStale = false;
      placeHits();
    }
    helpSection = view.helpSection;
    replaying = view.replaying;
    atStart = view.atStart;
    // The keyboard goes with the screen being played.
    const keys = keyWindow();
    for (const win of opened) if (win === keys && !help) focusAtOpen(win);
    if (keys && !help && !keys.el.contains(document.activeElement)) focusAtOpen(keys);

    if (view.help > helpSeen) {
      helpSeen = view.help;
      openHelp(helpSection);
    }
    // A refusing storage is tried again on the next landing, or after a while.
    const pending = api.bookPending();
    if (pending && (pending !== bookTried.pending || now() >= bookTried.at + 10000)) storeBook();
    // The results of a game that brought news are followed by the book.
    const news = newsWaiting ? api.bookNews() : '';
    if (news) {
      newsWaiting = false;
      bookNews = JSON.parse(news);
      if (book) showBook(null);
      else openBook();
    }
    if (view.replayStop) setStatus('再生が止まりました: ', view.replayStop);
    else if (view.replaying) setStatus(view.replayOver ? '再生が終わりました' : '再生中');
    if (view.ended && !ended) {
      ended = true;
      closeHelp();
      $('notice-text').textContent = t('ゲームは終わりました。');
      $('notice').hidden = false;
      $('notice-new-game').focus();
    }
    schedule();
  }

  // The bar's status: a text of the page (in Japanese as written) and what
  // follows it as it is (a reason from the game, already in the language).
  const showStatus = () => {
    status.textContent = (statusText[0] ? t(statusText[0]) : '') + statusText[1];
    status.title = status.textContent; // the whole of a line cut short
  };
  function setStatus(japanese, rest = '') {
    if (statusText[0] === japanese && statusText[1] === rest) return; // every step of a replay
    statusText = [japanese, rest];
    showStatus();
  }

  // Every text the page shows, in `language`: the bar, the notices, the
  // windows' captions and every control, at once and mid-game.
  function showLanguage() {
    document.documentElement.lang = language;
    document.title = t('Mogumo野郎');
    for (const e of document.querySelectorAll('[data-ja]')) e.textContent = t(e.dataset.ja);
    for (const b of document.querySelectorAll('#language button'))
      b.setAttribute('aria-pressed', String(b.dataset.lang === language));
    if (!api) return;
    showStatus();
    facts = JSON.parse(api.facts());
    layouts = facts.screens;
    for (const win of windows.values()) {
      win.layout = layouts[win.form];
      win.caption.textContent = win.layout.caption;
      win.closeBox.title = t('閉じる');
      win.last = []; // every control again, in the new words
    }
    if (book) showBook(null);
    if (help) {
      help.querySelector('.caption').textContent = t('Mogumo ヘルプ');
      help.querySelector('.closebox').title = t('閉じる (Esc)');
    }
    if (ended && !$('notice').hidden && !api.error()) $('notice-text').textContent = t('ゲームは終わりました。');
    else if (ended && !$('notice').hidden) $('notice-text').textContent = api.error();
    if (!ended && windows.size) sync();
  }

  function setLanguage(chosen) {
    if (chosen === language) return;
    language = chosen;
    storage.set(language);
    if (api) api.setLanguage(language === 'en' ? 1 : 0);
    showLanguage();
  }

  // --- time ------------------------------------------------------------------

  // Sleeps until the next tick that can change the game; nothing runs while
  // nothing is due.
  function schedule() {
    if (timer !== null) clearTimeout(timer);
    timer = null;
    const at = api.nextWake();
    if (at < 0 || document.hidden) return;
    const delay = Math.min(Math.max(0, Math.ceil(at - now())), 2 ** 30);
    timer = setTimeout(() => {
      timer = null;
      keepToday();
      api.advance(now());
      sync();
    }, delay);
  }

  // An input to the game, then the desktop brought in line.
  function input(send) {
    if (!api || ended) return;
    keepToday();
    const result = send();
    if (result < 0) fail();
    sync();
  }

  function fail() {
    $('notice-text').textContent = api.error();
    $('notice').hidden = false;
    ended = true;
  }

  // --- keys ------------------------------------------------------------------

  // Keys go to the screen being played; while the help is open, to the help.
  function sendKey(down, code) {
    if (help || book) return;
    const win = keyWindow();
    if (win) input(() => api.key(win.form, down ? 1 : 0, code, now()));
  }

  function onKey(event, down) {
    const code = event.keyCode;
    if (code === F2) {
      // Never sent to the game: its records stay the same with the book.
      event.preventDefault();
      if (down && !event.repeat && api) toggleBook();
      return;
    }
    if (book) {
      if (code === 27 && down) closeBook();
      return;
    }
    if (help) {
      if (code === 27 && down) closeHelp();
      if (code === F1) event.preventDefault();
      return;
    }
    if (!api || ended || !gameKeys.has(code)) return;
    if (code === F1) event.preventDefault(); // the browser's own help
    const target = event.target;
    if (target.closest && target.closest('#bar, #notice, #confirm')) return;
    const win = keyWindow();
    if (!win) return;
    // Keys a focused control uses itself (a held Return presses a button
    // only once).
    const kind = { BUTTON: 'button', TEXTAREA: 'textbox' }[target.tagName];
    if (kind && win.el.contains(target) && facts.keptBy[kind].includes(code)) {
      if (event.repeat && code === 13) event.preventDefault();
      return;
    }
    if (code === 32 || (code >= 35 && code <= 40)) event.preventDefault(); // no page scrolling
    sendKey(down, code);
  }

  // The keyboard gone to another window or tab, the keys held go up. A
  // hidden page is not woken at all: back, the time away is lost as a stall.
  function keyboardLost() {
    if (api && !ended) input(() => api.releaseKeys(now()));
  }
  window.addEventListener('blur', keyboardLost);
  window.addEventListener('pagehide', keyboardLost);
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) keyboardLost();
    else if (api && !ended) input(() => api.advance(now()));
  });

  document.addEventListener('keydown', (e) => onKey(e, true), true);
  document.addEventListener('keyup', (e) => onKey(e, false), true);
  // Some browsers open their help on F1 through this event instead.
  window.addEventListener('help', (e) => e.preventDefault());

  // On-screen keys for touch screens: holding one sends the real key's
  // key-down, letting go its key-up.
  function setUpTouchKeys() {
    const keysBar = $('touch-keys');
    const wanted = new URLSearchParams(location.search).has('keys') || navigator.maxTouchPoints > 0 ||
      matchMedia('(any-pointer: coarse)').matches;
    keysBar.hidden = !wanted;
    for (const b of keysBar.querySelectorAll('button')) {
      const code = Number(b.dataset.key);
      let pointer = null;
      const release = () => {
        if (pointer === null) return;
        pointer = null;
        b.classList.remove('held');
        if (code === F1) return;
        sendKey(false, code);
      };
      b.addEventListener('pointerdown', (e) => {
        e.preventDefault();
        if (pointer !== null) return;
        pointer = e.pointerId;
        b.setPointerCapture(e.pointerId);
        b.classList.add('held');
        if (code === F1) {
          // The help key: down and up at once, as a tap of F1.
          sendKey(true, code);
          sendKey(false, code);
          return;
        }
        sendKey(true, code);
      });
      b.addEventListener('pointerup', release);
      b.addEventListener('pointercancel', release);
      b.addEventListener('lostpointercapture', release);
      b.addEventListener('contextmenu', (e) => e.preventDefault());
      b.addEventListener('touchstart', (e) => e.preventDefault(), { passive: false });
    }
    keysBar.addEventListener('touchmove', (e) => e.preventDefault(), { passive: false });
  }

  // --- help ------------------------------------------------------------------

  // The help in the player's language: Japanese for a Japanese browser,
  // English otherwise; each page links to the other.
  const helpPages = new Map();
  const helpPageFor = (lang) => (/^ja\b/i.test(lang || '') ? 'mogumo_help.html' : 'mogumo_help_en.html');

  async function helpPage(name) {
    if (!helpPages.has(name)) {
      try {
        const res = await fetch(name);
        if (!res.ok) throw new Error(res.statusText);
        const doc = new DOMParser().parseFromString(await res.text(), 'text/html');
        helpPages.set(name, doc.body.innerHTML);
      } catch (e) {
        const p = document.createElement('p');
        p.textContent = t(`ヘルプの文書 ${name} が見つかりません。`);
        return p.outerHTML;
      }
    }
    return helpPages.get(name);
  }

  async function showHelpPage(el, body, name, fragment) {
    const html = await helpPage(name);
    if (help !== el) return;
    body.innerHTML = html;
    const to = fragment && body.querySelector(`[id="${fragment}"]`);
    body.scrollTop = to ? to.offsetTop - body.offsetTop : 0;
  }

  // A window beside the game (the help, the book): a title bar with its close
  // box and a body that takes the keys, in the middle of the browser's window.
  function sideWindow(id, width, height, onClose) {
    const el = makeElement('div', 'window', document.body);
    el.id = id;
    const bar = makeElement('div', 'titlebar', el);
    makeElement('span', 'caption', bar);
    const closeBox = makeElement('button', 'closebox', bar);
    closeBox.type = 'button';
    closeBox.textContent = '×';
    closeBox.addEventListener('click', onClose);
    const body = makeElement('div', `${id}-body`, el);
    body.tabIndex = -1;
    el.style.left = Math.max(8, (innerWidth - width) / 2) + 'px';
    el.style.top = Math.max(8, (innerHeight - height) / 2) + 'px';
    return { el, body };
  }

  // The help at `section` (an anchor of the help page); open already, it
  // moves there.
  async function openHelp(section) {
    if (help) {
      showHelpPage(help, help.querySelector('.help-body'), help.dataset.page, section);
      return;
    }
    const { el, body } = sideWindow('help', 640, 520, closeHelp);
    help = el;
    el.querySelector('.caption').textContent = t('Mogumo ヘルプ');
    el.querySelector('.closebox').title = t('閉じる (Esc)');
    // Links inside the help move within it, or to the other language's page.
    body.addEventListener('click', (e) => {
      const a = e.target.closest('a[href]');
      if (!a) return;
      const [page, fragment] = a.getAttribute('href').split('#');
      if (page && !/^mogumo_help(_en)?\.html$/.test(page)) return;
      e.preventDefault();
      showHelpPage(el, body, page || el.dataset.page, fragment);
      if (page) el.dataset.page = page;
    });
    el.dataset.page = helpPageFor(language);
    await showHelpPage(el, body, el.dataset.page, section);
    if (help === el) body.focus({ preventScroll: true });
  }

  function closeHelp() {
    if (!help) return;
    help.remove();
    help = null;
    // The keys go back to the screen being played.
    const win = keyWindow();
    if (win && api && !ended) focusAtOpen(win);
  }

  // --- the catch book ----------------------------------------------------------

  // The same JSON book the desktop keeps in its file. The module queues what
  // the played game lands; after each event the stored text is read again
  // (another tab may have landed fish since), the queue applied to it and the
  // result stored. The queue is emptied only once the text is stored.
  const BOOK_KEY = 'mogumo.catchBook';
  let bookRefusalSaid = false;
  const bookTried = { pending: 0, at: 0 }; // the last try that the storage refused
  const two = (n) => String(n).padStart(2, '0');
  const localDay = (d = new Date()) => `${d.getFullYear()}-${two(d.getMonth() + 1)}-${two(d.getDate())}`;
  const localStamp = (d = new Date()) => `${localDay(d)}T${two(d.getHours())}${two(d.getMinutes())}${two(d.getSeconds())}`;

  // The day the landings are dated with, told to the module when it changes.
  let today = '';
  function keepToday() {
    const day = localDay();
    if (day !== today) api.setToday((today = day));
  }

  function storedBook() {
    return localStorage.getItem(BOOK_KEY) || '';
  }

  // A stored text that is not a book is never overwritten unkept: it moves
  // to a dated key of its own first. Throws when the storage refuses.
  function keepAside(text) {
    let key = `${BOOK_KEY}.unreadable-${localStamp()}`;
    for (let n = 2; localStorage.getItem(key) !== null; ++n) key = `${BOOK_KEY}.unreadable-${localStamp()}-${n}`;
    localStorage.setItem(key, text);
    return key;
  }

  // A storage that refuses (full, or none in private mode) is said once; the
  // landings wait in the module for the next try.
  function bookRefused(e) {
    if (bookRefusalSaid) return;
    bookRefusalSaid = true;
    setStatus('釣果帳を保存できません。ゲームは続きます。', ` (${e && e.name ? e.name : e})`);
  }

  function storeBook() {
    try {
      const stored = storedBook();
      const next = api.bookUpdate(stored);
      const why = stored ? api.bookError() : '';
      const aside = why ? keepAside(stored) : '';
      localStorage.setItem(BOOK_KEY, next);
      newsWaiting = api.bookSaved() === 1;
      bookRefusalSaid = false;
      bookTried.pending = 0;
      if (why) setStatus('釣果帳を読めませんでした。ゲームは続きます。', ' ' + t(`読めない釣果帳は ${aside} に残しました: ${why}`));
    } catch (e) {
      bookTried.pending = api.bookPending();
      bookTried.at = now();
      bookRefused(e);
    }
    if (book) showBook(null);
  }

  function showBook(said = '') {
    let stored = '';
    try { stored = storedBook(); } catch (e) { /* shown as a new book */ }
    const view = JSON.parse(api.bookView(stored));
    book.querySelector('.caption').textContent = t('釣果帳 (F2で閉じる)');
    book.querySelector('.closebox').title = t('閉じる (Esc)');
    book.querySelector('h1').textContent = view.title;
    book.querySelector('.book-totals').textContent =
      view.totals.join('\n') + (bookNews?.record ? t('\n★ 記録を更新しました！') : '');
    book.querySelector('.book-export').textContent = t('書き出す');
    book.querySelector('.book-import span').textContent = t('読み込む');
    if (said !== null) book.querySelector('.book-said').textContent = said;
    const rows = book.querySelector('.book-rows');
    rows.replaceChildren();
    view.rows.forEach((r, i) => {
      const row = makeElement('div', 'book-row', rows);
      row.dataset.species = i;
      if (bookNews?.rows.includes(i)) row.classList.add('news');
      makeElement('span', 'number', row).textContent = String(i + 1).padStart(2);
      const img = makeElement('img', 'picture', row);
      img.alt = '';
      if (r.landed) img.src = 'pictures/fish_calm.png';
      else img.style.visibility = 'hidden';
      makeElement('span', 'name', row).textContent = r.name;
      makeElement('span', 'records', row).textContent = r.records.join('\n');
    });
  }

  function openBook() {
    if (book || !api) return;
    keyboardLost(); // keys held for the game go up: the book has the keyboard now
    const { el, body } = sideWindow('book', 620, 520, closeBook);
    book = el;
    makeElement('h1', '', body);
    makeElement('div', 'book-totals', body);
    const tools = makeElement('div', 'book-tools', body);
    const exportButton = makeElement('button', 'book-export', tools);
    exportButton.type = 'button';
    exportButton.addEventListener('click', exportBook);
    const importLabel = makeElement('label', 'file book-import', tools);
    makeElement('span', '', importLabel);
    const file = makeElement('input', '', importLabel);
    file.type = 'file';
    file.accept = '.json,application/json';
    file.addEventListener('change', async () => {
      const chosen = file.files[0];
      file.value = '';
      if (chosen) importBook(await chosen.text());
    });
    makeElement('span', 'book-said', tools);
    makeElement('div', 'book-rows', body);
    if (api.bookPending()) storeBook(); // the freshest book, and one more try
    showBook();
    body.focus({ preventScroll: true });
  }

  function closeBook() {
    if (!book) return;
    book.remove();
    book = null;
    bookNews = null;
    const win = keyWindow();
    if (win && api && !ended && !help) focusAtOpen(win);
  }

  const toggleBook = () => (book ? closeBook() : openBook());

  function exportBook() {
    let stored = '';
    try { stored = storedBook(); } catch (e) { /* a new book */ }
    // The book as it stands, with the landings a refusing storage holds back.
    download(api.bookUpdate(stored), 'mogumo-catch-book.json', 'application/json');
  }

  // A book file from the desktop or another browser takes the place of this
  // one; the one it replaces is kept aside. A file that is not a book changes
  // nothing.
  function importBook(text) {
    const read = api.bookRead(text);
    if (!read) {
      showBook(t(`この釣果帳は読み込めません: ${api.bookError()}`));
      return;
    }
    try {
      const stored = storedBook();
      if (stored && stored !== read) localStorage.setItem(`${BOOK_KEY}.replaced-${localStamp()}`, stored);
      localStorage.setItem(BOOK_KEY, read);
    } catch (e) {
      bookRefused(e);
      showBook(t('釣果帳を保存できません。ゲームは続きます。'));
      return;
    }
    showBook(t('釣果帳を読み込みました。'));
    if (api.bookPending()) storeBook();
  }

  window.addEventListener('storage', (e) => {
    if (book && (e.key === BOOK_KEY || e.key === null)) showBook(null);
  });
  $('open-book').addEventListener('click', toggleBook);

  // --- games, records and replays ---------------------------------------------

  function startGame(script) {
    for (const win of windows.values()) win.el.remove();
    windows.clear();
    closeHelp();
    helpSeen = 0;
    ended = false;
    $('notice').hidden = true;
    setStatus('');
    if (timer !== null) clearTimeout(timer);
    timer = null;
    const result = api.newGame(script || '');
    if (result !== 0) {
      const why = api.error();
      if (script) startGame('');
      else fail();
      setStatus('記録を再生できません: ', why);
      return false;
    }
    sync();
    return true;
  }

  function saveRecord() {
    if (!api) return;
    const record = api.record(now());
    sync();
    const stamp = new Date().toISOString().replace(/[:.]/g, '-').slice(0, 19);
    download(record, `mogumo-${stamp}.txt`, 'text/plain');
  }

  // Hands the player a file to keep.
  function download(text, name, type) {
    const url = URL.createObjectURL(new Blob([text], { type }));
    const a = makeElement('a', '', document.body);
    a.href = url;
    a.download = name;
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 10000);
  }

  // A game under way (past the title, not watched) is only thrown away once
  // the player says so.
  $('new-game').addEventListener('click', () => {
    if (!api) return;
    const underWay = !ended && !replaying && !atStart;
    if (!underWay) {
      startGame('');
      return;
    }
    keyboardLost();
    $('confirm').hidden = false;
    $('confirm-no').focus();
  });
  const closeConfirm = () => {
    $('confirm').hidden = true;
    const win = keyWindow();
    if (win && !ended && !help && !book) focusAtOpen(win);
  };
  $('confirm-yes').addEventListener('click', () => {
    closeConfirm();
    startGame('');
  });
  $('confirm-no').addEventListener('click', closeConfirm);
  $('notice-new-game').addEventListener('click', () => startGame(''));
  $('save-record').addEventListener('click', saveRecord);
  // A record is a text file: an empty or a binary one is said as such; one
  // that cannot be played says its line and why; either way the page is
  // left at a new game's title.
  $('load-record').addEventListener('change', async (e) => {
    const file = e.target.files[0];
    e.target.value = '';
    if (!file) return;
    const bytes = new Uint8Array(await file.arrayBuffer());
    let script = null;
    try {
      script = new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (error) { /* not text */ }
    const refused = bytes.length === 0 ? '記録のファイルが空です。'
      : script === null || script.includes('\0') ? '記録のファイルはテキストではありません。' : '';
    if (refused) {
      startGame('');
      setStatus(refused, ` (${file.name})`);
    } else if (startGame(script)) setStatus('再生中');
  });
  $('open-help').addEventListener('click', () => openHelp(helpSection));
  if (document.fullscreenEnabled) {
    $('fullscreen').hidden = false;
    $('fullscreen').addEventListener('click', () => (document.fullscreenElement
      ? document.exitFullscreen() : document.documentElement.requestFullscreen()).catch(() => {}));
    document.addEventListener('fullscreenchange', () =>
      $('fullscreen').setAttribute('aria-pressed', String(!!document.fullscreenElement)));
  }
  for (const b of document.querySelectorAll('#bar button, #bar label'))
    b.addEventListener('mousedown', (e) => e.preventDefault());
  window.addEventListener('resize', () => desk.width && fitDesk());
  for (const b of document.querySelectorAll('#language button')) {
    b.addEventListener('mousedown', (e) => e.preventDefault());
    b.addEventListener('click', () => setLanguage(b.dataset.lang));
  }

  // For tests and the curious: the game's own state and record.
  window.mogumo = {
    dump: () => api.dump(),
    bookPending: () => api.bookPending(),
    record: () => api.record(now()),
    ready: null,
  };

  // From the first paint a sign of life, then the game, or why it cannot be.
  const loading = $('loading');
  showLanguage();
  $('loading-text').textContent = early('読み込み中…', 'Loading…');
  window.mogumo.ready = load().then(() => {
    showLanguage();
    setUpTouchKeys();
    fitDesk();
    startGame('');
    loading.hidden = true;
    for (const e of document.querySelectorAll('#bar [disabled]')) e.disabled = false;
    // Kept for playing with the network off, once the game is on screen; a
    // new build brings a new cache.
    if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => { /* online only */ });
  }, (e) => {
    loading.classList.add('failed');
    $('loading-text').textContent = e.message;
  });

})();
