// The page as the browser tests open it: the site's index.html as a file in
// headless Chromium with the network off. Every request that is not for a
// file is refused and remembered, and every error the page throws is kept,
// so that a test can say at its end that the page asked the network for
// nothing and never failed (`mustHaveWorkedOffline`).
//
// The browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium; playwright-core
// comes from the web build's npm folder (NODE_PATH).
"use strict";
const path = require("path");
const { chromium } = require("playwright-core");

function launchChromium() {
  return chromium.launch({
    executablePath: process.env.PLOTWRIGHT_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync"],
  });
}

// A new offline context of `browser` with a first page, not yet opened.
async function openOffline(browser, site, contextOptions) {
  const context = await browser.newContext(contextOptions);
  await context.setOffline(true);
  const fetched = [];
  await context.route(/^(?!file:)/, (route) => { fetched.push(route.request().url()); route.abort(); });
  const page = await context.newPage();
  const problems = [];
  page.on("pageerror", (error) => problems.push(error.message));
  return {
    context,
    page,
    url: "file://" + path.resolve(site, "index.html"),
    mustHaveWorkedOffline() {
      if (fetched.length) throw new Error("the page asked the network for " + fetched.join(", "));
      if (problems.length) throw new Error("the page failed: " + problems.join("; "));
    },
  };
}

module.exports = { launchChromium, openOffline };
