#!/usr/bin/env node
// Usage: play_in_browser.cjs SITE CROSSES SEED SCRIPT OUT [SHOTS]
//
// Plays a whole game on the web page in SITE (build/web/site), opened as a
// file in headless Chromium with the network off, through the page's own
// controls as a player would: the crosses of CROSSES (a Crosses.csv) entered
// in the crosses editor, SEED in the seed field, each answer of SCRIPT typed
// in the terminal, and at each selection the rows ticked and Done pressed.
// SCRIPT is what tools/scripted_game.py plays: one wait per line, actions
// before '|' and the answer after it. Actions here:
//     drop:N    tick the rows whose ID is a multiple of N, then press Done
//     upload    instead of ticking: download Results.csv, delete those rows
//               from the file and upload it
//     enter     after ticking, press Enter in the terminal instead of Done
// OUT receives console.txt (the console as the game wrote it) and every
// Results.csv the game wrote, as first seen at a wait (results-01.csv, ...),
// as scripted_game.py does, so the two can be compared byte for byte, and
// record.json, the game's record as "Download record" gives it at the end
// (it is also downloaded half-way, and must be a record then too), and
// debrief.html, the debrief the page shows at the end. SHOTS,
// if given, receives a screenshot of each screen.
//
// The browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium; playwright-core
// comes from the web build's npm folder (NODE_PATH).
"use strict";
const fs = require("fs");
const path = require("path");
const { chromium } = require("playwright-core");

const WAIT_MS = 120000;
const uploads = fs.mkdtempSync(path.join(require("os").tmpdir(), "plotwright-upload-"));

async function main() {
  const [site, crossesFile, seed, scriptFile, out, shots] = process.argv.slice(2);
  if (!out) throw new Error("usage: play_in_browser.cjs SITE CROSSES SEED SCRIPT OUT [SHOTS]");
  fs.mkdirSync(out, { recursive: true });
  if (shots) fs.mkdirSync(shots, { recursive: true });
  const steps = fs.readFileSync(scriptFile, "utf8").split("\n")
    .map((line) => line.split("#")[0]).filter((line) => line.trim() !== "");

  const browser = await chromium.launch({
    executablePath: process.env.PLOTWRIGHT_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  });
  try {
    const context = await browser.newContext({ viewport: { width: 1366, height: 768 }, acceptDownloads: true });
    await context.setOffline(true);
    const fetched = [];
    await context.route(/^(?!file:)/, (route) => { fetched.push(route.request().url()); route.abort(); });
    const page = await context.newPage();
    const problems = [];
    page.on("pageerror", (error) => problems.push(error.message));
    const shot = async (name) => { if (shots) await page.screenshot({ path: path.join(shots, name + ".png") }); };

    await page.goto("file://" + path.resolve(site, "index.html"));
    await page.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
    await shot("1-setup");

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
    // A seed the game does not take: the game's own words, on the start screen.
    await page.fill("#seed", "12x");
    await page.click("#start");
    await page.waitForFunction(() => document.getElementById("start-problem").textContent.includes("A seed is a whole number"),
      null, { timeout: WAIT_MS });
    await page.fill("#seed", seed);
    await shot("2-crosses");
    await page.click("#start");

    let selections = 0;
    for (const [k, step] of steps.entries()) {
      const bar = step.indexOf("|");
      const actions = step.slice(0, bar).trim().split(/\s+/).filter(Boolean);
      const answer = step.slice(bar + 1).trim();
      // The game's (k+1)th wait for a line.
      await page.waitForFunction((k) => window.plotwrightPage.waits() === k + 1 &&
        ["waiting", "selection"].includes(document.body.dataset.state), k, { timeout: WAIT_MS });
      const drop = actions.find((a) => a.startsWith("drop:"));
      if (drop) {
        const every = Number(drop.slice(5));
        if (++selections === 1) {
          // Sorted by the predicted yield, best first, as a player would look at it.
          await page.click("#results-table thead button:text-is('Yield_Pred')");
          await page.click("#results-table thead button:text-is('Yield_Pred')");
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
        if (actions.includes("upload")) await uploadWithout(page, every, out);
        else await tickAndSave(page, every, actions.includes("enter"));
      } else {
        await page.click("#terminal");
        if (answer) await page.keyboard.type(answer);
        await page.keyboard.press("Enter");
      }
      if (k === 1) {
        await shot("3-menu");
        // The record can be had at any time, the game half-played.
        const early = JSON.parse(fs.readFileSync(await downloadRecord(page, uploads), "utf8"));
        if (early.record !== "Plotwright game record" || early.ended !== "") {
          throw new Error("the record of a game in play: " + JSON.stringify(early).slice(0, 200));
        }
      }
    }
    await page.waitForSelector('body[data-state="ended"]', { timeout: WAIT_MS });
    await shot("6-end");
    await page.setViewportSize({ width: 1024, height: 768 });
    await shot("7-end-on-a-tablet");

    fs.copyFileSync(await downloadRecord(page, uploads), path.join(out, "record.json"));
    // The debrief is shown below the game, and is the one the game wrote.
    await page.click("#show-debrief");
    await page.waitForTimeout(600);
    await shot("8-debrief");
    fs.writeFileSync(path.join(out, "debrief.html"), await page.locator("#debrief-frame").getAttribute("srcdoc"));
    const bytes = (b64) => Buffer.from(b64, "base64");
    fs.writeFileSync(path.join(out, "console.txt"), bytes(await page.evaluate(() => window.plotwrightPage.console())));
    const seen = await page.evaluate(() => window.plotwrightPage.resultsSeen());
    seen.forEach((b64, i) => fs.writeFileSync(path.join(out, `results-${String(i + 1).padStart(2, "0")}.csv`), bytes(b64)));
    if (fetched.length) throw new Error("the page asked the network for " + fetched.join(", "));
    if (problems.length) throw new Error("the page failed: " + problems.join("; "));
    console.log(`${out}: ${seen.length} Results.csv files`);
  } finally {
    await browser.close();
    fs.rmSync(uploads, { recursive: true, force: true });
  }
}

// Clicks "Download record" and returns where the download was saved.
async function downloadRecord(page, folder) {
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("#download-record")]);
  const file = path.join(fs.mkdtempSync(path.join(folder, "record-")), "Plotwright-record.json");
  await download.saveAs(file);
  return file;
}

// Ticks the rows whose ID is a multiple of `every`, clicking each box, then
// presses Done, or Enter in the terminal.
async function tickAndSave(page, every, enter) {
  const boxes = page.locator("#results-table tbody input[type=checkbox]");
  // The rows are drawn as the table scrolls: down to the last one, as a player would.
  const total = Number((await page.textContent("#results-summary")).split(" of ")[1].split(" ")[0]);
  while (await boxes.count() < total) {
    await page.locator("#results-scroll").evaluate((e) => { e.scrollTop = e.scrollHeight; });
    await page.waitForTimeout(20);
  }
  const count = await boxes.count();
  for (let i = 0; i < count; i++) {
    const box = boxes.nth(i);
    const id = Number((await box.getAttribute("aria-label")).replace("Drop ", ""));
    if (id % every === 0) await box.check();
  }
  if (enter) {
    await page.click("#terminal");
    await page.keyboard.press("Enter");
  } else {
    await page.click("#done");
  }
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
