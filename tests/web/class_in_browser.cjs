#!/usr/bin/env node
// Usage: class_in_browser.cjs SITE FOLDER OUT
//
// Opens the web page in SITE (build/web/site) as a file in headless Chromium
// with the network off, chooses FOLDER (a class's records, a folder per
// student) in its class summary, and saves what the page gives for download
// in OUT under FOLDER's own name, where the console writes them:
// Class-summary.html, Class-summary.csv, and each record's
// Plotwright-debrief.html in its student's folder, from the zip of the
// debriefs. A screenshot goes to OUT/class-summary.png.
//
// The browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium; playwright-core
// comes from the web build's npm folder (NODE_PATH).
"use strict";
const fs = require("fs");
const path = require("path");
const { execFileSync } = require("child_process");
const { launchChromium, openOffline } = require("./offline_page.cjs");

const WAIT_MS = 120000;

async function main() {
  const [site, folder, out] = process.argv.slice(2);
  if (!out) throw new Error("usage: class_in_browser.cjs SITE FOLDER OUT");
  fs.mkdirSync(out, { recursive: true });
  const browser = await launchChromium();
  try {
    const opened = await openOffline(browser, site, { viewport: { width: 1366, height: 768 }, acceptDownloads: true });
    const page = opened.page;
    await page.goto(opened.url);
    await page.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
    await page.click("#class-mode");
    await page.setInputFiles("#class-folder", folder);
    await page.waitForSelector("#class-results:not([hidden])", { timeout: WAIT_MS });
    await page.screenshot({ path: path.join(out, "class-summary.png") });
    const save = async (button, name) => {
      const [download] = await Promise.all([page.waitForEvent("download"), page.click(button)]);
      await download.saveAs(path.join(out, name));
    };
    fs.mkdirSync(path.join(out, path.basename(folder)), { recursive: true });
    await save("#class-download-html", path.join(path.basename(folder), "Class-summary.html"));
    await save("#class-download-csv", path.join(path.basename(folder), "Class-summary.csv"));
    await save("#class-download-debriefs", "debriefs.zip");
    execFileSync("unzip", ["-q", "-o", path.join(out, "debriefs.zip"), "-d", out],
      { env: { ...process.env, LC_ALL: "C.UTF-8" } });
    fs.rmSync(path.join(out, "debriefs.zip"));
    opened.mustHaveWorkedOffline();
    console.log((await page.textContent("#class-status")).trim());
  } finally {
    await browser.close();
  }
}

main().catch((error) => { console.error(error.message || error); process.exit(1); });
