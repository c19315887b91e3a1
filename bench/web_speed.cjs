#!/usr/bin/env node
// Usage: node bench/web_speed.cjs NATIVE NODE_GAME SITE [RUNS]
//
// How long a student waits for the game's longest answers, on the page and
// beside it the same game natively and under node, in one run: the start-up
// of 120,000 and of 240,000 F2 plants (the Enter after "CROSSES.CSV is ready"
// up to the menu), and single-seed descent of 16,000 plants into inbred
// lines (task 3 up to the menu). NATIVE is the Linux game
// (build/default/plotwright), NODE_GAME the node game's plotwright.js
// (build/web/plotwright.js), SITE the page (build/web/site), played in
// headless Chromium through its own controls. Each build plays each case
// RUNS times (default 3), in turn, so that a slow minute of the machine
// falls on all of them; the table gives the best and the median seconds and
// each build's best against the native best.
//
// NODE_PATH must reach playwright-core (build/web/npm/node_modules); the
// browser is PLOTWRIGHT_CHROMIUM, else /usr/bin/chromium.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const { spawn } = require("child_process");
const { chromium } = require("playwright-core");

const CASES = [
  { name: "start-up, 120,000 F2 plants", crosses: 60, plants: 2000, answers: [""] },
  { name: "start-up, 240,000 F2 plants", crosses: 120, plants: 2000, answers: [""] },
  { name: "inbred lines of 16,000 plants", crosses: 8, plants: 2000, answers: ["", "3"] },
];

function crossesText(count, plants) {
  const lines = [];
  for (let first = 1; first <= 15; first++) {
    for (let second = first; second <= 15; second++) lines.push(`${first},${second},${plants}\n`);
  }
  return lines.slice(0, count).join("");
}

// The seconds from the last answer to the wait after it, for a console
// game: a prompt that ends in ':' or a line that asks for <Enter>, after
// which the game writes nothing more for a moment (the time of its last
// output counts).
function timeConsoleGame(command, args, crosses, answers) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "plotwright-speed-"));
  fs.writeFileSync(path.join(folder, "Crosses.csv"), crosses);
  return new Promise((resolve, reject) => {
    const game = spawn(command, [...args, "--seed", "1"], { cwd: folder, stdio: ["pipe", "pipe", "inherit"] });
    let text = "", given = 0, sentAt = 0, lastAt = 0, quiet = null;
    const answered = () => {
      const seconds = (lastAt - sentAt) / 1000;
      text = "";
      if (given === answers.length) {
        game.kill();
        fs.rmSync(folder, { recursive: true, force: true });
        resolve(seconds);
        return;
      }
      sentAt = performance.now();
      game.stdin.write(answers[given++] + "\n");
    };
    game.stdout.on("data", (chunk) => {
      lastAt = performance.now();
      clearTimeout(quiet);
      text += chunk.toString("latin1");
      const tail = text.replace(/\r/g, "");
      if (tail.trimEnd().endsWith(":") || (tail.endsWith("\n") && tail.includes("<Enter>"))) quiet = setTimeout(answered, 300);
    });
    game.on("error", reject);
  });
}

async function timePage(browser, site, crosses, answers) {
  const page = await browser.newPage({ viewport: { width: 1366, height: 768 } });
  try {
    await page.goto("file://" + path.resolve(site, "index.html"));
    await page.waitForSelector('body[data-state="setup"]', { timeout: 120000 });
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "plotwright-speed-")), "Crosses.csv");
    fs.writeFileSync(file, crosses);
    await page.setInputFiles("#open-crosses", file);
    await page.waitForFunction(() => !document.getElementById("start").disabled, null, { timeout: 120000 });
    await page.fill("#seed", "1");
    await page.click("#start");
    for (const [k, answer] of answers.entries()) {
      await page.waitForFunction((k) => window.plotwrightPage.waits() === k + 1, k, { timeout: 120000 });
      await page.click("#terminal");
      if (answer) await page.keyboard.type(answer);
      await page.keyboard.press("Enter");
    }
    await page.waitForFunction((n) => window.plotwrightPage.waits() === n + 1, answers.length, { timeout: 300000 });
    return (await page.evaluate(() => window.plotwrightPage.lastWaitMs())) / 1000;
  } finally {
    await page.close();
  }
}

async function main() {
  const [native, nodeGame, site, runsText] = process.argv.slice(2);
  if (!site) throw new Error("usage: node bench/web_speed.cjs NATIVE NODE_GAME SITE [RUNS]");
  const runs = Number(runsText || 3);
  const browser = await chromium.launch({
    executablePath: process.env.PLOTWRIGHT_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking"],
  });
  const builds = {
    native: (crosses, answers) => timeConsoleGame(path.resolve(native), [], crosses, answers),
    node: (crosses, answers) => timeConsoleGame(process.execPath, ["--no-experimental-fetch", path.resolve(nodeGame)],
      crosses, answers),
    page: (crosses, answers) => timePage(browser, site, crosses, answers),
  };
  try {
    console.log(`${os.cpus().length} x ${os.cpus()[0].model}, node ${process.version}, ` +
      `${await browser.version()} (Chromium), ${new Date().toISOString().slice(0, 10)}`);
    console.log("case".padEnd(32) + Object.keys(builds).map((b) => `${b}: best / median [x native]`.padStart(34)).join(""));
    for (const c of CASES) {
      const crosses = crossesText(c.crosses, c.plants);
      const times = Object.fromEntries(Object.keys(builds).map((b) => [b, []]));
      for (let run = 0; run < runs; run++) {
        for (const [build, time] of Object.entries(builds)) times[build].push(await time(crosses, c.answers));
      }
      const best = (t) => Math.min(...t);
      const median = (t) => [...t].sort((a, b) => a - b)[Math.floor(t.length / 2)];
      const nativeBest = best(times.native);
      console.log(c.name.padEnd(32) + Object.values(times).map((t) =>
        `${best(t).toFixed(2)} s / ${median(t).toFixed(2)} s [${(best(t) / nativeBest).toFixed(2)}]`.padStart(34)).join(""));
    }
  } finally {
    await browser.close();
  }
}

main().catch((error) => { console.error(error.message || error); process.exit(1); });
