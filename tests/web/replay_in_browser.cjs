#!/usr/bin/env node
// Usage: replay_in_browser.cjs SITE RECORD [SHOT]
//
// Opens the web page in SITE (build/web/site) as a file in headless
// Chromium with the network off, chooses RECORD (a Plotwright-record.json
// made anywhere) in "Replay a record", and prints what the page then says.
// Exits 0 when the page says the replay is identical. SHOT, if given,
// receives a screenshot of the result.
//
// The browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium; playwright-core
// comes from the web build's npm folder (NODE_PATH).
"use strict";
const { launchChromium, openOffline } = require("./offline_page.cjs");

const WAIT_MS = 120000;

async function main() {
  const [site, record, shot] = process.argv.slice(2);
  if (!record) throw new Error("usage: replay_in_browser.cjs SITE RECORD [SHOT]");
  const browser = await launchChromium();
  try {
    const { page, url } = await openOffline(browser, site, { viewport: { width: 1366, height: 768 } });
    await page.goto(url);
    await page.waitForSelector('body[data-state="setup"]', { timeout: WAIT_MS });
    await page.setInputFiles("#replay-record", record);
    await page.waitForFunction(() => / replay|could not/.test(document.getElementById("replay-result").textContent) &&
      !/Replaying/.test(document.getElementById("replay-result").textContent), null, { timeout: WAIT_MS });
    const said = (await page.textContent("#replay-result")).trim();
    if (shot) {
      await page.locator("#replay-result").scrollIntoViewIfNeeded();
      await page.screenshot({ path: shot });
    }
    console.log(said);
    return said.endsWith(": replay identical") ? 0 : 1;
  } finally {
    await browser.close();
  }
}

main().then((status) => process.exit(status), (error) => {
  console.error(error.message || error);
  process.exit(2);
});
