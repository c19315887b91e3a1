// Joins the page module's loader (plotwright-web.js), its WebAssembly
// (plotwright-web.wasm, as base64) and the worker's own code
// (web/plotwright-worker.js) into one function, plotwrightEngine, in
// plotwright-engine.js. The page loads it as a plain script and starts a Web
// Worker from the function's text, so the engine needs no fetch() and runs
// from a page opened as a file as well as from any web server.
//
// Usage: node PageEngine.cjs LOADER WASM WORKER OUT
"use strict";
const fs = require("fs");

const [loader, wasm, worker, out] = process.argv.slice(2);
if (!out) throw new Error("usage: node PageEngine.cjs LOADER WASM WORKER OUT");
fs.writeFileSync(out, [
  "// The Plotwright engine: the game's module and the worker that runs it (web/plotwright-worker.js),",
  "// one function whose text the page starts as a Web Worker. Made by cmake/PageEngine.cjs.",
  "function plotwrightEngine() {",
  `const PLOTWRIGHT_WASM = "${fs.readFileSync(wasm).toString("base64")}";`,
  fs.readFileSync(loader, "utf8"),
  fs.readFileSync(worker, "utf8"),
  "}",
  "",
].join("\n"));
