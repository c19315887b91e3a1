// The Plotwright engine: the game's C++ core, run in a Web Worker, away from
// the page, so that the page answers its player while the core computes. The
// build joins this file with the module's loader (createPlotwright) and the
// WebAssembly (PLOTWRIGHT_WASM, in base64) inside one function,
// plotwrightEngine, and the page starts a worker from that function's own
// text: no fetch(), so it also runs from a page opened as a file.
//
// Each run of the core (a game, the founders table, a check of the crosses,
// a replay, a class summary) is a fresh module instance with a folder of its
// own in memory (/game). The page and the engine speak by messages:
//
//   page to engine:
//     {type: "run", run, args, files, quiet, collect, keepTables}
//                                              start a run; files: name to bytes;
//                                              collect: files to hand back at the
//                                              end; keepTables: every new
//                                              Results.csv also with its wait
//     {type: "answer", run, line, drop, upload} the player's line for the
//                                              waiting read: first the kept
//                                              rows of the table saved (drop:
//                                              the entries ticked), or the
//                                              uploaded File, checked to be text
//     {type: "sort", run, column, ascending}   the table's entries in that order
//     {type: "kept-file", run, drop}           the table without the ticked rows
//     {type: "stop", run}                      the run's input ends
//   engine to page:
//     {type: "output", run, stream, bytes}     console output, a line or a prompt at a time
//     {type: "wait", run, table, fresh}        the game waits for a line; table:
//                                              Results.csv parsed (below) if it
//                                              is new since the last wait, or at
//                                              the first wait the one in the
//                                              folder, else null; fresh: the new
//                                              file's bytes, with keepTables
//     {type: "accepted", run}                  the answer has reached the game
//     {type: "file", run, name, bytes}         the game (or a save) changed a file
//                                              the page keeps: the record,
//                                              Results.csv, the debrief
//     {type: "kept", run, kept, refused}       the game read a saved Results.csv:
//                                              how many entries it kept
//     {type: "refused", run, name, why}        an upload that is no text file
//     {type: "ended", run, status, files}      the run is over; files: the
//                                              record, the debrief, any other
//                                              file asked for in "run"
//     {type: "failed", run, what}              the core stopped unexpectedly

const GAME_FOLDER = "/game";
const RESULTS_FILE = "Results.csv";
const RECORD_FILE = "Plotwright-record.json";
const DEBRIEF_FILE = "Plotwright-debrief.html";
const KEPT_FILES = [RECORD_FILE, RESULTS_FILE, DEBRIEF_FILE];

// The WebAssembly is compiled once; each run instantiates it afresh, so the
// code the browser optimised while one run computed serves the next.
let compiled = null;
function compiledModule() {
  if (!compiled) {
    const text = atob(PLOTWRIGHT_WASM);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    compiled = WebAssembly.compile(bytes);
  }
  return compiled;
}

const runs = new Map();

function post(message, transfer) {
  self.postMessage(message, transfer || []);
}

function startRun({ run, args, files, quiet, collect, keepTables }) {
  const state = {
    run, quiet, collect: collect || [], keepTables: !!keepTables, module: null, input: [], reader: null,
    live: false, known: null, table: null, readsOfResults: 0,
  };
  runs.set(run, state);
  const finish = (status) => {
    if (!runs.has(run)) return;
    runs.delete(run);
    const ended = {};
    for (const name of [RECORD_FILE, DEBRIEF_FILE, ...state.collect]) {
      const bytes = readFile(state, name);
      if (bytes) ended[name] = bytes;
    }
    post({ type: "ended", run, status, files: ended }, Object.values(ended).map((bytes) => bytes.buffer));
  };
  createPlotwright({
    arguments: args,
    instantiateWasm(imports, receive) {
      compiledModule().then((module) => WebAssembly.instantiate(module, imports)).then(
        (instance) => receive(instance),
        (error) => post({ type: "failed", run, what: String(error.message || error) }));
      return {};
    },
    preRun: [(module) => {
      state.module = module;
      makeFolders(module.FS, files);
      if (files[RESULTS_FILE]) state.known = toBytes(files[RESULTS_FILE]);
      watchFiles(state);
    }],
    readConsole: (capacity) => read(state, capacity),
    writeConsole: (stream, bytes) => post({ type: "output", run, stream, bytes }, [bytes.buffer]),
    onExit: finish,
    gameEnded: finish,
    onAbort: (what) => {
      runs.delete(run);
      post({ type: "failed", run, what: String(what) });
    },
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
  }).catch((error) => {
    if (runs.delete(run)) post({ type: "failed", run, what: String(error.message || error) });
  });
}

// The run's folder: /game, holding the files given (a name with slashes in a
// folder of its own, as a class's records are).
function makeFolders(fs, files) {
  fs.mkdir(GAME_FOLDER);
  fs.chdir(GAME_FOLDER);
  for (const [name, content] of Object.entries(files || {})) {
    const parts = name.split("/");
    for (let i = 1; i < parts.length; i++) {
      const folder = parts.slice(0, i).join("/");
      if (!fs.analyzePath(folder).exists) fs.mkdir(folder);
    }
    fs.writeFile(name, toBytes(content));
  }
}

function toBytes(content) {
  return typeof content === "string" ? new TextEncoder().encode(content) : content;
}

function readFile(state, name) {
  const fs = state.module && state.module.FS;
  if (!fs) return null;
  const path = `${GAME_FOLDER}/${name}`;
  try {
    return fs.analyzePath(path).exists ? fs.readFile(path) : null;
  } catch (error) {
    return null;
  }
}

// The game writes each file whole under another name and renames it into
// place: every such rename of a file the page keeps is told at once, even
// while the game goes on computing, so a page closed then loses nothing. A
// resumed game first replays its record, writing files the player has
// already seen; the page hears of them once the game is live (its first
// wait).
function watchFiles(state) {
  const fs = state.module.FS;
  const rename = fs.rename;
  fs.rename = function (from, to) {
    const result = rename.call(fs, from, to);
    const name = to.split("/").pop();
    if (state.live && KEPT_FILES.includes(name)) fileChanged(state, name);
    return result;
  };
}

function fileChanged(state, name) {
  const bytes = readFile(state, name);
  if (!bytes) return;
  if (name === RECORD_FILE) countKept(state, bytes);
  post({ type: "file", run: state.run, name, bytes }, [bytes.buffer]);
}

// The game's own reading of a saved Results.csv is in its record: the last
// "read" of Results.csv keeps the IDs it took as runs [first, last], or the
// text it refused.
function countKept(state, bytes) {
  const reads = resultsReads(bytes);
  if (reads.length <= state.readsOfResults) return;
  state.readsOfResults = reads.length;
  const last = reads[reads.length - 1];
  const kept = Array.isArray(last.kept) ? last.kept.reduce((n, [first, end]) => n + end - first + 1, 0) : 0;
  post({ type: "kept", run: state.run, kept, refused: !Array.isArray(last.kept) });
}

function resultsReads(bytes) {
  try {
    const record = JSON.parse(new TextDecoder().decode(bytes));
    return (record.events || []).filter((e) => e.read === RESULTS_FILE && e.problem === "none");
  } catch (error) {
    return [];
  }
}

// A read of the console: the bytes the page has given, else a wait for them.
function read(state, capacity) {
  if (state.quiet) return Promise.resolve(new Uint8Array(0));
  if (state.input.length > 0) return Promise.resolve(take(state, capacity));
  if (!state.live) {
    // The game is live: the record as it stands (a continued game's
    // selections already counted).
    state.live = true;
    const record = readFile(state, RECORD_FILE);
    if (record) {
      state.readsOfResults = resultsReads(record).length;
      post({ type: "file", run: state.run, name: RECORD_FILE, bytes: record }, [record.buffer]);
    }
  }
  // Results.csv as the game left it: a table new since the last wait, or
  // at a game's first wait (a continued game's) the table in the folder.
  const results = readFile(state, RESULTS_FILE);
  let table = null;
  const fresh = !!results && !sameBytes(results, state.known);
  if (results && (fresh || !state.table)) {
    state.known = results;
    state.table = parseTable(results);
    table = state.table && state.table.shown;
    const copy = results.slice();
    if (fresh) post({ type: "file", run: state.run, name: RESULTS_FILE, bytes: copy }, [copy.buffer]);
  }
  post({ type: "wait", run: state.run, table, fresh: fresh && state.keepTables ? results : null });
  return new Promise((resolve) => {
    state.reader = () => {
      state.reader = null;
      resolve(take(state, capacity));
    };
  });
}

function take(state, capacity) {
  const first = state.input[0];
  const bytes = first.subarray(0, capacity);
  if (bytes.length === first.length) state.input.shift();
  else state.input[0] = first.subarray(bytes.length);
  return bytes;
}

function answer(state, { line, drop, upload }) {
  if (!state.reader) return;
  if (upload) {
    let bytes;
    try {
      bytes = new Uint8Array(new FileReaderSync().readAsArrayBuffer(upload));
    } catch (error) {
      post({ type: "refused", run: state.run, name: upload.name, why: "unreadable" });
      return;
    }
    const kind = notText(bytes);
    if (kind) {
      post({ type: "refused", run: state.run, name: upload.name, why: kind });
      return;
    }
    saveResults(state, bytes);
  } else if (drop && state.table) {
    saveResults(state, keptFile(state.table, drop));
  }
  state.input.push(new TextEncoder().encode(line));
  post({ type: "accepted", run: state.run });
  state.reader();
}

function saveResults(state, bytes) {
  state.module.FS.writeFile(`${GAME_FOLDER}/${RESULTS_FILE}`, bytes);
  state.known = bytes;
  post({ type: "file", run: state.run, name: RESULTS_FILE, bytes: bytes.slice() });
}

// What kind of file, other than text, `bytes` are: a picture, a workbook, a
// document, or bytes no text holds; null for text. A spreadsheet's "Unicode
// text" (UTF-16, with its byte-order mark) counts as text: the game itself
// says what to do with it.
function notText(bytes) {
  const starts = (...signature) => signature.every((b, i) => bytes[i] === b);
  if (starts(0xff, 0xfe) || starts(0xfe, 0xff)) return null;
  if (starts(0x89, 0x50, 0x4e, 0x47) || starts(0xff, 0xd8, 0xff) || starts(0x47, 0x49, 0x46, 0x38) ||
      (starts(0x52, 0x49, 0x46, 0x46) && bytes[8] === 0x57) || starts(0x42, 0x4d) ||
      (bytes[4] === 0x66 && bytes[5] === 0x74 && bytes[6] === 0x79 && bytes[7] === 0x70)) return "picture";
  if (starts(0x50, 0x4b, 0x03, 0x04) || starts(0xd0, 0xcf, 0x11, 0xe0)) return "workbook";
  if (starts(0x25, 0x50, 0x44, 0x46)) return "document";
  // Text holds no NUL and few other control characters beside tab, line
  // feed, carriage return and form feed.
  const sample = bytes.subarray(0, 65536);
  let control = 0;
  for (const b of sample) {
    if (b === 0) return "binary";
    if ((b < 0x20 && b !== 9 && b !== 10 && b !== 13 && b !== 12) || b === 0x7f) control++;
  }
  return control > sample.length / 100 ? "binary" : null;
}

function sameBytes(a, b) {
  if (!a || !b || a.length !== b.length) return false;
  for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
  return true;
}

// ---------------------------------------------------------------------
// Results.csv as a table: the header rows as they are, the column names, and
// the entries (the rows whose first field is an ID). The page gets the text
// and where each line starts, and draws only the rows it shows; sorting and
// saving happen here, on the engine's side.

function parseTable(bytes) {
  const text = new TextDecoder().decode(bytes);
  const starts = [0];
  for (let at = text.indexOf("\n"); at !== -1; at = text.indexOf("\n", at + 1)) starts.push(at + 1);
  if (starts[starts.length - 1] === text.length) starts.pop();
  const fixed = [];
  let names = null;
  const entryLines = [], ids = [];
  const rows = [];
  for (let line = 0; line < starts.length; line++) {
    const end = line + 1 < starts.length ? starts[line + 1] - 1 : text.length;
    const fields = text.slice(starts[line], end).replace(/\r$/, "").split(",").map((f) => f.trim());
    if (/^\d+$/.test(fields[0])) {
      entryLines.push(line);
      ids.push(Number(fields[0]));
      rows.push(fields);
    } else if (/_ID$/.test(fields[0])) {
      names = fields;
    } else if (fields.some((f) => f !== "")) {
      fixed.push(fields);
    }
  }
  if (!names) return null;
  const columns = names.map((_, c) => Float64Array.from(rows, (fields) => {
    const v = fields[c];
    return v === undefined || v === "" ? NaN : Number(v);
  }));
  return {
    bytes,
    lineStarts: starts,
    entryLines: Int32Array.from(entryLines),
    columns,
    shown: {
      text,
      fixed,
      names,
      entryLines: Int32Array.from(entryLines),
      lineStarts: Uint32Array.from(starts),
      ids: Float64Array.from(ids),
    },
  };
}

// The entries in the order of a column, ties by ID; missing values last.
function sortedOrder(table, column, ascending) {
  const values = table.columns[column];
  const ids = table.columns[0];
  const order = new Int32Array(values.length);
  for (let i = 0; i < order.length; i++) order[i] = i;
  const sign = ascending ? 1 : -1;
  order.sort((a, b) => {
    const x = values[a], y = values[b];
    if (Number.isNaN(x) || Number.isNaN(y)) return Number.isNaN(x) - Number.isNaN(y) || ids[a] - ids[b];
    return (x - y) * sign || ids[a] - ids[b];
  });
  return order;
}

// The file the player saves: the game's file without the lines of the
// ticked entries, every other line exactly as the game wrote it, each ended
// by a line feed. Lines are counted alike in the bytes and in the text the
// page shows (a line feed is never part of another letter in UTF-8).
function keptFile(table, drop) {
  const bytes = table.bytes;
  const dropped = new Uint8Array(table.lineStarts.length);
  for (let e = 0; e < drop.length; e++) if (drop[e]) dropped[table.entryLines[e]] = 1;
  const out = new Uint8Array(bytes.length + 1);
  let at = 0, start = 0, line = 0;
  for (let i = 0; i <= bytes.length; i++) {
    if (i < bytes.length ? bytes[i] !== 10 : start === bytes.length) continue;
    if (!dropped[line]) {
      out.set(bytes.subarray(start, i), at);
      at += i - start;
      out[at++] = 10;
    }
    start = i + 1;
    line++;
  }
  return out.slice(0, at);
}

self.onmessage = (event) => {
  const message = event.data;
  const state = runs.get(message.run);
  switch (message.type) {
    case "run":
      startRun(message);
      break;
    case "answer":
      if (state) answer(state, message);
      break;
    case "sort":
      if (state && state.table) {
        const order = sortedOrder(state.table, message.column, message.ascending);
        post({ type: "order", run: message.run, order, column: message.column, ascending: message.ascending },
          [order.buffer]);
      }
      break;
    case "kept-file":
      if (state && state.table) {
        const bytes = keptFile(state.table, message.drop);
        post({ type: "kept-file", run: message.run, bytes }, [bytes.buffer]);
      }
      break;
    case "stop":
      if (state) {
        state.quiet = true;
        if (state.reader) state.reader();
      }
      break;
  }
};

compiledModule();
