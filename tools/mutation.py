#!/usr/bin/env python3
"""Plants small faults in the program one at a time and runs the tests against each.

Each mutant changes one line of one source file: a comparison or logic operator, an integer
constant by one, a dropped statement or call, a condition forced true or false, a returned
truth value flipped. The tool rebuilds the test programs incrementally in a build folder of
its own, runs them with a time limit, and puts the file back. A mutant that does not compile
is replaced by another one. At the end it prints the score and every mutant that no test
noticed.

A kill counts only when the failing test fails again on the same mutant and passes on the
unchanged program: a test that fails now and then kills nothing, and is set aside while the
other tests still run (up to three times a mutant).

A mutant that the test programs miss is then tried against the tests of the whole program
(CTest's label "system": the real program under a window manager, Wayland, the sound server,
the install); run the tool under tools/with_sound_server.sh for those, or pass --no-system.
--replay runs again exactly the survivors listed in an earlier run's output (a line that has
moved since is found by its text); --resume takes the verdicts of an interrupted run of the
same seed and count on the same commit, and goes on from where it stopped.

  tools/mutation.py [-n 150] [--seed 1] [--folders rules,ai,...] [--files a.cpp,b.h]
  tools/with_sound_server.sh tools/mutation.py -n 150
  tools/mutation.py --replay earlier-run.log
  tools/mutation.py -n 150 --seed 1 --resume interrupted-run.log
"""

import argparse
import dataclasses
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FOLDERS = ["settings", "rules", "ai", "match", "options", "store", "view", "sound", "app"]
# Headers are cheap to mutate but expensive to rebuild; they still get their share.
HEADER_WEIGHT = 0.3

COMPARISONS = [("==", "!="), ("!=", "=="), ("<=", "<"), ("<", "<="), (">=", ">"), (">", ">=")]
LOGIC = [("&&", "||"), ("||", "&&")]
ARITHMETIC = [(" + ", " - "), (" - ", " + ")]
# A statement that starts with what it acts on: `a.b(...)`, `x = ...`, `++n`, `ok &= ...`.
STATEMENT = re.compile(r"^\s*(\+\+|--)?(?!return\b|delete\b|throw\b)[A-Za-z_][\w.\->\[\]:*]*\s*"
                       r"(\(|=[^=]|\+=|-=|\*=|/=|\|=|&=|\+\+|--|;)")


@dataclasses.dataclass
class Mutant:
    path: Path
    line: int  # 1-based
    original: str
    mutated: str
    kind: str

    def where(self):
        return f"{self.path.relative_to(ROOT)}:{self.line}"


def code_part(line):
    """The line without a trailing // comment and with string and char literals blanked, so
    that operators are only found in code. Returns the blanked text (same length)."""
    out = []
    i = 0
    quote = None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            # A digit separator (1'000) is not a character literal.
            if c == "'" and i > 0 and line[i - 1].isdigit() and i + 1 < len(line) and line[i + 1].isdigit():
                out.append(" ")
            else:
                quote = c
                out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out).ljust(len(line))[: len(line)]


def is_code_line(stripped):
    if not stripped or stripped.startswith(("//", "#", "*", "/*")):
        return False
    if stripped in ("{", "}", "};", "public:", "private:", "protected:", "default:"):
        return False
    if stripped.startswith(("namespace", "using ", "template", "class ", "struct ", "enum ")):
        return False
    return True


def replacements(text, code, old, new):
    """Every way of replacing one occurrence of `old` that lies in code."""
    out = []
    start = 0
    while True:
        i = code.find(old, start)
        if i < 0:
            return out
        start = i + 1
        before = code[i - 1] if i > 0 else " "
        after = code[i + len(old)] if i + len(old) < len(code) else " "
        if old in ("<", ">", "<=", ">="):
            # Not a shift, a template bracket, an arrow, or a longer operator.
            if before in "<>-=" or after in "<>=" or (old in ("<", ">") and after == "="):
                continue
            if old in ("<", ">") and (before.isalnum() or before in "_*&"):
                # 'vector<int>' and 'cast<T*>' style: comparisons have a space before them.
                continue
        if old in ("==", "!=") and (before in "=!<>" or after == "="):
            continue
        out.append(text[:i] + new + text[i + len(old) :])


def candidates(path):
    lines = path.read_text(encoding="utf-8").split("\n")
    found = []
    in_block_comment = False
    for n, text in enumerate(lines, 1):
        stripped = text.strip()
        if in_block_comment:
            if "*/" in stripped:
                in_block_comment = False
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not is_code_line(stripped):
            continue
        if "static_assert" in stripped or "constexpr const char" in stripped:
            continue
        code = code_part(text)

        def add(new, kind):
            if new != text:
                found.append(Mutant(path, n, text, new, kind))

        for old, new in COMPARISONS:
            for m in replacements(text, code, old, new):
                add(m, "comparison")
        for old, new in LOGIC:
            for m in replacements(text, code, old, new):
                add(m, "logic")
        for old, new in ARITHMETIC:
            for m in replacements(text, code, old, new):
                add(m, "arithmetic")
        for m in re.finditer(r"(?<![\w.])!(?!=)", code):
            add(text[: m.start()] + text[m.end() :], "negation")
        for m in re.finditer(r"(?<![\w.'])(\d+)(?![\w.'])", code):
            value = int(m.group(1))
            for delta in (1, -1):
                if value + delta >= 0:
                    add(text[: m.start()] + str(value + delta) + text[m.end() :], "constant")
        for word, other in (("true", "false"), ("false", "true")):
            for m in re.finditer(r"\breturn " + word + r";", code):
                add(text[: m.start()] + "return " + other + ";" + text[m.end() :], "return")
        for m in re.finditer(r"\b(if|while) \(", code):
            # Force the whole condition: find its closing parenthesis on this line.
            depth = 0
            for j in range(m.end() - 1, len(code)):
                if code[j] == "(":
                    depth += 1
                elif code[j] == ")":
                    depth -= 1
                    if depth == 0:
                        cond = text[m.end() : j]
                        add(text[: m.end()] + "true" + text[j:], "condition")
                        add(text[: m.end()] + "false" + text[j:], "condition")
                        del cond
                        break
        # A whole statement dropped: a call, an assignment, an increment. Declarations and
        # returns are left alone: dropping them rarely compiles.
        if code.rstrip().endswith(";") and STATEMENT.match(code) and stripped.count("(") == stripped.count(")"):
            indent = text[: len(text) - len(text.lstrip())]
            add(indent + "{}  // dropped: " + stripped.replace("*/", "* /"), "dropped")
    return found


def program_files(folders, files):
    if files:
        return [ROOT / f for f in files]
    out = []
    for folder in folders:
        d = ROOT / folder
        if d.is_dir():
            out += sorted(p for p in d.iterdir() if p.suffix in (".cpp", ".h"))
    return out


def choose(all_candidates, n, rng, folders):
    """n mutants spread over the folders in proportion to their candidates, at least a few
    from each folder that has any."""
    by_folder = {}
    for m in all_candidates:
        folder = m.path.relative_to(ROOT).parts[0]
        by_folder.setdefault(folder, []).append(m)
    weight = {f: sum(HEADER_WEIGHT if m.path.suffix == ".h" else 1.0 for m in ms) for f, ms in by_folder.items()}
    total = sum(weight.values())
    # Largest remainders, with at least three mutants a folder.
    exact = {f: max(3.0, n * w / total) for f, w in weight.items()}
    share = {f: int(x) for f, x in exact.items()}
    for f in sorted(exact, key=lambda f: exact[f] - share[f], reverse=True)[: max(0, n - sum(share.values()))]:
        share[f] += 1
    queues = {}
    for f, ms in by_folder.items():
        pool = list(ms)
        rng.shuffle(pool)
        # Headers come later in the queue in proportion to their weight.
        pool.sort(key=lambda m: rng.random() * (1.0 if m.path.suffix == ".cpp" else 1.0 / HEADER_WEIGHT))
        queues[f] = pool
    return share, queues


class Runner:
    def __init__(self, build, timeout_factor):
        self.build = build
        self.timeout_factor = timeout_factor
        self.binaries = []
        self.baseline = {}

    def configure(self):
        self.build.mkdir(exist_ok=True)
        # Every mutant relinks the test programs; lld does that several times faster.
        linker = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"] if shutil.which("ld.lld") else []
        subprocess.run(
            ["cmake", "-S", str(ROOT), "-B", str(self.build), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=MutationCheck", "-DCMAKE_CXX_FLAGS_MUTATIONCHECK=-O1 -g0"] + linker,
            check=True, stdout=subprocess.DEVNULL)

    def targets(self):
        out = subprocess.run(["ninja", "-C", str(self.build), "-t", "targets", "all"],
                             capture_output=True, text=True, check=True).stdout
        # The test programs: executables named *_tests, found by the rule that links them.
        names = set()
        for line in out.splitlines():
            name, _, rule = line.partition(": ")
            if name.endswith("_tests") and "/" not in name and "EXECUTABLE_LINKER" in rule:
                names.add(name)
        return sorted(names)

    def compile(self):
        r = subprocess.run(["ninja", "-C", str(self.build)] + self.binaries,
                           capture_output=True, text=True)
        return r.returncode == 0, r.stdout[-3000:]

    def run_system(self, skip=()):
        """Builds everything and runs the whole-program tests but those in `skip`; the first
        failure, or None."""
        r = subprocess.run(["ninja", "-C", str(self.build)], capture_output=True, text=True)
        if r.returncode != 0:
            return None  # the test programs built, so the mutant stands
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        left_out = [f.partition(": ")[2] for f in skip if f.startswith("system: ")]
        exclude = ["-E", "^(" + "|".join(map(re.escape, left_out)) + ")$"] if left_out else []
        r = subprocess.run(["ctest", "--test-dir", str(self.build), "-L", "system", "-j2",
                            "--timeout", "180"] + exclude, env=env, capture_output=True, text=True)
        if r.returncode == 0:
            return None
        failed = re.findall(r"^\s*\d+ - (\S+) \(", r.stdout, re.M)
        return "system: " + (failed[0] if failed else f"ctest exit {r.returncode}")

    def run_tests(self, order, skip=()):
        """The first failure of the test programs in this order, or None; the tests named in
        `skip` ("program: test") are left out."""
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", GTEST_FAIL_FAST="1")
        for name in order:
            limit = max(20.0, self.timeout_factor * self.baseline.get(name, 10.0))
            left_out = [t for p, _, t in (f.partition(": ") for f in skip)
                        if p == name and t != "timed out" and not t.startswith("exit ")]
            only = ["--gtest_filter=-" + ":".join(left_out)] if left_out else []
            try:
                r = subprocess.run([str(self.build / name), "--gtest_brief=1"] + only, env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   timeout=limit, start_new_session=True)
            except subprocess.TimeoutExpired:
                return f"{name}: timed out"
            if r.returncode != 0:
                failed = re.findall(r"\[  FAILED  \] (\S+)", r.stdout.decode(errors="replace"))
                return f"{name}: " + (failed[0] if failed else f"exit {r.returncode}")
        return None


    def run_one(self, failure):
        """Runs the one test named in a failure again; true when it passes. A time-out names
        a whole test program, which is run whole."""
        name, _, test = failure.partition(": ")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        try:
            if name == "system":
                r = subprocess.run(["ctest", "--test-dir", str(self.build), "-R", f"^{test}$",
                                    "--timeout", "180"], env=env, capture_output=True, timeout=400)
            else:
                only = [] if test == "timed out" or test.startswith("exit ") else [f"--gtest_filter={test}"]
                limit = max(20.0, self.timeout_factor * self.baseline.get(name, 10.0))
                r = subprocess.run([str(self.build / name), "--gtest_brief=1"] + only, env=env,
                                   capture_output=True, timeout=limit, start_new_session=True)
        except subprocess.TimeoutExpired:
            return False
        return r.returncode == 0


def replayed(log):
    """The survivors listed in an earlier run's output, as one queue a folder."""
    text = log.read_text(encoding="utf-8")
    listed = text.split("\nsurvivors:\n", 1)[1] if "\nsurvivors:\n" in text else ""
    found = re.findall(r"^(\S+):(\d+) \[(\w+)\]\n  - (.*)\n  \+ (.*)$", listed, re.M)
    queues = {}
    for where, line, kind, original, mutated in found:
        path = ROOT / where
        lines = path.read_text(encoding="utf-8").split("\n")
        # Code added or moved since shifts lines: the same line nearest to where it was.
        same = [i for i, text in enumerate(lines, 1) if text.strip() == original]
        if not same:
            print(f"{where}:{line} has changed since; left out", flush=True)
            continue
        at = min(same, key=lambda i: abs(i - int(line)))
        current = lines[at - 1]
        indent = current[: len(current) - len(current.lstrip())]
        m = Mutant(path, at, current, indent + mutated, kind)
        queues.setdefault(where.split("/")[0], []).append(m)
    return {f: len(q) for f, q in queues.items()}, queues


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("-n", type=int, default=150, help="mutants to run (default 150)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--folders", default=",".join(FOLDERS))
    ap.add_argument("--files", default="", help="only these files (paths from the top)")
    ap.add_argument("--build", default=str(ROOT / "build-mutation"))
    ap.add_argument("--timeout-factor", type=float, default=5.0,
                    help="a test program may take this many times its normal time")
    ap.add_argument("--tests", default="", help="only these test programs (default: every *_tests)")
    ap.add_argument("--list", action="store_true", help="print the chosen mutants and stop")
    ap.add_argument("--no-system", action="store_true",
                    help="only the test programs, not the whole-program tests")
    ap.add_argument("--replay", default="", help="run the survivors listed in this earlier output")
    ap.add_argument("--resume", default="",
                    help="take the verdicts of this interrupted run (same seed and -n), then go on")
    args = ap.parse_args()

    folders = [f for f in args.folders.split(",") if f]
    files = [f for f in args.files.split(",") if f]
    rng = random.Random(args.seed)
    all_candidates = [m for p in program_files(folders, files) for m in candidates(p)]
    if not all_candidates:
        sys.exit("no mutable lines found")
    share, queues = choose(all_candidates, args.n, rng, folders)
    if args.replay:
        share, queues = replayed(Path(args.replay))
    if args.list:
        for f, q in queues.items():
            for m in q[: share[f]]:
                print(f"{m.where()} [{m.kind}]\n  - {m.original.strip()}\n  + {m.mutated.strip()}")
        return

    runner = Runner(Path(args.build), args.timeout_factor)
    print(f"configuring and building {runner.build} ...", flush=True)
    runner.configure()
    runner.binaries = [t for t in args.tests.split(",") if t] or runner.targets()
    ok, log = runner.compile()
    if not ok:
        sys.exit("the unchanged program does not build:\n" + log)
    for name in runner.binaries:
        start = time.monotonic()
        failure = runner.run_tests([name])
        runner.baseline[name] = time.monotonic() - start
        if failure:
            sys.exit(f"the tests fail without any mutant: {failure}")
    print("test programs: " + ", ".join(f"{b} ({runner.baseline[b]:.1f} s)" for b in runner.binaries), flush=True)
    if not args.no_system:
        failure = runner.run_system()
        if failure:
            sys.exit(f"the whole-program tests fail without any mutant ({failure}); "
                     "run under tools/with_sound_server.sh, or pass --no-system")

    # Put the file back whatever happens, also on Ctrl-C.
    current = {}

    def restore(*_):
        for path, text in current.items():
            path.write_text(text, encoding="utf-8")
        current.clear()

    def interrupted(*_):
        restore()
        sys.exit("interrupted; files restored")

    signal.signal(signal.SIGINT, interrupted)
    signal.signal(signal.SIGTERM, interrupted)

    def order_for(m):
        # The test program nearest to the changed folder runs first: most mutants die there.
        folder = m.path.relative_to(ROOT).parts[0]
        first = "qt_tests" if folder in ("view", "app", "sound") else ("store_tests" if folder == "store" else "core_tests")
        return sorted(runner.binaries, key=lambda b: b != first)

    results = []
    unconfirmed = []
    skipped = 0
    plan = [(f, share[f]) for f in sorted(share)]
    total = sum(k for _, k in plan)
    done = 0
    # Verdicts of an interrupted run of the same seed and count, in the order it reached them.
    earlier = re.findall(r"^\[\d+/\d+\] (killed|SURVIVED)\s+(\S+) \[(\w+)\] \(\d+ s\)(?:  (.*))?$",
                         Path(args.resume).read_text(encoding="utf-8"), re.M) if args.resume else []
    for folder, wanted in plan:
        queue = queues[folder]
        taken = 0
        while taken < wanted and queue:
            m = queue.pop(0)
            original = m.path.read_text(encoding="utf-8")
            lines = original.split("\n")
            if lines[m.line - 1] != m.original:
                continue
            if earlier and earlier[0][1:3] == (m.where(), m.kind):
                verdict, _, _, failure = earlier.pop(0)
                failure = failure.removesuffix("  (earlier run)")
                taken += 1
                done += 1
                results.append((m, failure if verdict == "killed" else None))
                print(f"[{done}/{total}] {verdict:8} {m.where()} [{m.kind}] (0 s)"
                      f"{'  ' + failure if failure else ''}  (earlier run)", flush=True)
                continue
            lines[m.line - 1] = m.mutated
            current[m.path] = original
            m.path.write_text("\n".join(lines), encoding="utf-8")
            try:
                ok, _ = runner.compile()
                if not ok:
                    skipped += 1
                    continue
                started = time.monotonic()
                flaky = []
                for _ in range(3):
                    failure = runner.run_tests(order_for(m), flaky)
                    if not failure and not args.no_system:
                        failure = runner.run_system(flaky)
                    # A kill counts only when the test fails again on the same mutant. One that
                    # passes then is set aside, and the tests after it still run.
                    if failure and runner.run_one(failure):
                        unconfirmed.append((m, failure))
                        flaky.append(failure)
                        failure = None
                        continue
                    break
                taken += 1
                done += 1
                results.append((m, failure))
                state = "killed" if failure else "SURVIVED"
                print(f"[{done}/{total}] {state:8} {m.where()} [{m.kind}] "
                      f"({time.monotonic() - started:.0f} s){'  ' + failure if failure else ''}", flush=True)
            finally:
                restore()
    # Rebuild the unchanged program so that the folder is left as it was found (all of it
    # where the whole-program tests ran).
    if args.no_system:
        runner.compile()
    else:
        subprocess.run(["ninja", "-C", str(runner.build)], capture_output=True)

    # A test that fails on the unchanged program too kills nothing: its mutants survive.
    failing = sorted({f for _, f in results if f and not runner.run_one(f)})
    for test in failing:
        print(f"{test}: fails without any mutant too; its kills do not count", flush=True)
    results = [(m, None if f in failing else f) for m, f in results]
    killed = sum(1 for _, f in results if f)
    survivors = [m for m, f in results if not f]
    for m, f in unconfirmed:
        print(f"{m.where()}: {f} failed once, then passed; set aside, the other tests run")
    print()
    print(f"mutants run: {len(results)} (another {skipped} did not compile and were replaced)")
    per_folder = {}
    for m, f in results:
        folder = m.path.relative_to(ROOT).parts[0]
        k, t = per_folder.get(folder, (0, 0))
        per_folder[folder] = (k + (1 if f else 0), t + 1)
    for folder in sorted(per_folder):
        k, t = per_folder[folder]
        print(f"  {folder:8} {k:3}/{t:3} killed")
    if results:
        print(f"score: {killed}/{len(results)} killed ({100.0 * killed / len(results):.1f}%)")
    # Every fault's text, so that a later replay can reach any of them; the survivors last,
    # where --replay reads them.
    caught = [m for m, f in results if f]
    if caught:
        print("\nkilled:")
        for m in caught:
            print(f"{m.where()} [{m.kind}]\n  - {m.original.strip()}\n  + {m.mutated.strip()}")
    if survivors:
        print("\nsurvivors:")
        for m in survivors:
            print(f"{m.where()} [{m.kind}]\n  - {m.original.strip()}\n  + {m.mutated.strip()}")


if __name__ == "__main__":
    main()
