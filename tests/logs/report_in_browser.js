// Opens an orvacct logs report in headless Chromium, driven through the DevTools protocol on a
// pipe (no network port, no npm package), and prints as JSON what a person would meet: every
// request the page made, console errors, the chart's bars, the totals, the rows of the tables
// before and after real mouse clicks on their headings, what clicks on the chart's bars show,
// an error's drill-down, and any two labels of a chart that overlap. Saves a screenshot of the
// page as it opens.
// usage: node report_in_browser.js REPORT.html SCREENSHOT.png CHROMIUM
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [report, screenshot, chromium] = process.argv.slice(2);
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvacct-chromium-'));
// The machine has no network: without these, Chromium waits on connections it tries to make.
const browser = spawn(chromium, [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--hide-scrollbars', '--force-device-scale-factor=1', `--user-data-dir=${profile}`,
  '--remote-debugging-pipe', 'about:blank',
], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'], detached: true });

// Ends the browser with all its processes (a group of its own), given a moment to close by
// itself, and removes its profile once they have stopped writing there. A profile that cannot
// be removed is told, but the test's outcome is the page's, not the clean-up's.
function finish(code, message) {
  if (message) process.stderr.write(`${message}\n`);
  const done = () => {
    try {
      process.kill(-browser.pid, 'SIGKILL');
    } catch {
      // The group is gone already.
    }
    try {
      fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    } catch (error) {
      process.stderr.write(`could not remove ${profile}: ${error.message}\n`);
    }
    process.exit(code);
  };
  if (browser.pid === undefined || browser.exitCode !== null || browser.signalCode !== null) return done();
  browser.on('exit', done);
  setTimeout(() => {
    try {
      process.kill(-browser.pid, 'SIGKILL');
    } catch {
      // Gone meanwhile.
    }
  }, 5000).unref();
}
setTimeout(() => finish(1, 'timed out'), 120000).unref();
browser.on('error', (error) => finish(1, `cannot start chromium: ${error.message}`));

// The protocol: JSON messages ended by a NUL byte, commands on fd 3, answers and events on fd 4.
let nextId = 1;
const answers = new Map();
const eventWaiters = [];
const requests = [];
const problems = [];
let pending = Buffer.alloc(0);
browser.stdio[4].on('data', (chunk) => {
  pending = Buffer.concat([pending, chunk]);
  for (let end = pending.indexOf(0); end >= 0; end = pending.indexOf(0)) {
    const message = JSON.parse(pending.subarray(0, end).toString('utf8'));
    pending = pending.subarray(end + 1);
    if (message.id && answers.has(message.id)) {
      const { resolve, reject } = answers.get(message.id);
      answers.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
    } else if (message.method) {
      event(message.method, message.params);
    }
  }
});

function event(method, params) {
  if (method === 'Network.requestWillBeSent') requests.push(params.request.url);
  if (method === 'Log.entryAdded' && params.entry.level === 'error') problems.push(params.entry.text);
  if (method === 'Runtime.exceptionThrown') problems.push(params.exceptionDetails.text);
  for (const waiter of eventWaiters.filter((w) => w.method === method)) {
    eventWaiters.splice(eventWaiters.indexOf(waiter), 1);
    waiter.resolve(params);
  }
}

function send(method, params = {}, sessionId = undefined) {
  const id = nextId++;
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  return new Promise((resolve, reject) => answers.set(id, { resolve, reject }));
}

function nextEvent(method) {
  return new Promise((resolve) => eventWaiters.push({ method, resolve }));
}

async function main() {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  const page = (method, params) => send(method, params, sessionId);
  const value = async (expression) =>
    (await page('Runtime.evaluate', { expression, returnByValue: true })).result.value;
  await page('Network.enable');
  await page('Log.enable');
  await page('Runtime.enable');
  await page('Page.enable');
  await page('Emulation.setDeviceMetricsOverride', { width: 1200, height: 900, deviceScaleFactor: 1, mobile: false });
  const loaded = nextEvent('Page.loadEventFired');
  const navigated = Date.now();
  await page('Page.navigate', { url: `file://${report}` });
  await loaded;
  const loadMilliseconds = Date.now() - navigated;

  const { cssContentSize } = await page('Page.getLayoutMetrics');
  const shot = await page('Page.captureScreenshot', {
    format: 'png', captureBeyondViewport: true,
    clip: { x: 0, y: 0, width: 1200, height: Math.min(Math.ceil(cssContentSize.height), 3000), scale: 1 },
  });
  fs.writeFileSync(screenshot, Buffer.from(shot.data, 'base64'));

  // A real click: the mouse pressed and released over the heading, as a person does it.
  const click = async (selector) => {
    const box = await value(`(() => { const e = document.querySelector(${JSON.stringify(selector)});
      e.scrollIntoView({ block: 'center' }); const r = e.getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 }; })()`);
    for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
      await page('Input.dispatchMouseEvent', { type, x: box.x, y: box.y, button: 'left', clickCount: 1 });
    }
  };
  const column = (table, index, attribute) => value(`Array.from(document.querySelectorAll('#${table} tbody tr:not(.drill)'))
    .map((row) => ${attribute ? `row.cells[${index}].getAttribute('data-v')` : `row.cells[${index}].textContent`})`);
  const sortState = (table, index) =>
    value(`document.querySelectorAll('#${table} thead th')[${index}].getAttribute('aria-sort')`);

  const seen = {
    bars: await value("document.querySelectorAll('svg.chart rect').length"),
    totals: await value("Array.from(document.querySelectorAll('.totals b')).map((b) => b.textContent)"),
    numbers: { initial: await column('errors', 0, true), ariaSort: [] },
  };
  await click('#errors thead th:nth-child(1)');
  seen.numbers.afterClick = await column('errors', 0, true);
  seen.numbers.ariaSort.push(await sortState('errors', 0));
  await click('#errors thead th:nth-child(1)');
  seen.numbers.afterSecondClick = await column('errors', 0, true);
  seen.numbers.ariaSort.push(await sortState('errors', 0));
  await click('#apps thead th:nth-child(1)');
  seen.apps = await column('apps', 0, false);

  // Any two texts of one chart whose boxes overlap, as drawn.
  const overlaps = (svgs) => value(`Array.from(document.querySelectorAll(${JSON.stringify(svgs)})).flatMap((svg) => {
      const boxes = Array.from(svg.querySelectorAll('text')).map((t) => ({ text: t.textContent, box: t.getBoundingClientRect() }));
      const found = [];
      boxes.forEach((a, i) => boxes.slice(i + 1).forEach((b) => {
        if (a.box.right > b.box.left && b.box.right > a.box.left && a.box.bottom > b.box.top && b.box.bottom > a.box.top) {
          found.push([a.text, b.text]);
        }
      }));
      return found; })`);
  seen.chartLabels = await value("Array.from(document.querySelectorAll('svg.chart text')).map((t) => t.textContent)");
  seen.chartOverlaps = await overlaps('svg.chart');

  // Bars of the chart clicked, the busiest and the last: each shows its day below the chart.
  const shownDays = () => value(`Array.from(document.querySelectorAll('section.day')).filter((s) => !s.hidden)
    .map((s) => ({ heading: s.querySelector('h3').textContent, note: (s.querySelector('p.note') || { textContent: '' }).textContent, visible: s.getBoundingClientRect().height > 0,
      belowChart: s.getBoundingClientRect().top >= document.querySelector('svg.chart').getBoundingClientRect().bottom,
      lists: Array.from(s.querySelectorAll('.lists section')).map((section) => ({
        heading: section.querySelector('h4').textContent,
        items: Array.from(section.querySelectorAll('li')).map((li) => li.textContent) })) }))`);
  seen.days = { before: await shownDays(), clicked: [] };
  const busiestBar = await value(`(() => { let best = null, most = -1;
    document.querySelectorAll('svg.chart g.bar').forEach((g) => {
      const height = Array.from(g.querySelectorAll('rect:not(.hit)')).reduce((sum, r) => sum + Number(r.getAttribute('height')), 0);
      if (height >= most) { most = height; best = g.getAttribute('data-bar'); } });
    return best; })()`);
  for (const bar of [busiestBar, await value("Array.from(document.querySelectorAll('svg.chart g.bar')).pop().getAttribute('data-bar')")]) {
    await click(`svg.chart g.bar[data-bar="${bar}"] rect.hit`);
    seen.days.clicked.push(await shownDays());
  }

  // The most frequent error opened, as a person opens it: a click on its description.
  await click('#errors thead th:nth-child(3)');  // by count, the largest first
  const body = "document.querySelector('#errors tbody')";
  const drill = `${body}.querySelector('details.drill')`;
  const row = `${body}.querySelector('tr.drill')`;
  seen.drill = { openBefore: await value(`${drill}.open && ${row}.getBoundingClientRect().height > 0`) };
  await click('#errors tbody details.drill > summary');
  seen.drill.openAfter = await value(`${drill}.open`);
  seen.drill.number = await value(`${body}.rows[0].cells[0].getAttribute('data-v')`);
  seen.drill.lists = await value(`Array.from(${row}.querySelectorAll('.lists section')).map((section) => ({
      heading: section.querySelector('h4').textContent,
      items: Array.from(section.querySelectorAll('li')).map((li) => li.textContent) }))`);
  const records = (list) => value(`Array.from(${row}.querySelectorAll('ol.${list} li')).map((li) => ({
      head: li.firstChild.textContent, line: li.textContent.slice(0, li.textContent.indexOf(li.querySelector('pre').textContent)),
      description: li.querySelector('pre').textContent, at: li.querySelector('code').textContent }))`);
  seen.drill.recent = await records('latest');
  seen.drill.busiest = {
    heading: await value(`${row}.querySelector('h4.busiest').textContent`),
    records: await records('busiest'),
    more: await value(`(${row}.querySelector('p.more') || { textContent: '' }).textContent`),
  };
  seen.drill.bars = await value(`${row}.querySelectorAll('svg.small rect').length`);
  seen.drill.labels = await value(`Array.from(${row}.querySelectorAll('svg.small text')).map((t) => t.textContent)`);
  seen.drill.overlaps = await overlaps('#errors tbody:first-of-type svg.small');
  seen.drill.visible = await value(`${row}.querySelector('ol.latest').getBoundingClientRect().height > 0`);
  seen.drill.widthOfTable = await value(`${row}.getBoundingClientRect().width / document.querySelector('#errors').getBoundingClientRect().width`);
  seen.loadMilliseconds = loadMilliseconds;
  seen.requests = requests;
  seen.problems = problems;
  process.stdout.write(JSON.stringify(seen));
  await send('Browser.close').catch(() => {});
  finish(0);
}

main().catch((error) => finish(1, error.stack));
