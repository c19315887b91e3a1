#!/usr/bin/env python3
"""Plays a whole game with the real program, as a player at the keyboard would.

Usage: scripted_game.py SCRIPT FOLDER OUT -- PROGRAM [ARGUMENTS...]

The program is started in FOLDER (which must hold Crosses.csv) with its
console on pipes. Each line of SCRIPT is what the player does at the game's
next wait for a typed line, then what they type, split by '|':

    drop:3 hold | 2

Before typing, the actions run in order:
    drop:N    delete the rows of Results.csv whose ID is a multiple of N
    spoil     change the header row that names the IDs ("Plant_ID" to
              "Plant-ID"), which the game refuses
    mend      change it back, as the web page's Done does
    hold      hold Results.csv as a spreadsheet does: with HOLDER (set in
              the environment as a command) a process holds it open; without
              one, the spreadsheet's lock file is put beside it
    release   let go of Results.csv again
    upload, enter, paste, ahead, picture, sideways
              nothing here: what the web page's test does beside the answer
              (saves the file by uploading it or by Enter in the terminal
              instead of Done, pastes the answer, types it while the game
              still works, first uploads a picture, scrolls the table)
    kill      the window is closed: the game is killed at the wait, then
              started again with --resume, and the answer goes to it
    kill:MS   the answer is typed, and MS milliseconds later (the game at
              work, or waiting again) the game is killed and started again
              with --resume; the next line answers the resumed game
A wait is recognised by the console: a prompt ending in ':' or a line that
asks for <Enter>. OUT receives console.txt (the console as written) and a
copy of Results.csv at every wait where it changed (results-01.csv, ...).
"""

import os
import shlex
import subprocess
import sys
import threading
import time

WAIT_SECONDS = 120
QUIET_SECONDS = 0.1


class Console:
    """The program's console output, gathered by a thread as it comes."""

    def __init__(self, stream):
        self.text = b""
        self.ended = False
        self.changed = threading.Condition()
        threading.Thread(target=self._gather, args=(stream,), daemon=True).start()

    def _gather(self, stream):
        while True:
            chunk = os.read(stream.fileno(), 65536)
            with self.changed:
                if not chunk:
                    self.ended = True
                else:
                    self.text += chunk
                self.changed.notify_all()
            if not chunk:
                return

    def wait_for_prompt(self, since):
        """Waits until the output after `since` ends at a wait; its length.

        The game writes everything before a wait in one flush: a prompt that
        ends in ':', or lines of which one asks for <Enter> (a reason may
        follow it). The output must then stay still for a moment."""
        deadline = time.monotonic() + WAIT_SECONDS
        with self.changed:
            while True:
                tail = self.text[since:].replace(b"\r", b"")
                waiting = tail.rstrip(b" ").endswith(b":") or (tail.endswith(b"\n") and b"<Enter>" in tail)
                if waiting:
                    length = len(self.text)
                    self.changed.wait(QUIET_SECONDS)
                    if len(self.text) == length:
                        return length
                    continue
                if self.ended:
                    raise RuntimeError("the game ended before the script did")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise RuntimeError("no wait for input within %d s; the console ends with:\n%s"
                                       % (WAIT_SECONDS, self.text[-400:].decode("utf-8", "replace")))
                self.changed.wait(left)


def spoil_header(path, mend=False):
    """Changes the name of the ID column in the header, as a careless edit
    does, or back."""
    with open(path, "rb") as f:
        text = f.read()
    with open(path, "wb") as f:
        f.write(text.replace(b"-ID", b"_ID", 1) if mend else text.replace(b"_ID", b"-ID", 1))


def drop_rows(path, every):
    """Deletes the rows of Results.csv whose ID is a multiple of `every`."""
    with open(path, "rb") as f:
        lines = f.read().splitlines(keepends=True)
    kept = []
    for line in lines:
        first = line.split(b",", 1)[0].strip()
        if first.isdigit() and int(first) % every == 0:
            continue
        kept.append(line)
    with open(path, "wb") as f:
        f.write(b"".join(kept))


def from_here(words):
    """The words of a command, a path relative to the current folder made
    absolute, since the command runs in the game folder."""
    return [os.path.abspath(w) if os.sep in w and os.path.exists(w) else w for w in words]


class Holder:
    """Holds Results.csv open, by a process or by a lock file."""

    def __init__(self, folder):
        self.folder = folder
        self.process = None
        self.lock = os.path.join(folder, ".~lock.Results.csv#")

    def hold(self):
        command = os.environ.get("HOLDER")
        if not command:
            with open(self.lock, "w") as f:
                f.write("a spreadsheet\n")
            return
        self.process = subprocess.Popen(from_here(shlex.split(command)) + ["Results.csv"], cwd=self.folder,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        said = self.process.stdout.readline()  # the holder says when it holds the file
        if not said:
            raise RuntimeError("the holder could not hold Results.csv")

    def release(self):
        if self.process is None:
            os.remove(self.lock)
            return
        self.process.stdin.close()
        self.process.wait(timeout=WAIT_SECONDS)
        self.process = None


def main():
    if "--" not in sys.argv or sys.argv.index("--") != 4:
        sys.exit(__doc__)
    script, folder, out = sys.argv[1:4]
    program = from_here(sys.argv[5:])
    os.makedirs(out, exist_ok=True)
    with open(script) as f:
        steps = [line.split("#", 1)[0].rstrip("\n") for line in f]
    steps = [step for step in steps if step.strip()]

    def start(arguments):
        game = subprocess.Popen(arguments, cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT)
        return game, Console(game.stdout)

    def restart(game, console):
        game.kill()
        game.wait(timeout=WAIT_SECONDS)
        with console.changed:
            while not console.ended:
                console.changed.wait(WAIT_SECONDS)
        shown.append(console.text)
        return start(program + ["--resume"])

    shown = []  # the console of each game killed
    game, console = start(program)
    holder = Holder(folder)
    results = os.path.join(folder, "Results.csv")
    last_saved, saved = None, 0
    seen = 0
    for step in steps:
        actions, _, answer = step.partition("|")
        seen = console.wait_for_prompt(seen)
        if os.path.exists(results):
            with open(results, "rb") as f:
                written = f.read()
            if written != last_saved:
                saved += 1
                with open(os.path.join(out, "results-%02d.csv" % saved), "wb") as f:
                    f.write(written)
                last_saved = written
        kill_after = None
        for action in actions.split():
            if action == "kill":
                game, console = restart(game, console)
                seen = console.wait_for_prompt(0)
            elif action.startswith("kill:"):
                kill_after = int(action[5:]) / 1000
            elif action.startswith("drop:"):
                drop_rows(results, int(action[5:]))
            elif action in ("spoil", "mend"):
                spoil_header(results, mend=action == "mend")
            elif action == "hold":
                holder.hold()
            elif action == "release":
                holder.release()
            elif action in ("upload", "enter", "paste", "ahead", "picture", "sideways"):
                pass
            else:
                sys.exit("unknown action: " + action)
        if actions.strip() and os.path.exists(results):
            with open(results, "rb") as f:
                last_saved = f.read()  # the player's own save is not a table the game wrote
        game.stdin.write(answer.strip().encode() + b"\n")
        game.stdin.flush()
        if kill_after is not None:
            time.sleep(kill_after)
            game, console = restart(game, console)
            seen = 0
    game.stdin.close()
    status = game.wait(timeout=WAIT_SECONDS)
    with console.changed:
        while not console.ended:
            console.changed.wait(WAIT_SECONDS)
    with open(os.path.join(out, "console.txt"), "wb") as f:
        f.write(b"".join(shown) + console.text)
    print("%s: exit status %d, %d Results.csv files" % (out, status, saved))
    return status


if __name__ == "__main__":
    sys.exit(main())
