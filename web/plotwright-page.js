// The Plotwright page: the game's own C++ core, compiled to WebAssembly
// (plotwright-web.js), played in a terminal, with a crosses editor before the
// game and a results table at each selection. The page decides nothing of
// the game: the founders table, the checks of the crosses and every text
// come from the core, which runs once for each of them.
//
// A plain script, not a module, so that the page also plays when opened as a
// file (from a USB stick), where browsers refuse module scripts.
(function () {
  "use strict";

  const FOUNDERS = 15;
  const CROSSES_FILE = "Crosses.csv";
  const RESULTS_FILE = "Results.csv";
  const GAME_FOLDER = "/game";
  const RECORD_FILE = "Plotwright-record.json";
  const DEBRIEF_FILE = "Plotwright-debrief.html";

  const $ = (id) => document.getElementById(id);
  const encoder = new TextEncoder();

  // ---------------------------------------------------------------------
  // Running the core

  // Runs the core once with `args` in a folder holding `files` (name to
  // text). `console` supplies its input (readConsole) and takes its output
  // (writeConsole); the promise resolves with the exit status, once the
  // program has ended (a run that waited for input says so itself, one that
  // did not exits), and with the module, whose folder can still be read.
  function runCore(args, files, console) {
    return new Promise((resolve, reject) => {
      let module = null;
      createPlotwright({
        arguments: args,
        preRun: [(m) => {
          module = m;
          m.FS.mkdir(GAME_FOLDER);
          m.FS.chdir(GAME_FOLDER);
          for (const [name, text] of Object.entries(files)) m.FS.writeFile(name, text);
        }],
        readConsole: (capacity) => console.read(capacity, module),
        writeConsole: (stream, bytes) => console.write(stream, bytes, module),
        onExit: (status) => resolve({ status, module }),
        gameEnded: (status) => resolve({ status, module }),
        onAbort: (what) => reject(new Error("The game stopped: " + what)),
        print: (text) => window.console.log(text),
        printErr: (text) => window.console.warn(text),
      }).catch(reject);
    });
  }

  // A run of the core with no player: its input is empty, its output kept.
  async function runQuietly(args, files) {
    const out = [], err = [];
    const { status } = await runCore(args, files, {
      read: () => Promise.resolve(new Uint8Array(0)),
      write: (stream, bytes) => (stream === 2 ? err : out).push(bytes),
    });
    const text = (chunks) => new TextDecoder().decode(concat(chunks));
    return { status, out: text(out), err: text(err) };
  }

  function concat(chunks) {
    const all = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
    let at = 0;
    for (const c of chunks) { all.set(c, at); at += c.length; }
    return all;
  }

  function sameBytes(a, b) {
    if (!a || !b || a.length !== b.length) return false;
    for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
    return true;
  }

  function download(name, bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const link = document.createElement("a");
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }

  // ---------------------------------------------------------------------
  // The setup screen: the founders table and the crosses editor

  const crosses = [];  // {first, second, plants}, in the order of Crosses.csv
  let crossesUsable = false;
  let checkRun = 0;

  function crossesText() {
    return crosses.map((c) => `${c.first},${c.second},${c.plants}\n`).join("");
  }

  async function showFounders() {
    const { status, out } = await runQuietly(["--founders"], {});
    if (status !== 0) throw new Error(out);
    const lines = out.split("\n");
    $("founders-caption").textContent = lines[0].trim() + ".";
    const body = $("founders").tBodies[0];
    for (const line of lines) {
      const m = /^\s*Line\s+(\d+)\s+(\S+)\s+(\S+)\s+(\S+)\s+(yes|no)\s*$/.exec(line);
      if (!m) continue;
      const row = body.insertRow();
      if (m[5] === "yes") row.className = "resistant";
      for (const value of m.slice(1)) row.insertCell().textContent = value;
    }
  }

  function founderOptions(select, chosen) {
    for (let f = 1; f <= FOUNDERS; f++) select.add(new Option(`Line ${f}`, String(f), false, f === chosen));
  }

  function showCrosses() {
    const body = $("crosses").tBodies[0];
    body.replaceChildren();
    crosses.forEach((cross, i) => {
      const row = body.insertRow();
      row.insertCell().textContent = String(i + 1);
      row.insertCell().textContent = `Line ${cross.first}`;
      row.insertCell().textContent = `Line ${cross.second}`;
      const plants = document.createElement("input");
      plants.type = "number";
      plants.min = "0";
      plants.step = "1";
      plants.value = String(cross.plants);
      plants.setAttribute("aria-label", `F2 plants of cross ${i + 1}`);
      plants.addEventListener("change", () => {
        const n = wholeNumber(plants.value);
        if (n === null) { plants.value = String(cross.plants); return; }
        cross.plants = n;
        checkCrosses();
      });
      row.insertCell().append(plants);
      const remove = document.createElement("button");
      remove.type = "button";
      remove.textContent = "Remove";
      remove.setAttribute("aria-label", `Remove cross ${i + 1}`);
      remove.addEventListener("click", () => { crosses.splice(i, 1); showCrosses(); checkCrosses(); });
      row.insertCell().append(remove);
    });
  }

  function wholeNumber(text) {
    return /^\s*\d{1,9}\s*$/.test(text) ? Number(text) : null;
  }

  // The game's own check of the crosses, run after each change; the last
  // one started is the one shown.
  async function checkCrosses() {
    const run = ++checkRun;
    crossesUsable = false;
    updateStart();
    const { status, out } = await runQuietly(["--check-crosses"], { [CROSSES_FILE]: crossesText() });
    if (run !== checkRun) return;
    crossesUsable = status === 0;
    const check = $("crosses-check");
    check.textContent = out.replace(/^\s*\n/, "").replace(/\n\s*$/, "");
    check.classList.toggle("problem", !crossesUsable);
    updateStart();
  }

  function updateStart() {
    $("start").disabled = !crossesUsable;
  }

  function addCross(event) {
    event.preventDefault();
    const plants = wholeNumber($("cross-plants").value);
    if (plants === null) {
      $("add-problem").textContent = "Type the number of F2 plants as a whole number, for example 200.";
      $("cross-plants").focus();
      return;
    }
    $("add-problem").textContent = "";
    crosses.push({ first: Number($("first-founder").value), second: Number($("second-founder").value), plants });
    showCrosses();
    checkCrosses();
  }

  function setUpSetup() {
    founderOptions($("first-founder"), 1);
    founderOptions($("second-founder"), 2);
    for (const line of (window.PLOTWRIGHT_SAMPLE_CROSSES || "").split("\n")) {
      const m = /^(\d+),(\d+),(\d+)/.exec(line.trim());
      if (m) crosses.push({ first: Number(m[1]), second: Number(m[2]), plants: Number(m[3]) });
    }
    showCrosses();
    $("add-cross").addEventListener("submit", addCross);
    $("clear-crosses").addEventListener("click", () => { crosses.length = 0; showCrosses(); checkCrosses(); });
    $("download-crosses").addEventListener("click", () => download(CROSSES_FILE, crossesText(), "text/csv"));
    $("start").addEventListener("click", startGame);
    $("seed").addEventListener("keydown", (e) => { if (e.key === "Enter" && !$("start").disabled) startGame(); });
  }

  // ---------------------------------------------------------------------
  // The terminal and its line editor

  let terminal = null;
  let fit = null;

  function setUpTerminal() {
    terminal = new Terminal({
      convertEol: true,
      cursorBlink: true,
      fontFamily: 'ui-monospace, "DejaVu Sans Mono", Consolas, monospace',
      fontSize: 15,
      scrollback: 10000,
      theme: { background: "#101411", foreground: "#e8efe6" },
    });
    fit = new FitAddon.FitAddon();
    terminal.loadAddon(fit);
    terminal.open($("terminal"));
    terminal.onData(editLine);
    // Tab leaves the terminal for the page's buttons, as elsewhere on a page.
    terminal.attachCustomKeyEventHandler((event) => event.key !== "Tab");
    window.addEventListener("resize", fitTerminal);
  }

  // The console lines are up to 80 characters wide: the font is made as
  // large as lets 80 columns fit, then the terminal fills its pane.
  function fitTerminal() {
    const width = $("terminal").clientWidth;
    if (width === 0) return;
    const size = Math.max(10, Math.min(16, Math.floor(width / (81 * 0.61))));
    if (terminal.options.fontSize !== size) terminal.options.fontSize = size;
    fit.fit();
  }

  const editor = { text: "", cursor: 0 };
  const KEYS = {
    "\x1b[D": "left", "\x1b[C": "right", "\x1b[H": "home", "\x1bOH": "home", "\x1b[1~": "home",
    "\x1b[F": "end", "\x1bOF": "end", "\x1b[4~": "end", "\x1b[3~": "delete",
  };

  // The player's typing: the answer is edited on its line (Backspace,
  // Delete, the arrows, Home, End, Ctrl-U) and sent with Enter, as a
  // console does before a program reads the line.
  function editLine(data) {
    if (!game || game.ended) return;
    let i = 0;
    while (i < data.length) {
      const key = Object.keys(KEYS).find((k) => data.startsWith(k, i));
      if (key) {
        moveInLine(KEYS[key]);
        i += key.length;
        continue;
      }
      const c = data[i];
      if (c === "\x1b") {  // another escape sequence: passed over
        const m = /^\x1b(\[[0-9;?]*[ -\/]*[@-~]|O.|.)?/.exec(data.slice(i));
        i += m[0].length;
        continue;
      }
      i++;
      if (c === "\r" || c === "\n") {
        if (c === "\r" && data[i] === "\n") i++;
        submitLine();
      } else if (c === "\x7f" || c === "\b") {
        if (editor.cursor > 0) changeLine(editor.text.slice(0, editor.cursor - 1) + editor.text.slice(editor.cursor), editor.cursor - 1);
      } else if (c === "\x15") {
        changeLine("", 0);
      } else if (c >= " ") {
        changeLine(editor.text.slice(0, editor.cursor) + c + editor.text.slice(editor.cursor), editor.cursor + 1);
      }
    }
  }

  function moveInLine(where) {
    if (where === "delete") {
      changeLine(editor.text.slice(0, editor.cursor) + editor.text.slice(editor.cursor + 1), editor.cursor);
      return;
    }
    const to = { left: editor.cursor - 1, right: editor.cursor + 1, home: 0, end: editor.text.length }[where];
    changeLine(editor.text, Math.max(0, Math.min(editor.text.length, to)));
  }

  // Redraws the answer from its start: back to where it began, the new
  // text, the rest of the old one erased, the cursor put in place.
  function changeLine(text, cursor) {
    let out = editor.cursor > 0 ? `\x1b[${editor.cursor}D` : "";
    out += text + "\x1b[K";
    if (text.length > cursor) out += `\x1b[${text.length - cursor}D`;
    terminal.write(out);
    editor.text = text;
    editor.cursor = cursor;
  }

  // Sends the answer. At a selection the table is saved first, so that the
  // ticked rows count whether the player presses Enter or Done.
  function submitLine(saveTable = true) {
    if (saveTable && game.atSelection && game.table) game.saveResults(keptResults(game.table));
    const line = editor.text;
    terminal.write("\r\n");
    editor.text = "";
    editor.cursor = 0;
    game.giveInput(encoder.encode(line + "\n"));
  }

  // ---------------------------------------------------------------------
  // A game

  let game = null;

  // What the page says beside the terminal where the console speaks of a
  // spreadsheet, closing a file or this window; the last text the game
  // showed before its wait decides.
  const HINTS = [
    ["Make sure the CROSSES.CSV file is closed",
      "Your crosses are in the game's Crosses.csv: press Enter in the terminal to go on."],
    ["Enter the number corresponding to the next task",
      "Type the number of a task in the terminal and press Enter."],
    ["Open the RESULTS.CSV file in Excel",
      "Tick the rows you do not wish to keep in the table below, then press Done. " +
      "Or download Results.csv, delete the rows in a spreadsheet, save it as CSV and upload it."],
    ["Make sure the RESULTS.CSV file is closed", "Press Enter in the terminal to go on."],
    ["Line ID number [from RESULTS.CSV file]",
      "Type the Line_ID of the line to release, as the results table shows it, and press Enter."],
    ["to EXIT", "Press Enter in the terminal to end the game."],
    ["save it as CSV text",
      "In your spreadsheet, save the file as CSV (comma-separated), then upload it again, or press Done."],
    ["changed; make sure the",
      "The uploaded file's header rows were changed: upload a file with them as the game wrote them, or press Done."],
    ["the first column may hold only the IDs",
      "The uploaded file has a row the game cannot read: upload it corrected, or press Done."],
  ];
  const SELECTION_WAIT = "SAVE and CLOSE the CSV file";

  class Game {
    constructor(seed) {
      this.seed = seed;
      this.output = [];            // every byte of the console, as written
      this.errors = "";            // what the game wrote on its error stream
      this.seenSinceInput = "";    // the console text since the last line sent
      this.decoder = new TextDecoder();
      this.input = new Uint8Array(0);
      this.reader = null;          // the waiting read, while the game waits
      this.waits = 0;              // the reads the game has made
      this.atSelection = false;    // waiting at a selection of Results.csv
      this.module = null;
      this.ended = false;
      this.resultsSeen = [];       // each Results.csv the game wrote, as first seen at a wait
      this.lastSaved = null;       // Results.csv as last written or saved
      this.table = null;           // the table shown, from the game's last Results.csv
    }

    async play() {
      const args = this.seed === "" ? [] : ["--seed", this.seed];
      const { status } = await runCore(args, { [CROSSES_FILE]: crossesText() }, {
        read: (capacity, module) => { this.module = module; return this.read(capacity); },
        write: (stream, bytes) => this.write(stream, bytes),
      });
      this.ended = true;
      return status;
    }

    write(stream, bytes) {
      this.output.push(bytes);
      const text = this.decoder.decode(bytes, { stream: true });
      this.seenSinceInput += text;
      terminal.write(text);
      if (stream === 2) this.errors += text;
    }

    // The game waits for a line: a new Results.csv is shown first.
    read(capacity) {
      this.waits++;
      this.atSelection = this.seenSinceInput.includes(SELECTION_WAIT);
      this.lookAtResults();
      showHint(this.seenSinceInput);
      return new Promise((resolve) => {
        this.reader = () => {
          const bytes = this.input.slice(0, capacity);
          this.input = this.input.slice(bytes.length);
          this.reader = null;
          this.atSelection = false;
          setWaiting(false);
          resolve(bytes);
        };
        if (this.input.length > 0) this.reader();
        else setWaiting(true, this.atSelection);
      });
    }

    giveInput(bytes) {
      this.input = concat([this.input, bytes]);
      this.seenSinceInput = "";
      if (this.reader) this.reader();
    }

    readResults() {
      const fs = this.module.FS;
      const path = `${GAME_FOLDER}/${RESULTS_FILE}`;
      return fs.analyzePath(path).exists ? fs.readFile(path) : null;
    }

    // A file of the game's folder as the core last wrote it, or null.
    readFile(name) {
      if (!this.module) return null;
      const fs = this.module.FS;
      const path = `${GAME_FOLDER}/${name}`;
      return fs.analyzePath(path).exists ? fs.readFile(path) : null;
    }

    readRecord() { return this.readFile(RECORD_FILE); }

    saveResults(bytes) {
      this.module.FS.writeFile(`${GAME_FOLDER}/${RESULTS_FILE}`, bytes);
      this.lastSaved = bytes;
    }

    lookAtResults() {
      const bytes = this.readResults();
      if (!bytes || sameBytes(bytes, this.lastSaved)) return;
      this.lastSaved = bytes;
      this.resultsSeen.push(bytes);
      const table = parseResults(new TextDecoder().decode(bytes));
      if (table) {
        this.table = table;
        showResults(table);
      }
    }
  }

  async function startGame() {
    if ($("start").disabled) return;
    $("start-problem").textContent = "";
    const seed = $("seed").value.trim();
    game = new Game(seed);
    $("setup").hidden = true;
    $("play").hidden = false;
    $("ended").hidden = true;
    $("results").hidden = true;
    terminal.reset();
    fitTerminal();
    terminal.focus();
    let status;
    try {
      status = await game.play();
    } catch (error) {
      status = -1;
      game.errors = String(error.message || error);
    }
    setWaiting(false);
    const output = new TextDecoder().decode(concat(game.output));
    if (status !== 0 && game.errors && !/\S/.test(output.replace(game.errors, ""))) {
      // Refused before it began (a seed the game does not take): back to the start.
      $("play").hidden = true;
      $("setup").hidden = false;
      $("start-problem").textContent = game.errors.split("\n")[0];
      $("seed").focus();
      game = null;
      return;
    }
    endGame(status);
  }

  function endGame(status) {
    game.record = game.readRecord();
    // A game that ended with a release has its debrief: shown below the game.
    game.debrief = game.readFile(DEBRIEF_FILE);
    $("show-debrief").disabled = $("download-debrief").disabled = !game.debrief;
    if (game.debrief) {
      $("debrief-frame").srcdoc = new TextDecoder().decode(game.debrief);
      $("debrief").hidden = false;
    }
    $("hint").textContent = status === 0
      ? "The game is over. Scroll up in the terminal to read it again."
      : "The game has stopped." + (game.errors ? " " + game.errors.trim() : "");
    $("results").hidden = true;
    $("ended").hidden = false;
    $("ended-text").textContent =
      "Download the record or the console to keep the game, or start a new one.";
    $("new-game").focus();
    document.body.dataset.state = "ended";
  }

  function setWaiting(waiting, selection) {
    document.body.dataset.state = waiting ? (selection ? "selection" : "waiting") : "running";
    const canSave = waiting && !!selection && !!game.table;
    $("done").disabled = !canSave;
    $("upload-results").disabled = !canSave;
    $("upload-label").classList.toggle("disabled", !canSave);
  }

  function showHint(text) {
    let hint = "Type your answer in the terminal and press Enter.";
    let at = -1;
    for (const [said, what] of HINTS) {
      const where = text.lastIndexOf(said);
      if (where > at) { at = where; hint = what; }
    }
    $("hint").textContent = hint;
  }

  // ---------------------------------------------------------------------
  // The results table

  // Results.csv as rows: the header rows (kept as they are), the column
  // names, and the entries, each with its ID and its line of the file. A
  // file of blanks (before the first task) is no table.
  function parseResults(text) {
    const lines = text.split("\n");
    if (lines.length && lines[lines.length - 1] === "") lines.pop();
    const fixed = [], entries = [];
    let names = null;
    lines.forEach((line, at) => {
      const fields = line.replace(/\r$/, "").split(",").map((f) => f.trim());
      if (/^\d+$/.test(fields[0])) entries.push({ id: Number(fields[0]), fields, at, drop: false });
      else if (/_ID$/.test(fields[0])) names = fields;
      else if (fields.some((f) => f !== "")) fixed.push(fields);
    });
    if (!names) return null;
    return { fixed, names, entries, lines, order: entries.slice(), sortColumn: -1, ascending: true };
  }

  function showResults(table) {
    const element = $("results-table");
    element.replaceChildren();
    const head = element.createTHead();
    for (const fields of table.fixed) {
      const row = head.insertRow();
      row.className = "fixed";
      row.append(document.createElement("th"));
      for (const f of fields) {
        const th = document.createElement("th");
        th.textContent = f;
        row.append(th);
      }
    }
    const names = head.insertRow();
    const dropHead = document.createElement("th");
    dropHead.scope = "col";
    dropHead.textContent = "Drop";
    names.append(dropHead);
    table.names.forEach((name, column) => {
      const th = document.createElement("th");
      th.scope = "col";
      const sort = document.createElement("button");
      sort.type = "button";
      sort.textContent = name;
      sort.title = `Sort by ${name}`;
      sort.addEventListener("click", () => sortResults(table, column));
      th.append(sort);
      names.append(th);
    });
    element.createTBody();
    element.tBodies[0].addEventListener("change", (event) => {
      const entry = table.entries[Number(event.target.dataset.entry)];
      entry.drop = event.target.checked;
      event.target.closest("tr").classList.toggle("dropped", entry.drop);
      summarise(table);
    });
    fillResults(table);
    $("results").hidden = false;
    $("results-scroll").scrollTop = 0;
    $("keep-count").value = "";
    summarise(table);
  }

  // The rows are drawn a few hundred at a time, more as the player scrolls
  // down (or tabs to the last one): a browser takes seconds to lay out ten
  // thousand rows of check boxes, and a class's game has a hundred thousand.
  const ROWS_AT_A_TIME = 300;

  function fillResults(table) {
    table.index = new Map(table.entries.map((e, i) => [e, i]));
    table.drawn = 0;
    $("results-table").tBodies[0].replaceChildren();
    drawMoreResults(table);
    const heads = $("results-table").tHead.rows[table.fixed.length].cells;
    for (let c = 1; c < heads.length; c++) {
      if (c - 1 === table.sortColumn) heads[c].setAttribute("aria-sort", table.ascending ? "ascending" : "descending");
      else heads[c].removeAttribute("aria-sort");
    }
  }

  function drawMoreResults(table) {
    const html = [];
    for (const entry of table.order.slice(table.drawn, table.drawn + ROWS_AT_A_TIME)) {
      html.push(`<tr${entry.drop ? ' class="dropped"' : ""}><td><input type="checkbox" data-entry="${table.index.get(entry)}"` +
        ` aria-label="Drop ${entry.id}"${entry.drop ? " checked" : ""}></td>` +
        entry.fields.map((f) => `<td>${f.replace(/[&<>"]/g, (c) => `&#${c.charCodeAt(0)};`)}</td>`).join("") + "</tr>");
    }
    table.drawn += html.length;
    $("results-table").tBodies[0].insertAdjacentHTML("beforeend", html.join(""));
  }

  // Near the bottom of the drawn rows, the next ones are drawn.
  function drawAsNeeded() {
    const table = game && game.table;
    const scroller = $("results-scroll");
    if (table && table.drawn < table.order.length &&
        scroller.scrollTop + scroller.clientHeight > scroller.scrollHeight - 400) drawMoreResults(table);
  }

  // Ticks every row after the first `count` in the order shown (sorted by a
  // column, the best ones first), and unticks those first rows.
  function keepFirst(table, count) {
    table.order.forEach((entry, at) => { entry.drop = at >= count; });
    fillResults(table);
    summarise(table);
  }

  function sortResults(table, column) {
    table.ascending = table.sortColumn === column ? !table.ascending : true;
    table.sortColumn = column;
    const value = (e) => Number(e.fields[column]);
    table.order.sort((a, b) => (value(a) - value(b)) * (table.ascending ? 1 : -1) || a.id - b.id);
    fillResults(table);
  }

  function summarise(table) {
    const dropped = table.entries.filter((e) => e.drop).length;
    $("results-summary").textContent =
      `${table.entries.length - dropped} of ${table.entries.length} entries kept, ${dropped} ticked to drop.`;
  }

  // The file the player saves: the game's file without the ticked rows,
  // every other line exactly as the game wrote it.
  function keptResults(table) {
    const dropped = new Set(table.entries.filter((e) => e.drop).map((e) => e.at));
    return encoder.encode(table.lines.filter((_, at) => !dropped.has(at)).map((l) => l + "\n").join(""));
  }

  // A record chosen by a teacher, played again by the core (--replay): its
  // verdict, and the whole transcript below it.
  function setUpReplay() {
    $("replay-record").addEventListener("change", async (event) => {
      const file = event.target.files[0];
      event.target.value = "";
      if (!file) return;
      $("replay-result").textContent = `Replaying ${file.name} ...`;
      $("replay-transcript").hidden = true;
      try {
        const bytes = new Uint8Array(await file.arrayBuffer());
        const { out, err } = await runQuietly(["--replay", RECORD_FILE], { [RECORD_FILE]: bytes });
        const lines = out.trimEnd().split("\n");
        $("replay-result").textContent = `${file.name}: ${lines[lines.length - 1].trim()}` + (err ? " " + err.trim() : "");
        $("replay-transcript").textContent = out;
        $("replay-transcript").hidden = false;
      } catch (error) {
        $("replay-result").textContent = `${file.name} could not be replayed (${error.message || error}).`;
      }
    });
  }

  function setUpResults() {
    $("done").addEventListener("click", () => {
      if (!game || !game.reader || !game.atSelection) return;
      submitLine();
      terminal.focus();
    });
    $("results-scroll").addEventListener("scroll", drawAsNeeded);
    $("results-table").addEventListener("focusin", drawAsNeeded);
    $("keep-first").addEventListener("submit", (event) => {
      event.preventDefault();
      const count = wholeNumber($("keep-count").value);
      if (game && game.table && count !== null) keepFirst(game.table, count);
    });
    $("download-results").addEventListener("click", () => {
      if (game && game.table) download(RESULTS_FILE, keptResults(game.table), "text/csv");
    });
    $("upload-results").addEventListener("change", async (event) => {
      const file = event.target.files[0];
      event.target.value = "";
      if (!file || !game || !game.reader) return;
      let bytes;
      try {
        bytes = new Uint8Array(await file.arrayBuffer());
      } catch (error) {
        $("hint").textContent = `${file.name} could not be read (${error.message}); choose it again.`;
        return;
      }
      if (!game.reader) return;
      game.saveResults(bytes);
      submitLine(false);
      terminal.focus();
    });
    $("show-debrief").addEventListener("click", () => {
      $("debrief").scrollIntoView({ behavior: "smooth" });
      $("debrief-frame").focus();
    });
    $("download-debrief").addEventListener("click", () => {
      if (game && game.debrief) download(DEBRIEF_FILE, game.debrief, "text/html");
    });
    $("new-game").addEventListener("click", () => {
      $("debrief").hidden = true;
      $("debrief-frame").srcdoc = "";
      game = null;
      document.body.dataset.state = "setup";
      $("play").hidden = true;
      $("setup").hidden = false;
      $("start").focus();
    });
    $("download-record").addEventListener("click", () => {
      const bytes = game && (game.record || game.readRecord());
      if (bytes) download(RECORD_FILE, bytes, "application/json");
      else $("hint").textContent = "The game has no record yet: it begins when the game starts.";
    });
    $("download-console").addEventListener("click", () => {
      if (game) download("Plotwright-console.txt", concat(game.output), "text/plain");
    });
  }

  // ---------------------------------------------------------------------

  window.addEventListener("beforeunload", (event) => {
    if (game && !game.ended) {
      event.preventDefault();
      event.returnValue = "";
    }
  });

  // What a test (or a curious teacher) may read of the game in progress:
  // the console's bytes and each Results.csv the game wrote, in base64.
  window.plotwrightPage = {
    console: () => (game ? toBase64(concat(game.output)) : ""),
    resultsSeen: () => (game ? game.resultsSeen.map(toBase64) : []),
    waits: () => (game ? game.waits : 0),
  };

  function toBase64(bytes) {
    let text = "";
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }

  async function start() {
    try {
      setUpTerminal();
      setUpSetup();
      setUpResults();
      setUpReplay();
      await showFounders();
      await checkCrosses();
      $("loading").hidden = true;
      $("setup").hidden = false;
      document.body.dataset.state = "setup";
    } catch (error) {
      $("loading").textContent = "The game could not be loaded: " + (error.message || error);
    }
  }

  start();
})();
