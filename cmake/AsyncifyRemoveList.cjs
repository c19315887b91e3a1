// Writes the list of the game's functions that Asyncify leaves as they are
// in the page's module (-sASYNCIFY_REMOVE=@LIST): every function of the
// game defined in the object files whose path matches QUIET, the code that
// never waits for the player (the genetics, the record, the reports, ...),
// so is never on the stack while a read awaits the page. Asyncify would
// otherwise instrument most of them, since any call through a pointer or a
// C++ exception's landing pad might lead to a read; uninstrumented, they
// are smaller and faster. A name that the other object files define too
// (an overload, a helper of the same name) is left out, so the list never
// reaches code that waits. Each line is the name up to its parameters and
// a wildcard, with no comma or parenthesis that Asyncify's list would split
// on; nlohmann's JSON code, used by the record alone, is listed whole, and
// so are the parts of the standard library that never read (below).
//
// Usage: node AsyncifyRemoveList.cjs NM LIST QUIET OBJECT...
"use strict";
const fs = require("fs");
const { execFileSync } = require("child_process");

const [nm, list, quiet, ...objects] = process.argv.slice(2);
if (!objects.length) throw new Error("usage: node AsyncifyRemoveList.cjs NM LIST QUIET OBJECT...");
const quietPath = new RegExp(quiet);

// The functions each object defines, demangled: "plotwright::..." names.
function functions(object) {
  const out = execFileSync(nm, ["-C", "--defined-only", object], { encoding: "utf8", maxBuffer: 1 << 26 });
  return out.split("\n").map((line) => /^[0-9a-f]+ [Tt] (plotwright::.*)$/.exec(line)).filter(Boolean).map((m) => m[1]);
}

// A name as a pattern: up to the parameters, the anonymous namespace a
// wildcard, then a wildcard.
function pattern(name) {
  const plain = name.replace(/\(anonymous namespace\)/g, "*anonymous namespace*");
  const open = plain.indexOf("(");
  return (open < 0 ? plain : plain.slice(0, open)) + "*";
}

function matches(patternText, name) {
  const regex = new RegExp("^" + patternText.split("*").map((p) => p.replace(/[.*+?^${}()|[\]\\]/g, "\\$&")).join(".*") + "$");
  return regex.test(name.replace(/\(anonymous namespace\)/g, "*anonymous namespace*"));
}

const quietNames = [], otherNames = [];
for (const object of objects) (quietPath.test(object) ? quietNames : otherNames).push(...functions(object));
const patterns = [...new Set(quietNames.map(pattern))]
  .filter((p) => !/[,()]/.test(p.replace(/\*anonymous namespace\*/g, "")))
  .filter((p) => !otherNames.some((name) => matches(p, name)))
  .sort();
// The standard library's code that never reads a stream: strings,
// vectors, output streams, the locale's facets, the file system. Reading
// the console goes through std::getline and std::streambuf's uflow and
// underflow alone, which stay instrumented, as do std::function's calls.
const library = [
  "std::__2::basic_string*", "std::__2::vector*", "void std::__2::vector*", "std::__2::basic_ostream*",
  "std::__2::__fs::*", "void std::__2::__fs::*", "std::__2::locale*", "void std::__2::locale*", "std::__2::ctype*",
  "std::__2::codecvt*", "std::__2::num_get*", "std::__2::num_put*", "std::__2::__num_get*", "std::__2::__num_put*",
  "std::__2::numpunct*", "std::__2::time_get*", "std::__2::time_put*", "std::__2::__time_get*",
  "std::__2::__time_put*", "std::__2::moneypunct*", "std::__2::money_get*", "std::__2::money_put*",
  "std::__2::__money_get*", "std::__2::__money_put*", "std::__2::messages*", "std::__2::collate*",
  "std::__2::shared_ptr*", "std::__2::__shared_ptr_emplace*", "std::__2::__shared_weak_count*",
];
fs.writeFileSync(list, [...patterns, "nlohmann::*", ...library, ""].join("\n"));
