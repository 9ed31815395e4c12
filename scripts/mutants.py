#!/usr/bin/env python3
"""Single-line mutants of the C++ sources, and the loop that tests them.

Used by scripts/mutate.sh; Python 3 standard library only.

  mutants.py list FILE...             every candidate mutant, one JSON object a line
  mutants.py from-copies SRC DIR      candidates from whole-file mutant copies in DIR
                                      (the form universalmutator writes), as above
  mutants.py run --build DIR ...      sample, apply one at a time, build, test, report

A mutant is a file, a line number, the line before and the line after. The
built-in rules make the changes developers get wrong: a relational operator
moved across its boundary or negated, an arithmetic operator swapped, && for
|| and back, a ! dropped, a constant changed, a statement deleted, one vector
field read for another. Lines that are blank, comments or preprocessor
directives are never mutated, nor are lines the build leaves out (the plain
float branch of the cloth: ZE_LANES is taken as defined, ZE_PLAIN_FLOATS
as not).
"""

import argparse
import hashlib
import json
import os
import re
import signal
import subprocess
import sys
import time

# Preprocessor symbols of the default build; other conditions count as live.
DEFINED = {"__SSE2__", "ZE_LANES"}
UNDEFINED = {"ZE_PLAIN_FLOATS"}


# ---- reading the sources ------------------------------------------------------


def _eval_condition(directive, rest):
    """True / False for a condition over the known symbols, None if unknown."""
    rest = rest.split("//")[0].strip()
    if directive in ("ifdef", "ifndef"):
        name = rest.split()[0] if rest else ""
        if name in DEFINED:
            value = True
        elif name in UNDEFINED:
            value = False
        else:
            return None
        return value if directive == "ifdef" else not value
    expr = rest
    for name in DEFINED | UNDEFINED:
        value = "1" if name in DEFINED else "0"
        expr = re.sub(r"defined\s*\(\s*%s\s*\)" % re.escape(name), value, expr)
        expr = re.sub(r"defined\s+%s\b" % re.escape(name), value, expr)
    if re.search(r"[A-Za-z_]", expr):
        return None
    expr = expr.replace("&&", " and ").replace("||", " or ")
    expr = re.sub(r"!(?!=)", " not ", expr)
    try:
        return bool(eval(expr, {"__builtins__": {}}, {}))
    except Exception:
        return None


def live_code_lines(text):
    """(number, line, code) for each line that holds code the build compiles.

    code is the line with comments and the contents of string and character
    literals blanked out, so the rules never match inside them."""
    out = []
    stack = []  # per open #if: [this branch live, some branch taken, parent live]
    live = True
    in_block = False
    for number, line in enumerate(text.split("\n"), start=1):
        stripped = line.strip()
        if not in_block and stripped.startswith("#"):
            m = re.match(r"#\s*(\w+)\s*(.*)", stripped)
            directive, rest = (m.group(1), m.group(2)) if m else ("", "")
            if directive in ("if", "ifdef", "ifndef"):
                cond = _eval_condition(directive, rest)
                taken = cond is not False
                stack.append([taken, taken, live])
                live = live and taken
            elif directive in ("elif", "else") and stack:
                top = stack[-1]
                cond = True if directive == "else" else _eval_condition("if", rest)
                if cond is None:
                    cond = True
                branch = (not top[1]) and cond
                top[0] = branch
                top[1] = top[1] or branch
                live = top[2] and branch
            elif directive == "endif" and stack:
                live = stack.pop()[2]
            continue
        code = []
        i = 0
        quote = None
        while i < len(line):
            c = line[i]
            if in_block:
                if line.startswith("*/", i):
                    in_block = False
                    i += 2
                    code.append("  ")
                    continue
                code.append(" ")
            elif quote:
                if c == "\\":
                    code.append("  ")
                    i += 2
                    continue
                code.append(c if c == quote else " ")
                if c == quote:
                    quote = None
            elif line.startswith("//", i):
                break
            elif line.startswith("/*", i):
                in_block = True
                code.append("  ")
                i += 2
                continue
            elif c in "\"'":
                quote = c
                code.append(c)
            else:
                code.append(c)
            i += 1
        code = "".join(code).rstrip()
        if live and code.strip():
            out.append((number, line, code))
    return out


# ---- the rules ------------------------------------------------------------------

# (kind, pattern over the blanked code, replacement text). Binary operators are
# written with a space on each side in this code base, which tells them from
# template brackets, pointers, unary minus and stream operators.
SWAPS = [
    ("boundary", " < ", " <= "),
    ("boundary", " <= ", " < "),
    ("boundary", " > ", " >= "),
    ("boundary", " >= ", " > "),
    ("negation", " < ", " >= "),
    ("negation", " > ", " <= "),
    ("negation", " == ", " != "),
    ("negation", " != ", " == "),
    ("arithmetic", " + ", " - "),
    ("arithmetic", " - ", " + "),
    ("arithmetic", " * ", " / "),
    ("arithmetic", " / ", " * "),
    ("arithmetic", " += ", " -= "),
    ("arithmetic", " -= ", " += "),
    ("arithmetic", " *= ", " /= "),
    ("arithmetic", " /= ", " *= "),
    ("logical", " && ", " || "),
    ("logical", " || ", " && "),
]
FIELD_SWAP = {"x": "y", "y": "z", "z": "x"}
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\d*\.\d+|\d+)(f?)(?![\w.])")
# A whole statement on one line that declares nothing: a call, an assignment
# to something already declared, an increment, break or continue.
STATEMENT = re.compile(
    r"^(?:break|continue|[A-Za-z_][\w]*(?:(?:\.|->)[A-Za-z_]\w*|\[[^\]]*\])*"
    r"\s*(?:\(.*\)|[-+*/|&]?=\s*.+|\+\+|--))\s*;$|^(?:\+\+|--)[A-Za-z_][\w.\->\[\]]*;$"
)


def _bump(literal, suffix):
    if "." in literal:
        value = float(literal)
        new = "0.0" if value != 0.0 else "1.0"
        if value not in (0.0, 1.0):
            new = repr(value + 1.0)
        return new + suffix
    value = int(literal)
    return str(1 if value == 0 else 0 if value == 1 else value + 1) + suffix


def line_mutants(line, code):
    """Every (kind, new line) the rules give for one line."""
    found = []
    for kind, old, new in SWAPS:
        for m in re.finditer(re.escape(old), code):
            found.append((kind, line[: m.start()] + new + line[m.end() :]))
    for m in re.finditer(r"!(?!=)", code):
        found.append(("negation", line[: m.start()] + line[m.end() :]))
    for m in re.finditer(r"(?<=[\w\])])(\.|->)([xyz])\b(?!\s*\()", code):
        s = m.start(2)
        found.append(("field", line[:s] + FIELD_SWAP[m.group(2)] + line[s + 1 :]))
    for m in NUMBER.finditer(code):
        if code[: m.start()].rstrip().endswith(("[", "case")):
            continue  # array sizes and case labels rarely build when changed
        found.append(("constant", line[: m.start()] + _bump(m.group(1), m.group(2)) + line[m.end() :]))
    body = code.strip()
    if STATEMENT.match(body) and not body.startswith("return"):
        indent = line[: len(line) - len(line.lstrip())]
        found.append(("deletion", indent + "// (deleted) " + line.strip()))
    seen = set()
    unique = []
    for kind, new in found:
        if new != line and new not in seen:
            seen.add(new)
            unique.append((kind, new))
    return unique


def file_mutants(path, root):
    with open(os.path.join(root, path), encoding="utf-8") as f:
        text = f.read()
    out = []
    for number, line, code in live_code_lines(text):
        for kind, new in line_mutants(line, code):
            out.append({"file": path, "line": number, "before": line, "after": new, "kind": kind})
    return out


def mutants_from_copies(src, copies_dir, root):
    """Mutants from whole-file copies of src (universalmutator's output):
    each copy that differs from src in exactly one line is one mutant."""
    with open(os.path.join(root, src), encoding="utf-8") as f:
        original = f.read().split("\n")
    live = {number for number, _, _ in live_code_lines("\n".join(original))}
    base = os.path.splitext(os.path.basename(src))[0]
    out = []
    for name in sorted(os.listdir(copies_dir)):
        if not name.startswith(base + ".mutant."):
            continue
        with open(os.path.join(copies_dir, name), encoding="utf-8", errors="replace") as f:
            lines = f.read().split("\n")
        if len(lines) != len(original):
            continue  # the rules used here change one line in place
        diff = [i for i, (a, b) in enumerate(zip(original, lines)) if a != b]
        if len(diff) == 1 and diff[0] + 1 in live:
            i = diff[0]
            out.append({"file": src, "line": i + 1, "before": original[i], "after": lines[i],
                        "kind": "universalmutator"})
    return out


# ---- equivalent mutants ------------------------------------------------------------


def mutant_key(file, before, after):
    return (file, before.strip(), after.strip())


def read_equivalents(path):
    """Entries 'FILE[:LINE]: BEFORE -> AFTER', each followed by an indented
    'why: ...' line. Matching ignores the line number and the indentation."""
    keys = {}
    if not os.path.exists(path):
        return keys
    last = None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if line[0].isspace():
                if last is not None and line.strip().startswith("why:"):
                    keys[last] = line.strip()[4:].strip()
                continue
            m = re.match(r"^(\S+?)(?::\d+)?: (.*?) -> (.*)$", line)
            if not m:
                print("mutate: cannot read equivalents entry: " + line, file=sys.stderr)
                continue
            last = mutant_key(m.group(1), m.group(2), m.group(3))
            keys[last] = ""
    for key, why in keys.items():
        if not why:
            print("mutate: equivalents entry without a 'why:' line: %s: %s" % (key[0], key[1]),
                  file=sys.stderr)
    return keys


# ---- the run ----------------------------------------------------------------------


def sample(candidates, folders, total, seed):
    """total mutants spread evenly over the folders. Each folder's candidates
    are ranked by a hash of the seed and the mutant's text (not its line
    number) and the first ones taken, so the same seed picks the same mutants,
    and listing one as equivalent replaces just that one."""

    def rank(c):
        text = "%d|%s|%s|%s" % (seed, c["file"], c["before"].strip(), c["after"].strip())
        return hashlib.sha1(text.encode("utf-8")).hexdigest()

    per = {f: total // len(folders) for f in folders}
    for f in folders[: total % len(folders)]:
        per[f] += 1
    picks = []
    for f in folders:
        pool = sorted((c for c in candidates if c["file"].startswith(f + "/")), key=rank)
        picks.append(pool[: per[f]])
    # Taken in turn from each folder, so a run cut short is still spread out.
    chosen = []
    for k in range(max(len(p) for p in picks) if picks else 0):
        chosen.extend(p[k] for p in picks if k < len(p))
    return chosen


def clock(seconds):
    seconds = int(seconds)
    return "%dm%02ds" % (seconds // 60, seconds % 60) if seconds >= 60 else "%ds" % seconds


class Restorer:
    """Keeps the original of the file under mutation and puts it back. The
    state file lets scripts/mutate.sh restore it too should this process die."""

    def __init__(self, root, state):
        self.root = root
        self.state = state
        self.path = None
        self.text = None

    def apply(self, mutant):
        path = os.path.join(self.root, mutant["file"])
        with open(path, "rb") as f:
            data = f.read()
        backup = self.state + ".orig"
        with open(backup, "wb") as f:
            f.write(data)
        with open(self.state, "w") as f:
            f.write(path + "\n")
        self.path, self.text = path, data
        lines = data.decode("utf-8").split("\n")
        i = mutant["line"] - 1
        if i >= len(lines) or lines[i] != mutant["before"]:
            raise RuntimeError("%s:%d no longer reads as sampled" % (mutant["file"], mutant["line"]))
        lines[i] = mutant["after"]
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))

    def restore(self):
        if self.path is None:
            return
        with open(self.path, "wb") as f:
            f.write(self.text)
        # The restored file must be rebuilt next time even though its text is
        # older than the mutant's objects.
        now = time.time()
        os.utime(self.path, (now, now))
        self.path = None
        for p in (self.state, self.state + ".orig"):
            if os.path.exists(p):
                os.remove(p)


def run_quiet(cmd, timeout, log):
    with open(log, "w") as out:
        proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            return None
        except BaseException:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            raise


def command_run(args):
    root = os.path.abspath(args.root)
    build = os.path.abspath(args.build)
    folders = args.folders.split(",")
    candidates = json.load(open(args.candidates))
    equivalents = read_equivalents(os.path.join(root, args.equivalents))
    live = [c for c in candidates if mutant_key(c["file"], c["before"], c["after"]) not in equivalents]
    chosen = sample(live, folders, args.count, args.seed)
    print("mutate: %d candidates (%d listed as equivalent), %d sampled with seed %d, engine %s"
          % (len(candidates), len(candidates) - len(live), len(chosen), args.seed, args.engine),
          flush=True)

    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs), "--target"] + args.targets.split()
    test_cmd = ["ctest", "--test-dir", build, "-L", args.labels, "--stop-on-failure",
                "--timeout", str(args.timeout)]
    if args.exclude:
        test_cmd += ["-E", args.exclude]
    restorer = Restorer(root, os.path.join(build, "mutant-in-place"))

    def stop(signum, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)
    results = []
    interrupted = False
    start = time.time()
    try:
        for k, m in enumerate(chosen, start=1):
            where = "%s:%d" % (m["file"], m["line"])
            t0 = time.time()
            restorer.apply(m)
            try:
                rc = run_quiet(build_cmd, 1800, os.path.join(build, "mutant-build.log"))
                if rc != 0:
                    outcome = "no build"
                else:
                    rc = run_quiet(test_cmd, args.timeout * 4, os.path.join(build, "mutant-test.log"))
                    outcome = "killed" if rc != 0 else "survived"
                    if rc is None:
                        outcome = "killed"  # the suite hung: a timeout is a detection
            finally:
                restorer.restore()
            m["outcome"] = outcome
            results.append(m)
            elapsed = time.time() - start
            left = elapsed / k * (len(chosen) - k)
            print("[%d/%d] %-8s %s (%s, %s)  elapsed %s, about %s left"
                  % (k, len(chosen), outcome, where, m["kind"], clock(time.time() - t0),
                     clock(elapsed), clock(left)), flush=True)
            if outcome == "survived":
                print("        %s -> %s" % (m["before"].strip(), m["after"].strip()), flush=True)
            with open(os.path.join(build, "mutation-results.json"), "w") as f:
                json.dump(results, f, indent=1)
    except KeyboardInterrupt:
        interrupted = True
        restorer.restore()
        print("mutate: interrupted; the source is restored, %d mutants done" % len(results))
    finally:
        restorer.restore()
        # Leave the build matching the sources again (the next run does it
        # anyway, so not after an interrupt).
        if results and not interrupted:
            run_quiet(build_cmd, 1800, os.path.join(build, "mutant-build.log"))

    report = format_report(results, folders, time.time() - start, args)
    print(report)
    with open(os.path.join(build, "mutation-report.txt"), "w") as f:
        f.write(report + "\n")
    with open(os.path.join(build, "mutation-results.json"), "w") as f:
        json.dump(results, f, indent=1)
    return 0


def format_report(results, folders, seconds, args):
    lines = ["", "Mutation testing: engine %s, seed %d, %d mutants, %s"
             % (args.engine, args.seed, len(results), clock(seconds)), "",
             "| Folder | Killed / tested | Score | Did not build |", "|---|---|---|---|"]
    totals = [0, 0, 0]
    for f in folders + ["all"]:
        mine = [r for r in results if f == "all" or r["file"].startswith(f + "/")]
        killed = sum(r["outcome"] == "killed" for r in mine)
        tested = sum(r["outcome"] in ("killed", "survived") for r in mine)
        broken = sum(r["outcome"] == "no build" for r in mine)
        score = "%.0f %%" % (100.0 * killed / tested) if tested else "-"
        name = "overall" if f == "all" else f + "/"
        lines.append("| %s | %d / %d | %s | %d |" % (name, killed, tested, score, broken))
    survivors = [r for r in results if r["outcome"] == "survived"]
    lines.append("")
    lines.append("Survivors: %d" % len(survivors))
    for r in survivors:
        lines.append("%s:%d: %s -> %s" % (r["file"], r["line"], r["before"].strip(), r["after"].strip()))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("list")
    p.add_argument("--root", default=".")
    p.add_argument("files", nargs="+")
    p = sub.add_parser("from-copies")
    p.add_argument("--root", default=".")
    p.add_argument("src")
    p.add_argument("dir")
    p = sub.add_parser("run")
    p.add_argument("--root", default=".")
    p.add_argument("--build", required=True)
    p.add_argument("--candidates", required=True)
    p.add_argument("--targets", required=True)
    p.add_argument("--folders", default="zeu,zeShape,app")
    p.add_argument("--count", type=int, default=60)
    p.add_argument("--seed", type=int, default=12)
    p.add_argument("--timeout", type=int, default=120)
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--labels", default="unit|realgl")
    p.add_argument("--exclude", default="")
    p.add_argument("--equivalents", default="scripts/mutate-equivalent.txt")
    p.add_argument("--engine", default="built-in rules")
    args = parser.parse_args()
    if args.command == "list":
        out = []
        for path in args.files:
            out.extend(file_mutants(path, args.root))
        json.dump(out, sys.stdout, indent=0)
    elif args.command == "from-copies":
        json.dump(mutants_from_copies(args.src, args.dir, args.root), sys.stdout, indent=0)
    else:
        return command_run(args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
