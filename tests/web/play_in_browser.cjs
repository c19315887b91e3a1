#!/usr/bin/env node
// Usage: play_in_browser.cjs SITE CROSSES SEED SCRIPT OUT [SHOTS] [WIDTH]
//
// Plays a whole game on the web page in SITE (build/web/site), opened as a
// file in headless Chromium with the network off, through the page's own
// controls as a player would: the crosses of CROSSES (a Crosses.csv) entered
// in the crosses editor, SEED in the seed field, each answer of SCRIPT typed
// in the terminal, and at each selection the rows ticked and Done pressed.
// The window is WIDTH x 768 (default 1366).
// SCRIPT is what tools/scripted_game.py plays: one wait per line, actions
// before '|' and the answer after it. Actions here:
//     drop:N    tick the rows whose ID is a multiple of N, then press Done
//     upload    instead of ticking: download Results.csv, delete those rows
//               from the file and upload it
//     enter     after ticking, press Enter in the terminal instead of Done
//     picture   first upload a picture, which the page refuses in its own
//               words while the game goes on waiting
//     spoil     download Results.csv, change the name of its ID column and
//               upload it: the game refuses it and waits again
//     mend      nothing here: Done saves the table with the game's header
//     sideways  scroll the table sideways before saving it
//     paste     paste the answer with more lines after it (the line end and
//               rows of a table): only the answer reaches the game
//     ahead     type the answer and Enter while the game still works on the
//               answer before: it waits on the line, and Enter sends it
//     kill      reload the page at this wait, and continue the game; at a
//               selection, once the rows are ticked (the ticks must come back)
//     kill:MS   answer, reload the page MS milliseconds later, continue the game
// At each selection the table must open with its ID column and its newest
// column in view, and after it the page must say how many entries the game
// kept; the controls beside the terminal must be whole, the terminal's font
// readable, and the page must answer within 100 ms while the game computes.
// OUT receives console.txt (the console as the game wrote it, over every
// reload) and every Results.csv the game wrote, as first seen at a wait
// (results-01.csv, ...), as scripted_game.py does, so the two can be
// compared byte for byte, and record.json, the game's record as "Download
// record" gives it at the end (it is also downloaded half-way, and must be
// a record then too), and debrief.html, the debrief the page shows at the
// end. SHOTS, if given, receives a screenshot of each screen.
//
// The browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium; playwright-core
// comes from the web build's npm folder (NODE_PATH).
"use strict";
const fs = require("fs");
const path = require("path");
const { launchChromium, openOffline } = require("./offline_page.cjs");

const WAIT_MS = 120000;
const uploads = fs.mkdtempSync(path.join(require("os").tmpdir(), "plotwright-upload-"));

async function main() {
  const [site, crossesFile, seed, scriptFile, out, shots, width] = process.argv.slice(2);
  if (!out) throw new Error("usage: play_in_browser.cjs SITE CROSSES SEED SCRIPT OUT [SHOTS] [WIDTH]");
  fs.mkdirSync(out, { recursive: true });
  if (shots) fs.mkdirSync(shots, { recursive: true });
  const steps = fs.readFileSync(scriptFile, "utf8").split("\n")
    .map((line) => line.split("#")[0]).filter((line) => line.trim() !== "");

  const browser = await launchChromium();
  try {
    const viewport = { width: Number(width || 1366), height: 768 };
    const opened = await openOffline(browser, site, { viewport, acceptDownloads: true });
    const { context, page, url } = opened;
    const shot = async (name) => { if (shots) await page.screenshot({ path: path.join(shots, name + ".png") }); };

    await page.goto(url);
    await page.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
    await page.evaluate(() => window.plotwrightPage.keepTables());
    await shot("1-setup");
    await checkControls(page, "the crosses screen");

    await crossesWithProblems(page);
    await shot("1-crosses-with-problems");

    // The crosses, through the editor.
    await page.click("#clear-crosses");
    for (const line of fs.readFileSync(crossesFile, "utf8").split(/\r?\n/)) {
      const [first, second, plants] = line.split(",").map((v) => v.trim());
      if (!plants) continue;
      await page.selectOption("#first-founder", first);
      await page.selectOption("#second-founder", second);
      await page.fill("#cross-plants", plants);
      await page.click("#add-cross button[type=submit]");
    }
    await page.waitForFunction(() => !document.getElementById("start").disabled, null, { timeout: WAIT_MS });
    // The founders table and the check of the crosses are the game's own output.
    const founders = await page.locator("#founders tbody tr").count();
    const check = await page.textContent("#crosses-check");
    if (founders !== 15 || !check.trim().startsWith("The CROSSES.CSV file is ready")) {
      throw new Error(`the crosses screen shows ${founders} founders and "${check}"`);
    }
    // A seed the game does not take: the page's own words, on the start screen.
    await page.fill("#seed", "12x");
    await page.click("#start");
    const refused = await page.textContent("#start-problem");
    if (!refused.startsWith("A seed is a whole number") || refused.includes("--seed")) {
      throw new Error("a refused seed is told: " + refused);
    }
    await page.fill("#seed", seed);
    await shot("2-crosses");
    await page.click("#start");
    await page.waitForFunction((seed) => document.getElementById("game-seed").textContent === `Seed ${seed}`,
      seed, { timeout: WAIT_MS });

    const seen = [];        // the Results.csv files of the sessions before a reload
    let expected = 0;       // the waits of this session so far
    let selections = 0;
    let keptExpected = null;
    for (const [k, step] of steps.entries()) {
     try {
      const bar = step.indexOf("|");
      const actions = step.slice(0, bar).trim().split(/\s+/).filter(Boolean);
      const answer = step.slice(bar + 1).trim();
      if (actions.includes("ahead")) {
        // Typed while the game still works: it waits on the line, and the
        // page answers its player meanwhile.
        await page.keyboard.type(answer);
        await page.keyboard.press("Enter");
        await page.waitForSelector("#working:not([hidden])", { timeout: WAIT_MS });
        await shot(`ahead-${k}`);
        await checkAnswering(page);
      }
      await waitForWait(page, ++expected);
      if (keptExpected) {
        const said = await page.textContent("#kept-note");
        if (!said.includes(`keeps ${keptExpected.kept} of the ${keptExpected.of} `)) {
          throw new Error(`after a selection the page says "${said}", not ${keptExpected.kept} of ${keptExpected.of}`);
        }
        keptExpected = null;
      }
      const drop = actions.find((a) => a.startsWith("drop:"));
      if (actions.includes("kill") && !drop) {
        // Closed a moment after the question came, once the browser has kept it.
        await page.evaluate(() => window.plotwrightPage.settled());
        seen.push(...await page.evaluate(() => window.plotwrightPage.resultsSeen()));
        await reloadAndContinue(page, url);
        expected = 1;
        await waitForWait(page, expected);
      }
      if (drop) {
        const every = Number(drop.slice(5));
        await checkTableInView(page, k);
        await checkControls(page, `selection ${selections + 1}`);
        if (++selections === 1) {
          // Sorted by the predicted yield, best first, as a player would look at it.
          await sortBy(page, "Yield_Pred", "ascending");
          await sortBy(page, "Yield_Pred", "descending");
          await shot("4-results");
          // Keeping the first rows shown ticks the rest; keeping them all unticks them again.
          await page.fill("#keep-count", "10");
          await page.click("#keep-first button");
          const summary = await page.textContent("#results-summary");
          if (!summary.startsWith("10 of ")) throw new Error("keeping the first 10 rows: " + summary);
          await page.fill("#keep-count", summary.split(" of ")[1].split(" ")[0]);
          await page.click("#keep-first button");
        }
        if (selections === 2) await shot("5-results-of-lines");
        if (actions.includes("picture")) await uploadPicture(page);
        if (actions.includes("sideways")) await scrollSideways(page);
        keptExpected = await keptAfter(page, every);
        if (actions.includes("upload")) {
          await uploadWithout(page, every, out);
        } else if (actions.includes("kill")) {
          // Ticked, then the page closed before saving: the ticks come back.
          const ticked = await tick(page, every);
          await page.waitForTimeout(500);
          await page.evaluate(() => window.plotwrightPage.settled());
          seen.push(...await page.evaluate(() => window.plotwrightPage.resultsSeen()));
          await reloadAndContinue(page, url);
          expected = 1;
          await waitForWait(page, expected);
          const summary = await page.textContent("#results-summary");
          if (!summary.includes(`, ${ticked} ticked to drop`)) throw new Error(`${ticked} rows ticked, then after a reload: ${summary}`);
          await save(page, actions.includes("enter"));
        } else {
          await tick(page, every);
          await save(page, actions.includes("enter"));
        }
        if (selections === 3) await shot("5-after-a-selection");
      } else if (actions.includes("spoil")) {
        await uploadSpoiled(page);
      } else if (actions.includes("sideways")) {
        await checkTableInView(page, k);
        await scrollSideways(page);
        await page.click("#terminal");
        await page.keyboard.press("Enter");
      } else if (actions.includes("paste")) {
        await pasteInTerminal(page, answer);
      } else if (actions.includes("ahead")) {
        const line = await page.evaluate(() => window.plotwrightPage.editedLine());
        if (line !== answer) throw new Error(`typed ahead "${answer}", the line shows "${line}"`);
        await page.keyboard.press("Enter");
      } else {
        await page.click("#terminal");
        if (answer) await page.keyboard.type(answer);
        await page.keyboard.press("Enter");
      }
      const killAfter = actions.find((a) => a.startsWith("kill:"));
      if (killAfter) {
        await page.waitForTimeout(Number(killAfter.slice(5)));
        seen.push(...await page.evaluate(() => window.plotwrightPage.resultsSeen()));
        await reloadAndContinue(page, url);
        expected = 0;
      }
      if (k === 1) {
        await shot("3-menu");
        // The record can be had at any time, the game half-played.
        const early = JSON.parse(fs.readFileSync(await downloadRecord(page, uploads), "utf8"));
        if (early.record !== "Plotwright game record" || early.ended !== "") {
          throw new Error("the record of a game in play: " + JSON.stringify(early).slice(0, 200));
        }
        await anotherTab(context, url);
      }
     } catch (error) {
      throw new Error(`at step ${k + 1} ("${step.trim()}"), ${await pageState(page)}: ${error.message}`);
     }
    }
    await page.waitForSelector('body[data-state="ended"]', { timeout: WAIT_MS });
    await shot("6-end");
    await endWithoutLosingIt(page);
    await page.setViewportSize({ width: viewport.width === 1024 ? 1366 : 1024, height: 768 });
    await shot("7-end-other-width");
    await checkControls(page, "the end");
    await page.setViewportSize(viewport);

    fs.copyFileSync(await downloadRecord(page, uploads), path.join(out, "record.json"));
    // The debrief, after a release, is shown below the game, and is the one the game wrote.
    if (await page.isEnabled("#show-debrief")) {
      await page.click("#show-debrief");
      await page.waitForTimeout(600);
      await shot("8-debrief");
      fs.writeFileSync(path.join(out, "debrief.html"), await page.locator("#debrief-frame").getAttribute("srcdoc"));
    }
    const bytes = (b64) => Buffer.from(b64, "base64");
    fs.writeFileSync(path.join(out, "console.txt"), bytes(await page.evaluate(() => window.plotwrightPage.console())));
    seen.push(...await page.evaluate(() => window.plotwrightPage.resultsSeen()));
    seen.forEach((b64, i) => fs.writeFileSync(path.join(out, `results-${String(i + 1).padStart(2, "0")}.csv`), bytes(b64)));
    opened.mustHaveWorkedOffline();
    console.log(`${out}: ${seen.length} Results.csv files`);
  } finally {
    await browser.close();
    fs.rmSync(uploads, { recursive: true, force: true });
  }
}

// What the page shows, for a failure's message.
async function pageState(page) {
  return page.evaluate(() => `the page ${document.body.dataset.state}, ${window.plotwrightPage.waits()} waits, ` +
    `hint "${document.getElementById("hint").textContent}"`).catch(() => "the page gone");
}

async function waitForWait(page, count) {
  await page.waitForFunction((count) => window.plotwrightPage.waits() === count &&
    ["waiting", "selection"].includes(document.body.dataset.state), count, { timeout: WAIT_MS });
}

// The crosses editor shows every problem of the list at once, each against
// its row in the game's words, and keeps what was typed.
async function crossesWithProblems(page) {
  await page.click("#clear-crosses");
  const rows = [["1", "4", "-5"], ["2", "7", "9999999999"], ["3", "9", "2500"], ["4", "1", "100"], ["5", "6", "20"]];
  for (const [first, second, plants] of rows) {
    await page.selectOption("#first-founder", first);
    await page.selectOption("#second-founder", second);
    await page.fill("#cross-plants", plants);
    await page.click("#add-cross button[type=submit]");
  }
  // An empty count, typed into a row.
  await page.fill('#crosses input[aria-label="F2 plants of cross 5"]', "");
  await page.press('#crosses input[aria-label="F2 plants of cross 5"]', "Tab");
  const expected = [
    [1, "asks for -5 plants"], [2, "holds the number 9999999999, which is too large"],
    [3, "exceeeded the maximum of 2000"], [4, "crossed in cross 1 already"], [5, "does not start with three whole numbers"]];
  await page.waitForFunction((count) => document.querySelectorAll("#crosses tr.problem-text:not([hidden])").length === count &&
    document.getElementById("start").disabled, expected.length, { timeout: WAIT_MS });
  for (const [row, words] of expected) {
    const said = await page.textContent(`#cross-problem-${row - 1}`);
    if (!said.includes(words)) throw new Error(`cross ${row} of the editor is told "${said}", not "${words}"`);
  }
  const kept = await page.inputValue('#crosses input[aria-label="F2 plants of cross 1"]');
  if (kept !== "-5") throw new Error(`a negative count typed became "${kept}"`);
  await checkControls(page, "the crosses with problems");
}

// The table opens at its top with its ID column and its newest column in
// view, however the last table was scrolled.
async function checkTableInView(page, k) {
  await page.waitForTimeout(50);
  const view = await page.evaluate(() => {
    const scroller = document.getElementById("results-scroll").getBoundingClientRect();
    const heads = [...document.querySelectorAll("#results-table thead tr:last-child th")];
    const id = heads[1].getBoundingClientRect(), last = heads[heads.length - 1].getBoundingClientRect();
    return { left: scroller.left, right: scroller.right, id: [id.left, id.right], last: [last.left, last.right],
      names: [heads[1].textContent, heads[heads.length - 1].textContent], top: document.getElementById("results-scroll").scrollTop };
  });
  const inside = ([left, right]) => left >= view.left - 1 && right <= view.right + 1;
  if (!inside(view.id) || !inside(view.last) || view.top !== 0) {
    throw new Error(`at wait ${k + 1} the table opens with ${view.names[0]} at ${view.id} and ${view.names[1]} at ` +
      `${view.last}, the table showing ${view.left} to ${view.right}, scrolled down ${view.top}`);
  }
}

async function scrollSideways(page) {
  await page.locator("#results-scroll").evaluate((e) => { e.scrollLeft = 115; e.scrollTop = 200; });
}

// Every button, field and choice on the page is whole in the window (a
// table's check boxes scroll with it), and the terminal's font is readable.
async function checkControls(page, where) {
  const clipped = await page.evaluate(() => {
    const width = document.documentElement.clientWidth;
    const cut = [];
    for (const control of document.querySelectorAll("button, input, select, .file-button")) {
      if (control.closest("#results-scroll, [hidden]") || control.matches(".file-button input, #class *, header *")) continue;
      const box = control.getBoundingClientRect();
      if (box.width === 0 && box.height === 0) continue;
      let edge = { left: 0, right: width };
      for (let up = control.parentElement; up; up = up.parentElement) {
        if (getComputedStyle(up).overflowX !== "visible") {
          const r = up.getBoundingClientRect();
          edge = { left: Math.max(edge.left, r.left), right: Math.min(edge.right, r.right) };
        }
      }
      if (box.left < edge.left - 1 || box.right > edge.right + 1) cut.push(`${control.textContent.trim() || control.id || control.getAttribute("aria-label")} (${Math.round(box.left)} to ${Math.round(box.right)})`);
    }
    return cut;
  });
  if (clipped.length) throw new Error(`on ${where} these controls are cut off: ${clipped.join(", ")}`);
  const font = await page.evaluate(() => window.plotwrightPage.terminalFont());
  if (font < 13) throw new Error(`on ${where} the terminal's font is ${font} px`);
}

// Clicks a column's name and waits until the table is sorted that way.
async function sortBy(page, column, direction) {
  await page.click(`#results-table thead button:text-is('${column}')`);
  await page.waitForFunction(([column, direction]) => {
    const head = [...document.querySelectorAll("#results-table thead th")].find((th) => th.textContent.startsWith(column));
    return head && head.getAttribute("aria-sort") === direction;
  }, [column, direction], { timeout: WAIT_MS });
}

// The entries the game keeps when those whose ID is a multiple of `every`
// go, and how many the table has.
async function keptAfter(page, every) {
  const ids = await page.evaluate(() => [...document.querySelectorAll("#results-table tbody input")].length &&
    window.plotwrightPage.tableIds());
  return { kept: ids.filter((id) => id % every !== 0).length, of: ids.length };
}

// Pastes the answer followed by the line end and rows of a table.
async function pasteInTerminal(page, answer) {
  await page.click("#terminal");
  await page.evaluate((text) => {
    const data = new DataTransfer();
    data.setData("text/plain", text);
    document.querySelector("#terminal textarea").dispatchEvent(new ClipboardEvent("paste", { clipboardData: data, bubbles: true, cancelable: true }));
  }, `${answer}\n     1, 4,10,       99.82\n     2, 4,10,      101.24\n`);
}

// The page answers its player within 100 ms while the game computes: a
// timer on the page fires on time, and the page answers a question.
async function checkAnswering(page) {
  const lag = await page.evaluate(() => new Promise((resolve) => {
    let last = performance.now(), worst = 0, count = 0;
    const timer = setInterval(() => {
      const now = performance.now();
      worst = Math.max(worst, now - last);
      last = now;
      if (++count === 40) {
        clearInterval(timer);
        resolve(worst);
      }
    }, 25);
  }));
  if (lag > 100) throw new Error(`the page did not answer for ${Math.round(lag)} ms while the game computed`);
}

// Another tab of the page, while this one plays: the game is not offered
// there, and nothing there writes over it.
async function anotherTab(context, url) {
  const other = await context.newPage();
  await other.goto(url);
  await other.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
  const listed = await other.textContent("#saved-list");
  const offered = await other.locator("#saved-list button:text-is('Continue this game')").count();
  if (!listed.includes("open in another tab") || offered !== 0) {
    throw new Error(`another tab lists the game in play as "${listed}" with ${offered} Continue buttons`);
  }
  await other.close();
}

// The page reloaded (a closed tab, a computer that slept): the game is
// offered again and continued.
async function reloadAndContinue(page, url) {
  await page.goto(url);
  await page.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
  await page.evaluate(() => window.plotwrightPage.keepTables());
  await page.click("#saved-list button:text-is('Continue this game')");
  await page.waitForFunction(() => ["running", "waiting", "selection"].includes(document.body.dataset.state) &&
    document.activeElement && document.activeElement.closest("#terminal"), null, { timeout: WAIT_MS });
}

// At the end no key pressed on leaves the game, and a new game asks first
// while the record and the debrief have not been downloaded.
async function endWithoutLosingIt(page) {
  await page.keyboard.press("Enter");
  await page.keyboard.press("Enter");
  await page.keyboard.press(" ");
  if (await page.isVisible("#setup") || !(await page.isVisible("#ended"))) throw new Error("a key pressed at the end left the game");
  await page.click("#new-game");
  if (!(await page.isVisible("#confirm-new"))) throw new Error("a new game did not ask first");
  await page.click("#confirm-stay");
  if (!(await page.isVisible("#ended"))) throw new Error("staying with the game left it");
}

// Clicks "Download record" and returns where the download was saved.
async function downloadRecord(page, folder) {
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download-record")]);
  const file = path.join(fs.mkdtempSync(path.join(folder, "record-")), "Plotwright-record.json");
  await download.saveAs(file);
  return file;
}

// Ticks the rows whose ID is a multiple of `every`, clicking each box;
// returns how many.
async function tick(page, every) {
  const boxes = page.locator("#results-table tbody input[type=checkbox]");
  // The rows are drawn as the table scrolls: down to the last one, as a player would.
  const total = Number((await page.textContent("#results-summary")).split(" of ")[1].split(" ")[0]);
  while (await boxes.count() < total) {
    await page.locator("#results-scroll").evaluate((e) => { e.scrollTop = e.scrollHeight; });
    await page.waitForTimeout(20);
  }
  const count = await boxes.count();
  let ticked = 0;
  for (let i = 0; i < count; i++) {
    const box = boxes.nth(i);
    const id = Number((await box.getAttribute("aria-label")).replace("Drop ", ""));
    if (id % every === 0) {
      await box.check();
      ticked++;
    }
  }
  return ticked;
}

// Saves the table: Done, or Enter in the terminal.
async function save(page, enter) {
  if (enter) {
    await page.click("#terminal");
    await page.keyboard.press("Enter");
  } else {
    await page.click("#done");
  }
}

// A picture chosen as Results.csv: the page says plainly that it is no text
// file, and the game goes on waiting at its selection.
async function uploadPicture(page) {
  const file = path.join(fs.mkdtempSync(path.join(uploads, "picture-")), "photo.png");
  const bytes = Buffer.alloc(2048);
  Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]).copy(bytes);
  for (let i = 8; i < bytes.length; i++) bytes[i] = (i * 7919) % 256;
  fs.writeFileSync(file, bytes);
  const waits = await page.evaluate(() => window.plotwrightPage.waits());
  await page.setInputFiles("#upload-results", file);
  await page.waitForSelector("#upload-problem:not([hidden])", { timeout: WAIT_MS });
  const said = await page.textContent("#upload-problem");
  if (!said.startsWith("photo.png is not a text file") || said.includes("Unicode")) throw new Error("a picture uploaded is told: " + said);
  const state = await page.evaluate(() => [window.plotwrightPage.waits(), document.body.dataset.state]);
  if (state[0] !== waits || state[1] !== "selection") throw new Error("a picture uploaded passed the selection");
}

// Downloads Results.csv, changes the name of its ID column as
// scripted_game.py's "spoil" does, and uploads it.
async function uploadSpoiled(page) {
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download-results")]);
  const file = path.join(fs.mkdtempSync(path.join(uploads, "spoiled-")), "Results.csv");
  await download.saveAs(file);
  fs.writeFileSync(file, fs.readFileSync(file, "latin1").replace("_ID", "-ID"), "latin1");
  await page.setInputFiles("#upload-results", file);
}

// Downloads Results.csv, deletes the rows as a spreadsheet would, uploads it.
async function uploadWithout(page, every, out) {
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download-results")]);
  const file = path.join(fs.mkdtempSync(path.join(uploads, "wait-")), "Results.csv");
  await download.saveAs(file);
  const kept = fs.readFileSync(file, "latin1").split(/(?<=\n)/).filter((line) => {
    const first = line.split(",")[0].trim();
    return !(/^\d+$/.test(first) && Number(first) % every === 0);
  });
  fs.writeFileSync(file, kept.join(""), "latin1");
  await page.setInputFiles("#upload-results", file);  // kept: the page reads it after this returns
}

main().catch((error) => { console.error(error.message || error); process.exit(1); });
