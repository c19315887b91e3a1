// The Plotwright page: the game's own C++ core, compiled to WebAssembly and
// run in a Web Worker (plotwright-engine.js), played in a terminal, with a
// crosses editor before the game and a results table at each selection. The
// page decides nothing of the game: the founders table, the checks of the
// crosses and every text in the terminal come from the core, which runs once
// for each of them. The worker keeps the page answering while the core
// computes; the browser's own storage keeps the game in play, so that a
// reload or a closed tab loses nothing.
//
// A plain script, not a module, so that the page also plays when opened as a
// file (from a USB stick), where browsers refuse module scripts.
(function () {
  "use strict";

  const FOUNDERS = 15;
  const CROSSES_FILE = "Crosses.csv";
  const RESULTS_FILE = "Results.csv";
  const RECORD_FILE = "Plotwright-record.json";
  const DEBRIEF_FILE = "Plotwright-debrief.html";
  const CONSOLE_FILE = "Plotwright-console.txt";
  const SCREEN = "screen";  // the terminal as the player saw it, answers and all, kept beside the console
  const TICKS = "ticks";    // the ticks of the table the game waits for, as they change
  const LARGEST_SEED = 2147483647;

  const $ = (id) => document.getElementById(id);
  const encoder = new TextEncoder();

  // ---------------------------------------------------------------------
  // The engine: one Web Worker started from the text of plotwrightEngine,
  // running each run of the core in a module instance of its own.

  class Engine {
    constructor() {
      const source = "(" + plotwrightEngine.toString() + ")();";
      this.url = URL.createObjectURL(new Blob([source], { type: "text/javascript" }));
      this.worker = new Worker(this.url);
      this.listeners = new Map();
      this.next = 1;
      this.worker.onmessage = (event) => {
        const listener = this.listeners.get(event.data.run);
        if (!listener) return;
        if (event.data.type === "ended" || event.data.type === "failed") this.listeners.delete(event.data.run);
        listener(event.data);
      };
      this.worker.onerror = (event) => {
        for (const [run, listener] of this.listeners) listener({ type: "failed", run, what: event.message });
        this.listeners.clear();
      };
    }

    // Starts the core with `args` in a folder holding `files`; `listener`
    // hears every message of the run. Returns the run's number.
    start(args, files, listener, options = {}) {
      const run = this.next++;
      this.listeners.set(run, listener);
      this.worker.postMessage({
        type: "run", run, args, files, quiet: !!options.quiet, collect: options.collect, keepTables: !!options.keepTables,
      });
      return run;
    }

    send(run, message, transfer) {
      this.worker.postMessage({ ...message, run }, transfer || []);
    }
  }

  let engine = null;

  // A run of the core with no player: its input is empty, its output kept.
  // Resolves with the exit status, the console's text, and the files named
  // in `collect` as the run left them.
  function runQuietly(args, files, collect) {
    return new Promise((resolve, reject) => {
      const out = [], err = [];
      engine.start(args, files, (message) => {
        if (message.type === "output") (message.stream === 2 ? err : out).push(message.bytes);
        else if (message.type === "ended") {
          const text = (chunks) => new TextDecoder().decode(concat(chunks));
          resolve({ status: message.status, out: text(out), err: text(err), files: message.files });
        } else if (message.type === "failed") reject(new Error(message.what));
      }, { quiet: true, collect });
    });
  }

  function concat(chunks) {
    const all = new Uint8Array(chunks.reduce((n, c) => n + c.length, 0));
    let at = 0;
    for (const c of chunks) { all.set(c, at); at += c.length; }
    return all;
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
  // The browser's storage of the games in play: IndexedDB, one entry per
  // game (its seed as typed, its crosses, whether it has ended, what was
  // downloaded) and its files (the record, Results.csv as last saved, the
  // console, the debrief). Each game has a key of its own, and a tab playing
  // it holds a Web Lock of that name, so two tabs never write over each
  // other's game.

  const storage = {
    db: null,

    async open() {
      if (!window.indexedDB) return false;
      try {
        this.db = await new Promise((resolve, reject) => {
          const request = indexedDB.open("plotwright", 1);
          request.onupgradeneeded = () => {
            request.result.createObjectStore("games", { keyPath: "id" });
            request.result.createObjectStore("files");
          };
          request.onsuccess = () => resolve(request.result);
          request.onerror = () => reject(request.error);
          request.onblocked = () => reject(new Error("blocked"));
        });
        return true;
      } catch (error) {
        return false;
      }
    },

    writing: Promise.resolve(),

    request(stores, mode, work) {
      if (!this.db) return Promise.resolve(null);
      const done = new Promise((resolve, reject) => {
        const transaction = this.db.transaction(stores, mode);
        const result = work(transaction);
        transaction.oncomplete = () => resolve(result && "result" in result ? result.result : undefined);
        transaction.onerror = () => reject(transaction.error);
        transaction.onabort = () => reject(transaction.error);
      }).catch(() => null);
      if (mode === "readwrite") this.writing = Promise.all([this.writing, done]);
      return done;
    },

    // Resolves once every write begun so far is on disk.
    settled() {
      return this.writing.then(() => true);
    },

    games() {
      return this.request(["games"], "readonly", (t) => t.objectStore("games").getAll()).then((all) => all || []);
    },
    putGame(game) {
      return this.request(["games"], "readwrite", (t) => { t.objectStore("games").put(game); });
    },
    putFile(id, name, bytes) {
      return this.request(["files"], "readwrite", (t) => { t.objectStore("files").put(bytes, `${id}/${name}`); });
    },
    file(id, name) {
      return this.request(["files"], "readonly", (t) => t.objectStore("files").get(`${id}/${name}`));
    },
    forget(id) {
      return this.request(["games", "files"], "readwrite", (t) => {
        t.objectStore("games").delete(id);
        t.objectStore("files").delete(IDBKeyRange.bound(`${id}/`, `${id}/\uffff`));
      });
    },
  };

  const LOCK_PREFIX = "plotwright-game-";

  // The answer just sent, until the record that holds it is kept: written
  // at once (localStorage writes before the page can go), so a page closed
  // right after an answer still gives it to the game when it continues.
  // With it go the ticks of a table it saved.
  const pendingAnswers = {
    key: (id) => `plotwright-answer-${id}`,
    put(id, answer) {
      try {
        localStorage.setItem(this.key(id), JSON.stringify(answer));
      } catch (error) {
        // No room or no storage: the answer goes unkept, as before.
      }
    },
    get(id) {
      try {
        return JSON.parse(localStorage.getItem(this.key(id)) || "null");
      } catch (error) {
        return null;
      }
    },
    clear(id) {
      try {
        localStorage.removeItem(this.key(id));
      } catch (error) {
        // Nothing kept.
      }
    },
  };

  // The number of answers a record holds.
  function answersIn(record) {
    return (new TextDecoder().decode(record).match(/"typed": /g) || []).length;
  }

  // Takes the lock of game `id` for as long as this tab plays it; resolves
  // false when another tab holds it. `release()` lets it go.
  function takeGameLock(id) {
    if (!navigator.locks) return Promise.resolve(() => {});
    return new Promise((resolve) => {
      navigator.locks.request(LOCK_PREFIX + id, { ifAvailable: true }, (lock) => {
        if (!lock) {
          resolve(null);
          return undefined;
        }
        return new Promise((release) => resolve(release));
      }).catch(() => resolve(() => {}));
    });
  }

  async function gamesHeldElsewhere() {
    if (!navigator.locks || !navigator.locks.query) return new Set();
    try {
      const { held } = await navigator.locks.query();
      return new Set(held.map((lock) => lock.name).filter((n) => n.startsWith(LOCK_PREFIX)).map((n) => n.slice(LOCK_PREFIX.length)));
    } catch (error) {
      return new Set();
    }
  }

  function newGameId() {
    const random = crypto.getRandomValues ? crypto.getRandomValues(new Uint32Array(2)).join("-") : String(Math.random()).slice(2);
    return `${Date.now()}-${random}`;
  }

  // ---------------------------------------------------------------------
  // The setup screen: the founders table and the crosses editor

  const crosses = [];  // {first, second, plants}: plants as typed, in the order of Crosses.csv
  let crossesUsable = false;
  let checkRun = 0;
  const rowChecks = new Map();  // a row's line of Crosses.csv and its place: the core's words, or ""

  function crossLine(cross) {
    return `${cross.first},${cross.second},${cross.plants}`;
  }

  function crossesText() {
    return crosses.map((c) => crossLine(c) + "\n").join("");
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

  // The rows of the crosses editor, drawn again when a cross comes or goes;
  // each has a line below it for its problem, which markCrosses fills.
  function showCrosses() {
    const body = $("crosses").tBodies[0];
    // The field or button that had the keyboard has it again once redrawn.
    const focused = body.contains(document.activeElement) ? document.activeElement.getAttribute("aria-label") : null;
    body.replaceChildren();
    crosses.forEach((cross, i) => {
      const row = body.insertRow();
      row.insertCell().textContent = String(i + 1);
      row.insertCell().textContent = `Line ${cross.first}`;
      row.insertCell().textContent = `Line ${cross.second}`;
      const plants = document.createElement("input");
      plants.type = "number";
      plants.step = "1";
      plants.inputMode = "numeric";
      plants.value = cross.plants;
      plants.setAttribute("aria-label", `F2 plants of cross ${i + 1}`);
      // What the player typed stays as typed: the check says what is wrong with it.
      plants.addEventListener("change", () => {
        cross.plants = plants.value !== "" || plants.validity.valid ? plants.value : "?";
        checkCrosses();
      });
      row.insertCell().append(plants);
      const remove = document.createElement("button");
      remove.type = "button";
      remove.textContent = "Remove";
      remove.setAttribute("aria-label", `Remove cross ${i + 1}`);
      remove.addEventListener("click", () => { crosses.splice(i, 1); showCrosses(); checkCrosses(); });
      row.insertCell().append(remove);
      const said = body.insertRow();
      said.className = "problem-text";
      said.hidden = true;
      const cell = said.insertCell();
      cell.colSpan = 5;
      cell.id = `cross-problem-${i}`;
    });
    if (focused) {
      const again = [...body.querySelectorAll("[aria-label]")].find((e) => e.getAttribute("aria-label") === focused);
      if (again) again.focus();
    }
  }

  // Each row's problem, marked in place: what is being typed in a field
  // stays as it is.
  function markCrosses(problems) {
    const rows = $("crosses").tBodies[0].rows;
    problems.forEach((problem, i) => {
      const row = rows[2 * i], said = rows[2 * i + 1];
      if (!row || !said) return;
      row.classList.toggle("problem-row", !!problem);
      const plants = row.querySelector("input");
      if (problem) {
        plants.setAttribute("aria-invalid", "true");
        plants.setAttribute("aria-describedby", `cross-problem-${i}`);
      } else {
        plants.removeAttribute("aria-invalid");
        plants.removeAttribute("aria-describedby");
      }
      said.cells[0].textContent = problem;
      said.hidden = !problem;
    });
  }

  // The problem of one row by itself, in the game's words: the core checks
  // a Crosses.csv holding only that row, on its own line (the lines before
  // it empty, which a game passes over), so the line it names is the row's.
  function checkRow(cross, at) {
    const key = `${at}:${crossLine(cross)}`;
    if (!rowChecks.has(key)) {
      if (rowChecks.size > 2000) rowChecks.clear();
      rowChecks.set(key, runQuietly(["--check-crosses"], { [CROSSES_FILE]: "\n".repeat(at) + crossLine(cross) + "\n" })
        .then(({ status, out }) => (status === 0 ? "" : gameProblem(out)), () => ""));
    }
    return rowChecks.get(key);
  }

  // The core's lines about a problem, without the blank lines and the
  // "ERROR:" and "Modify the file" lines around it.
  function gameProblem(out) {
    return out.split("\n").map((l) => l.trim())
      .filter((l) => l && l !== "ERROR:" && l !== "Modify the CROSSES.CSV file accordingly").join(" ");
  }

  // A pair crossed twice, in either order, marked on each row after the
  // first (each row is checked by itself, so the core cannot see it).
  function duplicatePairs() {
    const seen = new Map();
    return crosses.map((cross, i) => {
      const key = [cross.first, cross.second].sort((a, b) => a - b).join(",");
      if (seen.has(key)) {
        return `Lines ${cross.first} and ${cross.second} are crossed in cross ${seen.get(key) + 1} already: ` +
          "each pair of founders may be crossed only once.";
      }
      seen.set(key, i);
      return "";
    });
  }

  // The game's own check of the whole list, run after each change, and every
  // row's own problem beside it; the last check started is the one shown.
  async function checkCrosses() {
    const run = ++checkRun;
    crossesUsable = false;
    updateStart();
    const [whole, ...rows] = await Promise.all([
      runQuietly(["--check-crosses"], { [CROSSES_FILE]: crossesText() }),
      ...crosses.map((cross, i) => checkRow(cross, i)),
    ]);
    if (run !== checkRun) return;
    const duplicates = duplicatePairs();
    markCrosses(rows.map((said, i) => [said, duplicates[i]].filter(Boolean).join(" ")));
    crossesUsable = whole.status === 0;
    const check = $("crosses-check");
    check.textContent = whole.out.replace(/^\s*\n/, "").replace(/\n\s*$/, "");
    check.classList.toggle("problem", !crossesUsable);
    updateStart();
  }

  function updateStart() {
    $("start").disabled = !crossesUsable;
  }

  function addCross(event) {
    event.preventDefault();
    const field = $("cross-plants");
    if (field.value === "") {
      $("add-problem").textContent = "Type the number of F2 plants to grow from this cross, for example 200.";
      field.focus();
      return;
    }
    $("add-problem").textContent = "";
    crosses.push({ first: Number($("first-founder").value), second: Number($("second-founder").value), plants: field.value });
    showCrosses();
    checkCrosses();
  }

  // A Crosses.csv written elsewhere (in a spreadsheet, by a teacher) taken
  // into the editor, each line a row as written: the checks then say what
  // is wrong with it. A line whose founders the editor cannot show (no
  // founder numbers from 1 to 15) leaves the editor as it was.
  async function openCrosses(event) {
    const file = event.target.files[0];
    event.target.value = "";
    if (!file) return;
    const rows = [], odd = [];
    (await file.text()).split(/\r?\n|\r/).forEach((line, at) => {
      if (!/[^\s,;]/.test(line)) return;
      const fields = line.split(/[,;]/).map((f) => f.trim().replace(/^"(.*)"$/, "$1"));
      const founder = (f) => (/^\d+$/.test(f) && Number(f) >= 1 && Number(f) <= FOUNDERS ? Number(f) : null);
      const first = founder(fields[0] || ""), second = founder(fields[1] || "");
      if (first === null || second === null) odd.push(at + 1);
      else rows.push({ first, second, plants: fields[2] || "" });
    });
    if (odd.length) {
      $("add-problem").textContent = `${file.name}: line ${odd.slice(0, 5).join(", ")}${odd.length > 5 ? " ..." : ""} ` +
        "names no two founders from 1 to 15, so the crosses are as they were. Each line is founder, founder, F2 plants.";
      return;
    }
    $("add-problem").textContent = "";
    crosses.splice(0, crosses.length, ...rows);
    showCrosses();
    checkCrosses();
  }

  // The seed as the player typed it, if the game can take it; the page's
  // own words otherwise.
  function seedProblem(seed) {
    if (seed === "") return "";
    if (/^\d+$/.test(seed) && Number(seed) <= LARGEST_SEED) return "";
    return `A seed is a whole number from 0 to ${LARGEST_SEED}, such as 2024, and "${seed}" is not one. ` +
      "Leave the seed empty for a game of its own.";
  }

  // Another tab may have started, continued or ended a game meanwhile.
  document.addEventListener("visibilitychange", () => {
    if (document.visibilityState === "visible" && !$("setup").hidden) showSavedGames();
  });

  function setUpSetup() {
    founderOptions($("first-founder"), 1);
    founderOptions($("second-founder"), 2);
    for (const line of (window.PLOTWRIGHT_SAMPLE_CROSSES || "").split("\n")) {
      const m = /^(\d+),(\d+),(\d+)/.exec(line.trim());
      if (m) crosses.push({ first: Number(m[1]), second: Number(m[2]), plants: m[3] });
    }
    showCrosses();
    $("add-cross").addEventListener("submit", addCross);
    $("clear-crosses").addEventListener("click", () => { crosses.length = 0; showCrosses(); checkCrosses(); });
    $("download-crosses").addEventListener("click", () => download(CROSSES_FILE, crossesText(), "text/csv"));
    $("open-crosses").addEventListener("change", openCrosses);
    $("start").addEventListener("click", () => startNewGame());
    $("seed").addEventListener("keydown", (e) => { if (e.key === "Enter" && !$("start").disabled) startNewGame(); });
    $("seed").addEventListener("input", () => { $("start-problem").textContent = ""; });
  }

  // The games this browser keeps: the unfinished ones to continue, the
  // ended ones to look at again, unless another tab plays them now.
  async function showSavedGames() {
    const games = (await storage.games()).filter((g) => g.id !== (game && game.id));
    const elsewhere = await gamesHeldElsewhere();
    const list = $("saved-list");
    list.replaceChildren();
    games.sort((a, b) => b.updated - a.updated);
    for (const saved of games) {
      const item = document.createElement("li");
      const when = new Date(saved.updated).toLocaleString();
      const text = document.createElement("span");
      text.textContent = `${describeSeed(saved)}, ${saved.crossCount} ${saved.crossCount === 1 ? "cross" : "crosses"}: ` +
        (saved.ended ? "ended" : `${saved.answers || 0} answers given`) + `, ${when}`;
      item.append(text);
      if (elsewhere.has(saved.id)) {
        const busy = document.createElement("em");
        busy.textContent = " (open in another tab or window)";
        item.append(busy);
      } else {
        const open = document.createElement("button");
        open.type = "button";
        open.className = saved.ended ? "" : "primary";
        open.textContent = saved.ended ? "Show it again" : "Continue this game";
        open.addEventListener("click", () => (saved.ended ? showEndedGame(saved) : continueGame(saved)));
        const record = document.createElement("button");
        record.type = "button";
        record.textContent = "Download record";
        record.addEventListener("click", async () => {
          const bytes = await storage.file(saved.id, RECORD_FILE);
          if (bytes) download(RECORD_FILE, bytes, "application/json");
        });
        const forget = document.createElement("button");
        forget.type = "button";
        forget.textContent = "Forget";
        forget.setAttribute("aria-label", `Forget the game of ${describeSeed(saved)}`);
        forget.addEventListener("click", async () => {
          if (!window.confirm("Forget this game? Its record is gone from this browser afterwards.")) return;
          await storage.forget(saved.id);
          showSavedGames();
        });
        item.append(" ", open, " ", record, " ", forget);
      }
      list.append(item);
    }
    $("saved-games").hidden = games.length === 0;
  }

  function describeSeed(saved) {
    if (saved.seed !== "") return `seed ${saved.seed}`;
    return saved.clockSeed !== undefined ? `seed ${saved.clockSeed} (from the clock)` : "a seed from the clock";
  }

  // ---------------------------------------------------------------------
  // The terminal and its line editor

  let terminal = null;
  let fit = null;
  const TERMINAL_FONT = 'ui-monospace, "DejaVu Sans Mono", Consolas, monospace';

  function setUpTerminal() {
    terminal = new Terminal({
      convertEol: true,
      cursorBlink: true,
      fontFamily: TERMINAL_FONT,
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
    window.addEventListener("resize", layOut);
  }

  // The console lines are up to 80 characters wide, and the terminal is as
  // wide as 80 columns of its font: about 56 parts in 100 of the window, in a
  // font of 13 to 16 pixels. While a table is open at a selection the font
  // is the smallest of those, and the table gets the room.
  const READABLE_FONT = 13, LARGEST_FONT = 16;
  const measure = document.createElement("canvas").getContext("2d");

  function columnsWidth(size) {
    measure.font = `${size}px ${TERMINAL_FONT}`;
    return Math.ceil(measure.measureText("M".repeat(80)).width);
  }

  function layOut() {
    if ($("play").hidden) return;
    const width = document.documentElement.clientWidth;
    const stacked = window.matchMedia("(max-width: 900px)").matches;
    const chrome = 34;  // the pane's padding and the terminal's scroll bar
    let size = LARGEST_FONT;
    while (size > READABLE_FONT && columnsWidth(size) + chrome > (stacked ? width - 8 : 0.56 * width)) size--;
    if (document.body.dataset.state === "selection" && !stacked) size = READABLE_FONT;
    if (terminal.options.fontSize !== size) terminal.options.fontSize = size;
    $("play").style.setProperty("--terminal-width", `${columnsWidth(size) + chrome}px`);
    fit.fit();
  }

  const editor = { text: "", cursor: 0, held: false };
  const KEYS = {
    "\x1b[D": "left", "\x1b[C": "right", "\x1b[H": "home", "\x1bOH": "home", "\x1b[1~": "home",
    "\x1b[F": "end", "\x1bOF": "end", "\x1b[4~": "end", "\x1b[3~": "delete",
  };

  // The player's typing: the answer is edited on its line (Backspace,
  // Delete, the arrows, Home, End, Ctrl-U) and sent with Enter, as a console
  // does before a program reads the line. Typed while the game computes, it
  // waits on the line for the game's next question, where the player sees
  // it; an Enter typed then sends nothing, so no key ever answers a question
  // the player has not seen. A paste answers at most the question it was
  // pasted at: its first line, the rest dropped.
  function editLine(data) {
    if (!game || game.ended || !game.running) return;
    const pasted = data.length > 1 && /[\r\n]/.test(data) && !KEYS[data];
    let i = 0;
    while (i < data.length) {
      const key = Object.keys(KEYS).find((k) => data.startsWith(k, i));
      if (key) {
        if (!editor.held) moveInLine(KEYS[key]);
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
      if (editor.held) continue;
      if (c === "\r" || c === "\n") {
        if (game.waiting) submitLine();
        else holdLine();
        if (pasted) break;
        if (c === "\r" && data[i] === "\n") i++;
      } else if (c === "\x7f" || c === "\b") {
        if (editor.cursor > 0) changeLine(editor.text.slice(0, editor.cursor - 1) + editor.text.slice(editor.cursor), editor.cursor - 1);
      } else if (c === "\x15") {
        changeLine("", 0);
      } else if (c >= " ") {
        changeLine(editor.text.slice(0, editor.cursor) + c + editor.text.slice(editor.cursor), editor.cursor + 1);
      }
    }
    showWorking();
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

  // The answer typed so far is kept at the end of the terminal: taken off
  // before the game writes, and put back after it.
  function liftLine() {
    return editor.text ? (editor.cursor > 0 ? `\x1b[${editor.cursor}D` : "") + "\x1b[K" : "";
  }
  function lineBack() {
    return editor.text ? editor.text + (editor.text.length > editor.cursor ? `\x1b[${editor.text.length - editor.cursor}D` : "") : "";
  }

  // An Enter typed while the game computes: a line typed before it waits,
  // whole, for Enter once the game asks (what follows it is dropped, as it
  // would answer a later question); an Enter alone does nothing.
  function holdLine() {
    if (editor.text) editor.held = true;
  }

  // Sends the answer. At a selection the table is saved first, without its
  // ticked rows, whether the player pressed Enter or Done.
  function submitLine(upload) {
    const line = editor.text;
    if (upload) {
      game.answer(line, upload);
      return;
    }
    terminal.write("\r\n");
    game.screen.push(line + "\r\n");
    editor.text = "";
    editor.cursor = 0;
    editor.held = false;
    game.answer(line);
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
    ["Press <Enter> to continue it, or type NEW",
      "Press Enter in the terminal to continue the game."],
  ];
  const SELECTION_WAIT = "SAVE and CLOSE the CSV file";

  class Game {
    constructor(saved) {
      this.id = saved.id;
      this.saved = saved;          // what the browser keeps of the game
      this.output = [];            // every byte of the console, as written (earlier sessions first)
      this.screen = [];            // the terminal's text: the console with the answers echoed
      this.errors = "";            // what the game wrote on its error stream
      this.seenSinceInput = "";    // the console text since the last line sent
      this.decoder = new TextDecoder();
      this.run = 0;
      this.running = false;        // the core runs (computing or waiting)
      this.waiting = false;        // the game waits for a line
      this.waits = 0;              // the waits of this page's run
      this.atSelection = false;    // waiting at a selection of Results.csv
      this.ended = false;
      this.resultsSeen = [];       // each Results.csv the game wrote, as first seen at a wait (for a test)
      this.table = null;           // the last table the game wrote
      this.files = {};             // the record, Results.csv and the debrief as last told
      this.sentAt = 0;             // when the last line was sent
      this.lastWaitMs = 0;         // from the last line sent to the next wait
      this.release = null;         // lets go of the game's lock
    }

    // Runs the core: a new game, or the game kept in the browser continued.
    play(args, files) {
      this.running = true;
      this.sentAt = performance.now();
      return new Promise((resolve) => {
        this.run = engine.start(args, files, (message) => this.heard(message, resolve), { keepTables });
      });
    }

    heard(message, resolve) {
      // A game left for another (shown again, or a new one) says nothing more.
      if (this !== game && message.type !== "ended" && message.type !== "failed") return;
      switch (message.type) {
        case "output": this.write(message.stream, message.bytes); break;
        case "wait": this.waited(message.table, message.fresh); break;
        case "accepted": this.accepted(); break;
        case "file": this.fileChanged(message.name, message.bytes); break;
        case "kept": showKept(message); break;
        case "refused": refusedUpload(message); break;
        case "order": sortedResults(message); break;
        case "kept-file": download(RESULTS_FILE, message.bytes, "text/csv"); break;
        case "ended":
          for (const [name, bytes] of Object.entries(message.files)) this.fileChanged(name, bytes);
          this.running = false;
          resolve(message.status);
          break;
        case "failed":
          this.running = false;
          this.errors += `The game stopped: ${message.what}`;
          resolve(-1);
          break;
      }
    }

    write(stream, bytes) {
      this.output.push(bytes);
      const text = this.decoder.decode(bytes, { stream: true });
      this.screen.push(text);
      this.seenSinceInput += text;
      terminal.write(liftLine() + text + lineBack());
      if (stream === 2) this.errors += text;
    }

    // The game waits for a line: a new Results.csv is shown, the player's
    // line put after the question.
    waited(table, fresh) {
      this.waits++;
      this.waiting = true;
      this.lastWaitMs = performance.now() - this.sentAt;
      this.atSelection = this.seenSinceInput.includes(SELECTION_WAIT);
      if (fresh) this.resultsSeen.push(fresh);
      if (table) {
        this.table = newTable(table);
        $("kept-note").hidden = true;
        // A continued game's table, ticked as it was when the page went.
        const ticks = this.ticks;
        this.ticks = null;
        if (ticks && ticks.entries === this.table.drop.length && ticks.first === table.ids[0]) this.table.drop.set(ticks.drop);
      }
      showHint(this.seenSinceInput);
      if (editor.text) {
        $("hint").textContent += " What you typed while the game was working is on its line: press Enter to send it.";
      }
      editor.held = false;
      setWaiting(true, this.atSelection && !!this.table);
      this.keep();
      if (this.resend) this.sendAgain();
    }

    // The answer the player gave just before the page went, which the kept
    // record lacks: given again at the same question, with the ticks it
    // saved (a table already saved without them keeps what it holds).
    sendAgain() {
      const answer = this.resend;
      this.resend = null;
      if (this.atSelection && this.table && answer.dropped && answer.entries === this.table.drop.length) {
        this.table.drop.fill(0);
        for (const e of answer.dropped) this.table.drop[e] = 1;
      }
      changeLine(answer.line, answer.line.length);
      submitLine();
      $("hint").textContent = "Your last answer, given just before the page closed, went to the game again.";
    }

    fileChanged(name, bytes) {
      this.files[name] = bytes;
      storage.putFile(this.id, name, bytes);
      if (name === RECORD_FILE) this.recordChanged(bytes);
      if (name === DEBRIEF_FILE) this.saved.debrief = true;
    }

    // The record says the seed of a game from the clock, and how far it
    // went; once one that holds the answer last sent is kept, the answer
    // need not be kept beside it.
    recordChanged(bytes) {
      const text = new TextDecoder().decode(bytes);
      const seed = /"seed": (-?\d+)/.exec(text);
      if (seed && this.saved.seed === "") this.saved.clockSeed = String(-Number(seed[1]));
      this.saved.answers = answersIn(bytes);
      showSeed(this.saved);
      const pending = pendingAnswers.get(this.id);
      if (pending && this.saved.answers > pending.answers) {
        storage.settled().then(() => {
          const still = pendingAnswers.get(this.id);
          if (still && still.answers === pending.answers) pendingAnswers.clear(this.id);
        });
      }
    }

    // What the browser keeps at each wait: the console so far (as a console
    // holds what the game flushed before it waits; what it printed while it
    // computed comes again when the game continues) and the game's entry.
    keep() {
      this.saved.updated = Date.now();
      storage.putFile(this.id, CONSOLE_FILE, concat(this.output));
      storage.putFile(this.id, SCREEN, this.screen.join(""));
      storage.putGame(this.saved);
    }

    // Sends the player's line, with the table's ticks at a selection. From
    // here on no other line goes until the game waits again.
    answer(line, upload) {
      const selection = this.atSelection && this.table;
      const message = { type: "answer", line: line + "\n" };
      if (upload) message.upload = upload;
      else if (selection) message.drop = this.table.drop;
      if (!upload && keeping) {
        const dropped = [];
        if (selection) this.table.drop.forEach((d, e) => { if (d) dropped.push(e); });
        pendingAnswers.put(this.id, {
          answers: this.saved.answers || 0, line, dropped: selection ? dropped : null,
          entries: selection ? this.table.drop.length : 0,
        });
      }
      engine.send(this.run, message);
      this.waiting = false;
      if (upload) {
        // The engine reads the file first: a file that is no text is refused
        // there, and the game goes on waiting; the table stays till then.
        this.uploading = true;
        $("upload-label").classList.add("disabled");
        $("done").disabled = true;
        return;
      }
      this.sent(selection);
    }

    // An uploaded file has reached the game with the line.
    accepted() {
      if (!this.uploading) return;
      this.uploading = false;
      terminal.write("\r\n");
      this.screen.push(editor.text + "\r\n");
      editor.text = "";
      editor.cursor = 0;
      editor.held = false;
      this.sent(true);
    }

    sent(selection) {
      this.seenSinceInput = "";
      this.sentAt = performance.now();
      $("hint").textContent = "";
      if (selection) $("kept-note").hidden = true;
      setWaiting(false);
    }

    stop() {
      if (this.run) engine.send(this.run, { type: "stop" });
    }
  }

  function showSeed(saved) {
    $("game-seed").textContent = saved.seed !== "" ? `Seed ${saved.seed}` :
      saved.clockSeed !== undefined ? `Seed ${saved.clockSeed} (from the clock)` : "";
  }

  // A new game from the crosses and the seed of the setup screen.
  async function startNewGame() {
    if ($("start").disabled) return;
    const seed = $("seed").value.trim();
    const problem = seedProblem(seed);
    if (problem) {
      $("start-problem").textContent = problem;
      $("seed").focus();
      return;
    }
    $("start-problem").textContent = "";
    const id = newGameId();
    const release = await takeGameLock(id);
    const saved = {
      id, seed, crosses: crossesText(), crossCount: crosses.length, started: Date.now(), updated: Date.now(),
      ended: false, answers: 0, downloaded: {},
    };
    await storage.putGame(saved);
    await storage.putFile(id, CROSSES_FILE, encoder.encode(saved.crosses));
    playGame(new Game(saved), seed === "" ? [] : ["--seed", seed], { [CROSSES_FILE]: saved.crosses }, release);
  }

  // The game kept in this browser, continued where it was left: the core
  // replays its record silently and shows the last screen the player saw.
  async function continueGame(saved) {
    const release = await takeGameLock(saved.id);
    if (!release) {
      showSavedGames();
      return;
    }
    const [record, results, shown, screen] = await Promise.all([
      storage.file(saved.id, RECORD_FILE), storage.file(saved.id, RESULTS_FILE), storage.file(saved.id, CONSOLE_FILE),
      storage.file(saved.id, SCREEN)]);
    const files = { [CROSSES_FILE]: saved.crosses };
    let args = ["--resume"];
    if (record) files[RECORD_FILE] = record;
    else args = saved.seed === "" ? [] : ["--seed", saved.seed];  // left before its record began: started again
    if (record && results) files[RESULTS_FILE] = results;
    const next = new Game(saved);
    const pending = pendingAnswers.get(saved.id);
    if (record && pending && answersIn(record) === pending.answers) next.resend = pending;
    else if (record) next.ticks = await storage.file(saved.id, TICKS);
    if (record && shown) {
      next.output.push(shown);
      next.screen.push(screen || new TextDecoder().decode(shown));
    }
    playGame(next, args, files, release);
    if (record) {
      $("hint").textContent = "Continuing your game where you left it: the game goes through what you did " +
        "again, then shows your last screen.";
    }
  }

  async function playGame(next, args, files, release) {
    if (game) game.stop();
    game = next;
    game.release = release;
    $("setup").hidden = true;
    $("class").hidden = true;
    $("play").hidden = false;
    $("ended").hidden = true;
    $("results").hidden = true;
    $("kept-note").hidden = true;
    $("debrief").hidden = true;
    $("hint").textContent = "";
    showSeed(game.saved);
    terminal.reset();
    editor.text = "";
    editor.cursor = 0;
    editor.held = false;
    terminal.write(game.screen.join(""));
    setWaiting(false);
    layOut();
    terminal.focus();
    const status = await game.play(args, files);
    if (game !== next) return;
    game.waiting = false;
    setWaiting(false);
    endGame(status);
  }

  async function endGame(status) {
    game.ended = true;
    if (game.release) game.release();
    game.saved.ended = true;
    game.saved.status = status;
    game.saved.errors = game.errors;
    game.saved.updated = Date.now();
    await storage.putFile(game.id, CONSOLE_FILE, concat(game.output));
    await storage.putFile(game.id, SCREEN, game.screen.join(""));
    await storage.putGame(game.saved);
    showEnd(status);
  }

  // The end of a game: its debrief below it, the downloads beside it. The
  // focus goes to the words that say so, not to a button, so that no key
  // pressed on from the game starts anything.
  function showEnd(status) {
    const debrief = game.files[DEBRIEF_FILE];
    $("show-debrief").disabled = $("download-debrief").disabled = !debrief;
    if (debrief) {
      $("debrief-frame").srcdoc = new TextDecoder().decode(debrief);
      $("debrief").hidden = false;
    }
    $("hint").textContent = status === 0
      ? "The game is over. Scroll up in the terminal to read it again."
      : "The game has stopped." + (game.errors ? " " + game.errors.trim() : "");
    $("results").hidden = true;
    $("kept-note").hidden = true;
    $("working").hidden = true;
    $("ended").hidden = false;
    $("confirm-new").hidden = true;
    $("ended-text").textContent = debrief
      ? "Download the record and the debrief to keep the game (your teacher may ask for them), or start a new one."
      : "Download the record or the console to keep the game, or start a new one.";
    document.body.dataset.state = "ended";
    layOut();
    $("ended-text").focus();
  }

  // An ended game kept in this browser, shown again as it ended.
  async function showEndedGame(saved) {
    const [record, debrief, shown, screen] = await Promise.all([
      storage.file(saved.id, RECORD_FILE), storage.file(saved.id, DEBRIEF_FILE), storage.file(saved.id, CONSOLE_FILE),
      storage.file(saved.id, SCREEN)]);
    if (game && !game.ended) game.stop();
    game = new Game(saved);
    game.ended = true;
    game.errors = saved.errors || "";
    if (record) game.files[RECORD_FILE] = record;
    if (debrief) game.files[DEBRIEF_FILE] = debrief;
    if (shown) game.output.push(shown);
    $("setup").hidden = true;
    $("play").hidden = false;
    showSeed(saved);
    terminal.reset();
    if (shown) terminal.write(screen || new TextDecoder().decode(shown));
    showEnd(saved.status === undefined ? 0 : saved.status);
  }

  function setWaiting(waiting, selection) {
    const before = document.body.dataset.state;
    document.body.dataset.state = waiting ? (selection ? "selection" : "waiting") : "running";
    const atTable = waiting && !!selection;
    $("results").hidden = !atTable;
    $("done").disabled = !atTable;
    $("upload-results").disabled = !atTable;
    $("upload-label").classList.toggle("disabled", !atTable);
    if (atTable) {
      $("upload-problem").hidden = true;
      showResults(game.table);
    }
    if ((before === "selection") !== (document.body.dataset.state === "selection")) layOut();
    showWorking();
  }

  // While the game computes for more than a moment, the page says so, and
  // what happens to the keys typed meanwhile.
  let workingTimer = 0;
  function showWorking() {
    const working = !!game && game.running && !game.waiting && !game.ended;
    $("working-text").textContent = working && (editor.held || editor.text)
      ? "The game is working ... What you typed waits on its line for the game's next question."
      : "The game is working ...";
    if (!working) {
      clearTimeout(workingTimer);
      workingTimer = 0;
      $("working").hidden = true;
      delete document.body.dataset.working;
    } else if ($("working").hidden && !workingTimer) {
      workingTimer = setTimeout(() => {
        workingTimer = 0;
        if (game && game.running && !game.waiting && !game.ended) {
          $("working").hidden = false;
          document.body.dataset.working = "yes";
        }
      }, 250);
    }
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

  // The game's own reading of a saved Results.csv, from its record.
  function showKept({ kept, refused }) {
    if (refused || !game || !game.table) return;
    const of = game.table.ids.length;
    $("kept-note").textContent = `The game read your Results.csv: it keeps ${kept} of the ${of} ` +
      `${of === 1 ? "entry" : "entries"} of the table.`;
    $("kept-note").hidden = false;
  }

  const NOT_TEXT = {
    picture: "it is a picture",
    workbook: "it is a spreadsheet workbook, not CSV text",
    document: "it is a document",
    binary: "it holds bytes that no text file holds",
    unreadable: "the browser could not read it",
  };

  function refusedUpload({ name, why }) {
    const problem = $("upload-problem");
    problem.textContent = `${name} is not a text file the game can read: ${NOT_TEXT[why] || NOT_TEXT.binary}. ` +
      "In your spreadsheet, save the table as CSV (comma-separated) and upload that file, or tick rows here and press Done.";
    game.uploading = false;
    game.waiting = true;
    setWaiting(true, true);
    problem.hidden = false;
  }

  // ---------------------------------------------------------------------
  // The results table: the table the game waits for, and only while it
  // waits. Its ID column stays in view when the table scrolls sideways, and
  // it opens scrolled to its newest columns.

  function newTable(shown) {
    const n = shown.ids.length;
    const order = new Int32Array(n);
    for (let i = 0; i < n; i++) order[i] = i;
    return { ...shown, drop: new Uint8Array(n), order, sortColumn: -1, ascending: true, drawn: 0, fresh: true };
  }

  function entryFields(table, e) {
    const line = table.entryLines[e];
    const end = line + 1 < table.lineStarts.length ? table.lineStarts[line + 1] : table.text.length;
    return table.text.slice(table.lineStarts[line], end).replace(/\r?\n$/, "").replace(/\r$/, "").split(",").map((f) => f.trim());
  }

  function showResults(table) {
    const element = $("results-table");
    if (element.table === table) return;
    element.table = table;
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
    names.className = "names";
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
      const e = Number(event.target.dataset.entry);
      table.drop[e] = event.target.checked ? 1 : 0;
      event.target.closest("tr").classList.toggle("dropped", !!table.drop[e]);
      summarise(table);
    });
    fillResults(table);
    $("keep-count").value = "";
    summarise(table);
    // A new table opens at its top, scrolled sideways to its newest columns.
    const scroller = $("results-scroll");
    scroller.scrollTop = 0;
    scroller.scrollLeft = 0;
    requestAnimationFrame(() => { scroller.scrollLeft = scroller.scrollWidth; });
  }

  // The rows are drawn a few hundred at a time, more as the player scrolls
  // down (or tabs to the last one): a browser takes seconds to lay out ten
  // thousand rows of check boxes, and a class's game has a hundred thousand.
  const ROWS_AT_A_TIME = 300;

  function fillResults(table) {
    // A table scrolled to its newest columns stays there when drawn again.
    const scroller = $("results-scroll");
    const atEnd = scroller.scrollLeft > 0 && scroller.scrollLeft + scroller.clientWidth >= scroller.scrollWidth - 2;
    table.drawn = 0;
    $("results-table").tBodies[0].replaceChildren();
    drawMoreResults(table);
    if (atEnd) scroller.scrollLeft = scroller.scrollWidth;
    const heads = $("results-table").tHead.rows[table.fixed.length].cells;
    for (let c = 1; c < heads.length; c++) {
      if (c - 1 === table.sortColumn) heads[c].setAttribute("aria-sort", table.ascending ? "ascending" : "descending");
      else heads[c].removeAttribute("aria-sort");
    }
  }

  function drawMoreResults(table) {
    const html = [];
    const end = Math.min(table.order.length, table.drawn + ROWS_AT_A_TIME);
    for (let at = table.drawn; at < end; at++) {
      const e = table.order[at];
      const drop = table.drop[e];
      html.push(`<tr${drop ? ' class="dropped"' : ""}><td><input type="checkbox" data-entry="${e}"` +
        ` aria-label="Drop ${table.ids[e]}"${drop ? " checked" : ""}></td>` +
        entryFields(table, e).map((f) => `<td>${f.replace(/[&<>"]/g, (c) => `&#${c.charCodeAt(0)};`)}</td>`).join("") + "</tr>");
    }
    table.drawn = end;
    $("results-table").tBodies[0].insertAdjacentHTML("beforeend", html.join(""));
  }

  // Near the bottom of the drawn rows, the next ones are drawn.
  function drawAsNeeded() {
    const table = game && game.table;
    const scroller = $("results-scroll");
    if (table && !$("results").hidden && table.drawn < table.order.length &&
        scroller.scrollTop + scroller.clientHeight > scroller.scrollHeight - 400) drawMoreResults(table);
  }

  // Ticks every row after the first `count` in the order shown (sorted by a
  // column, the best ones first), and unticks those first rows.
  function keepFirst(table, count) {
    table.order.forEach((e, at) => { table.drop[e] = at >= count ? 1 : 0; });
    fillResults(table);
    summarise(table);
  }

  // The engine sorts (a large table takes a moment), and the table is drawn
  // again in its order.
  function sortResults(table, column) {
    const ascending = table.sortColumn === column ? !table.ascending : true;
    engine.send(game.run, { type: "sort", column, ascending });
  }

  function sortedResults({ order, column, ascending }) {
    const table = game && game.table;
    if (!table || order.length !== table.order.length) return;
    table.order = order;
    table.sortColumn = column;
    table.ascending = ascending;
    fillResults(table);
  }

  // The ticks are kept as they change (a moment after the last), so that a
  // page closed at a selection comes back ticked.
  let ticksTimer = 0;
  function keepTicks(table) {
    clearTimeout(ticksTimer);
    ticksTimer = setTimeout(() => {
      if (game && game.table === table && !game.ended) {
        storage.putFile(game.id, TICKS, { entries: table.drop.length, first: table.ids[0], drop: table.drop.slice() });
      }
    }, 300);
  }

  function summarise(table) {
    let dropped = 0;
    for (const d of table.drop) dropped += d;
    $("results-summary").textContent =
      `${table.drop.length - dropped} of ${table.drop.length} entries kept, ${dropped} ticked to drop.`;
    if (game && game.table === table && game.waiting) keepTicks(table);
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
      if (!game || !game.waiting || !game.atSelection) return;
      submitLine();
      terminal.focus();
    });
    $("results-scroll").addEventListener("scroll", drawAsNeeded);
    $("results-table").addEventListener("focusin", drawAsNeeded);
    $("keep-first").addEventListener("submit", (event) => {
      event.preventDefault();
      const count = Number($("keep-count").value);
      if (game && game.table && $("keep-count").value !== "" && Number.isInteger(count) && count >= 0) {
        keepFirst(game.table, count);
      }
    });
    $("download-results").addEventListener("click", () => {
      if (game && game.table && game.waiting) engine.send(game.run, { type: "kept-file", drop: game.table.drop });
    });
    $("upload-results").addEventListener("change", (event) => {
      const file = event.target.files[0];
      event.target.value = "";
      if (!file || !game || !game.waiting || !game.atSelection) return;
      $("upload-problem").hidden = true;
      submitLine(file);
      terminal.focus();
    });
    $("show-debrief").addEventListener("click", () => {
      $("debrief").scrollIntoView({ behavior: "smooth" });
      $("debrief-frame").focus();
    });
    $("download-debrief").addEventListener("click", () => {
      const bytes = game && game.files[DEBRIEF_FILE];
      if (!bytes) return;
      download(DEBRIEF_FILE, bytes, "text/html");
      noteDownloaded("debrief");
    });
    $("new-game").addEventListener("click", () => {
      const missing = [];
      const downloaded = game.saved.downloaded || {};
      if (game.files[RECORD_FILE] && !downloaded.record) missing.push("record");
      if (game.files[DEBRIEF_FILE] && !downloaded.debrief) missing.push("debrief");
      if (missing.length === 0) {
        newGame();
        return;
      }
      $("confirm-new-text").textContent = `You have not downloaded this game's ${missing.join(" or its ")} yet. ` +
        "A new game starts from the crosses again; this game stays in this browser until you forget it.";
      $("confirm-new").hidden = false;
      $("confirm-stay").focus();
    });
    $("confirm-download").addEventListener("click", () => {
      if (game.files[RECORD_FILE]) {
        download(RECORD_FILE, game.files[RECORD_FILE], "application/json");
        noteDownloaded("record");
      }
      if (game.files[DEBRIEF_FILE]) {
        download(DEBRIEF_FILE, game.files[DEBRIEF_FILE], "text/html");
        noteDownloaded("debrief");
      }
      $("confirm-new").hidden = true;
      $("new-game").focus();
    });
    $("confirm-new-game").addEventListener("click", newGame);
    $("confirm-stay").addEventListener("click", () => {
      $("confirm-new").hidden = true;
      $("ended-text").focus();
    });
    $("download-record").addEventListener("click", () => {
      const bytes = game && game.files[RECORD_FILE];
      if (!bytes) {
        $("hint").textContent = "The game has no record yet: it begins when the game starts.";
        return;
      }
      download(RECORD_FILE, bytes, "application/json");
      if (game.ended) noteDownloaded("record");
    });
    $("download-console").addEventListener("click", () => {
      if (game) download(CONSOLE_FILE, concat(game.output), "text/plain");
    });
  }

  function noteDownloaded(what) {
    game.saved.downloaded = { ...(game.saved.downloaded || {}), [what]: true };
    storage.putGame(game.saved);
  }

  // Back to the crosses for a new game. A game that ended with everything
  // downloaded is forgotten; one without its downloads stays listed.
  function newGame() {
    const downloaded = game.saved.downloaded || {};
    if (game.ended && (!game.files[RECORD_FILE] || downloaded.record) && (!game.files[DEBRIEF_FILE] || downloaded.debrief)) {
      storage.forget(game.id);
    }
    $("debrief").hidden = true;
    $("debrief-frame").srcdoc = "";
    game = null;
    document.body.dataset.state = "setup";
    $("play").hidden = true;
    $("setup").hidden = false;
    showSavedGames();
    $("start").focus();
  }

  // ---------------------------------------------------------------------

  // Without the browser's storage a game cannot be continued after a
  // reload: then leaving a game in progress asks first.
  let keeping = false;
  window.addEventListener("beforeunload", (event) => {
    if (game && !game.ended && !keeping) {
      event.preventDefault();
      event.returnValue = "";
    }
  });

  // What a test (or a curious teacher) may read of the game in progress:
  // the console's bytes and, once asked to keep them, each Results.csv the
  // game wrote, in base64 (a class's tables are large: they are not kept
  // otherwise).
  let keepTables = false;
  window.plotwrightPage = {
    keepTables: () => { keepTables = true; },
    console: () => (game ? toBase64(concat(game.output)) : ""),
    resultsSeen: () => (game ? game.resultsSeen.map(toBase64) : []),
    waits: () => (game ? game.waits : 0),
    lastWaitMs: () => (game ? game.lastWaitMs : 0),
    keeping: () => keeping,
    settled: () => storage.settled(),
    editedLine: () => editor.text,
    terminalFont: () => terminal.options.fontSize,
    tableIds: () => (game && game.table ? Array.from(game.table.ids) : []),
  };

  function toBase64(bytes) {
    let text = "";
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }

  async function start() {
    try {
      engine = new Engine();
      setUpTerminal();
      setUpSetup();
      setUpResults();
      setUpReplay();
      setUpClassSummary();
      keeping = await storage.open();
      await Promise.all([showFounders(), checkCrosses(), showSavedGames()]);
      $("loading").hidden = true;
      $("setup").hidden = false;
      document.body.dataset.state = "setup";
    } catch (error) {
      $("loading").textContent = "The game could not be loaded: " + (error.message || error);
    }
  }

  // ---------------------------------------------------------------------
  // The class summary: a teacher's folder of records (each student's
  // Plotwright-record.json, in folders of their own or loose), summed up by
  // the core as plotwright --class does, and each record's debrief as
  // plotwright --debrief writes it, all in the worker, nothing sent anywhere.

  const CLASS_FOLDER = "Class";
  const REFERENCE_FILES = ["zForbidden.csv", "zHandsOff.csv", "zKeepOut.csv"];
  let classResults = null;

  function setUpClassSummary() {
    $("class-mode").addEventListener("click", () => {
      if (game && !game.ended) {
        $("hint").textContent = "Finish or leave this game first: the class summary is on the first screen's button.";
        return;
      }
      $("setup").hidden = true;
      $("play").hidden = true;
      $("debrief").hidden = true;
      $("class").hidden = false;
      document.body.dataset.state = "class";
      $("class-drop").focus();
    });
    $("class-back").addEventListener("click", () => {
      $("class").hidden = true;
      if (game) $("play").hidden = false;
      else $("setup").hidden = false;
      document.body.dataset.state = game ? "ended" : "setup";
    });
    const chosen = (event) => {
      const files = [...event.target.files].map((file) => ({ path: file.webkitRelativePath || file.name, file }));
      event.target.value = "";
      summariseClass(files);
    };
    $("class-folder").addEventListener("change", chosen);
    $("class-files").addEventListener("change", chosen);
    const zone = $("class-drop");
    zone.addEventListener("dragover", (event) => {
      event.preventDefault();
      zone.classList.add("over");
    });
    zone.addEventListener("dragleave", () => zone.classList.remove("over"));
    zone.addEventListener("drop", async (event) => {
      event.preventDefault();
      zone.classList.remove("over");
      const entries = [...event.dataTransfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry()).filter(Boolean);
      const files = entries.length ? (await Promise.all(entries.map((e) => filesOfEntry(e, "")))).flat()
        : [...event.dataTransfer.files].map((file) => ({ path: file.name, file }));
      summariseClass(files);
    });
    $("class-download-html").addEventListener("click", () => classResults &&
      download("Class-summary.html", classResults.html, "text/html"));
    $("class-download-csv").addEventListener("click", () => classResults &&
      download("Class-summary.csv", classResults.csv, "text/csv"));
    $("class-download-debriefs").addEventListener("click", () => classResults &&
      download("Class-debriefs.zip", zipFiles(classResults.debriefs), "application/zip"));
  }

  // The files below a dropped folder, each with its path from there.
  async function filesOfEntry(entry, above) {
    const path = above + entry.name;
    if (entry.isFile) return [{ path, file: await new Promise((resolve, reject) => entry.file(resolve, reject)) }];
    const reader = entry.createReader();
    const children = [];
    for (;;) {
      const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (batch.length === 0) break;
      children.push(...batch);
    }
    return (await Promise.all(children.map((child) => filesOfEntry(child, path + "/")))).flat();
  }

  async function summariseClass(chosen) {
    const status = $("class-status");
    const wanted = chosen.filter(({ path }) => /\.json$/i.test(path) || REFERENCE_FILES.includes(path.split("/").pop()));
    const records = wanted.filter(({ path }) => /\.json$/i.test(path));
    if (records.length === 0) {
      status.textContent = "No record (a .json file) among the files chosen: choose the folder that holds the students' records.";
      return;
    }
    $("class-results").hidden = true;
    status.textContent = `Summing up ${records.length} ${records.length === 1 ? "record" : "records"} ...`;
    // The class's folder is the one chosen or dropped, by its own name;
    // records chosen loose go into a folder of that name.
    const tops = new Set(wanted.map(({ path }) => (path.includes("/") ? path.split("/")[0] : "")));
    const top = tops.size === 1 && !tops.has("") ? [...tops][0] : "";
    const root = top || CLASS_FOLDER;
    const files = {};
    for (const { path, file } of wanted) files[top ? path : `${root}/${path}`] = new Uint8Array(await file.arrayBuffer());
    try {
      const summary = await runQuietly(["--class", root], files, [`${root}/Class-summary.html`, `${root}/Class-summary.csv`]);
      const html = summary.files[`${root}/Class-summary.html`];
      const csv = summary.files[`${root}/Class-summary.csv`];
      if (!html) throw new Error(summary.out.trim() || summary.err.trim());
      // Each record's debrief, beside it as the console writes it; each run
      // has the record's folder alone, so loose records do not meet.
      const debriefs = [];
      let done = 0;
      for (const { path: chosenPath } of records) {
        status.textContent = `Summed up; writing the debriefs: ${++done} of ${records.length} ...`;
        const path = top ? chosenPath : `${root}/${chosenPath}`;
        const folder = path.slice(0, path.lastIndexOf("/") + 1);
        const own = { [path]: files[path] };
        for (const name of REFERENCE_FILES) if (files[folder + name]) own[folder + name] = files[folder + name];
        const written = folder + DEBRIEF_FILE;
        const run = await runQuietly(["--debrief", path], own, [written]);
        debriefs.push({ path, name: written, bytes: run.files[written] || null, said: run.out.trim() });
      }
      classResults = { html, csv, debriefs: debriefs.filter((d) => d.bytes) };
      showClassResults(summary.out, debriefs);
    } catch (error) {
      status.textContent = "The class could not be summed up: " + (error.message || error);
    }
  }

  function showClassResults(said, debriefs) {
    const written = debriefs.filter((d) => d.bytes).length;
    $("class-status").textContent = said.trim().split("\n").pop().trim() +
      `. ${written} of ${debriefs.length} debriefs written.`;
    const list = $("class-debriefs");
    list.replaceChildren();
    for (const d of debriefs) {
      const item = document.createElement("li");
      if (d.bytes) {
        const button = document.createElement("button");
        button.type = "button";
        button.className = "link";
        button.textContent = d.path;
        button.title = `Download the debrief of ${d.path}`;
        button.addEventListener("click", () => download(d.name.replace(/\//g, " - "), d.bytes, "text/html"));
        item.append(button);
      } else {
        item.textContent = `${d.path}: ${d.said.split("\n").pop()}`;
      }
      list.append(item);
    }
    $("class-frame").srcdoc = new TextDecoder().decode(classResults.html);
    $("class-download-debriefs").disabled = classResults.debriefs.length === 0;
    $("class-results").hidden = false;
  }

  // A zip of the debriefs, each under its record's folder, stored as they
  // are (no compression), which every system opens.
  function zipFiles(entries) {
    const crcTable = new Uint32Array(256).map((_, n) => {
      let c = n;
      for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
      return c >>> 0;
    });
    const crc32 = (bytes) => {
      let c = 0xffffffff;
      for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
      return (c ^ 0xffffffff) >>> 0;
    };
    const parts = [], central = [];
    let offset = 0;
    for (const { name, bytes } of entries) {
      const path = encoder.encode(name);
      const crc = crc32(bytes);
      const local = new DataView(new ArrayBuffer(30));
      local.setUint32(0, 0x04034b50, true);
      local.setUint16(4, 20, true);
      local.setUint16(6, 0x0800, true);  // names in UTF-8
      local.setUint32(14, crc, true);
      local.setUint32(18, bytes.length, true);
      local.setUint32(22, bytes.length, true);
      local.setUint16(26, path.length, true);
      parts.push(new Uint8Array(local.buffer), path, bytes);
      const entry = new DataView(new ArrayBuffer(46));
      entry.setUint32(0, 0x02014b50, true);
      entry.setUint16(4, 0x0314, true);  // made on a Unix system, so the UTF-8 names are taken as such
      entry.setUint32(38, 0o100644 << 16 >>> 0, true);
      entry.setUint16(6, 20, true);
      entry.setUint16(8, 0x0800, true);
      entry.setUint32(16, crc, true);
      entry.setUint32(20, bytes.length, true);
      entry.setUint32(24, bytes.length, true);
      entry.setUint16(28, path.length, true);
      entry.setUint32(42, offset, true);
      central.push(new Uint8Array(entry.buffer), path);
      offset += 30 + path.length + bytes.length;
    }
    const size = central.reduce((n, part) => n + part.length, 0);
    const end = new DataView(new ArrayBuffer(22));
    end.setUint32(0, 0x06054b50, true);
    end.setUint16(8, entries.length, true);
    end.setUint16(10, entries.length, true);
    end.setUint32(12, size, true);
    end.setUint32(16, offset, true);
    return concat([...parts, ...central, new Uint8Array(end.buffer)]);
  }

  start();
})();
