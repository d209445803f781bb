"""Mutation testing of a change: realistic faults on the product lines it adds
or alters, each built alone and run against the tests that cover its file.

universalmutator makes the mutants (`mutate --lines`) and picks a sample
spread over the files (`prioritize_mutants`); this script only chooses the
lines, builds, runs the tests and reports. scripts/mutate.sh brings the venv.

    python scripts/mutate.py BASE [--mutants N] [--timeout S]
    python scripts/mutate.py --again     the last run's survivors, once more

--again is for answering survivors: after a new test row, the survivors of
the last run are tried again (those whose file hasn't changed since).

A mutant that doesn't compile is dropped, not counted. One that makes the
covering tests fail (or run past the time limit) is killed; the rest
survive, and each is printed as a diff with its file and line.
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import defaultdict
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
OUT = ROOT / "build" / "mutate"
BUILD = ROOT / "build" / "native"
PRODUCT_DIRS = ("core/", "gpu/", "host/", "cli/", "vapoursynth/")
NOT_PRODUCT = re.compile(r"(^|/)(tests?|test_support|fuzz|include)/|_test\.|^bench/")
SOURCE_EXT = (".cpp", ".h", ".cu", ".cuh", ".inl", ".c")

# Which ctest tests cover a folder: a regular expression over ctest's names
# (the executables' test suites, see `ctest --preset native -N`). The plugin's
# own tests (from Python, through vspipe) run beside its ctest rows.
COVERING_TESTS = {
    # CliRun: orv refuses a module whose record layout differs from its own.
    "core/": r"^(Colour|Denoise|FastRoute|LumaRoute|Settings|Instance|ModuleFrames|GoldenOutput|HostOrders|XrgbPack"
             r"|CliRun)",
    "gpu/": r"^(Gpu|DenoiseKernel|Emulator|KernelColour|ProfileKernel|AdaptationRule|NoiseSigma|SmoothingRule"
            r"|WindowedSigma"
            r"|NoDriver|Fatbin|CliGpuRoute)",
    "host/": r"^(Definition|GoldenOutput|Guarded|HostOrders|GpuHostOrders|Instance|ModuleFrames|Registration"
             r"|module_file_check)",
    "cli/": r"^(Cli|CliReadBack|ConfigLine|CpuCount|Options|PartialOutput|Progress|SequenceFiles|YuvToXrgb)",
    "vapoursynth/": r"^XrgbPack",
}
SPARES = 10
PLUGIN_TESTS = ["bash", str(ROOT / "vapoursynth/tests/run_tests.sh")]


def run(cmd, timeout=None, **kw):
    """Runs a command quietly; returns (exit code, output), 124 on time-out."""
    try:
        p = subprocess.run(cmd, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, timeout=timeout, start_new_session=True, **kw)
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        return 124, (e.stdout or b"").decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")


def changed_lines(base):
    """{path: [line numbers]} of product lines that `git diff BASE` adds or alters."""
    diff = subprocess.run(["git", "diff", "-U0", "--no-color", base, "--"] + list(PRODUCT_DIRS),
                          cwd=ROOT, stdout=subprocess.PIPE, text=True, check=True).stdout
    lines, path = defaultdict(list), None
    for row in diff.splitlines():
        if row.startswith("+++ "):
            name = row[4:].removeprefix("b/")
            keep = name.endswith(SOURCE_EXT) and not NOT_PRODUCT.search(name)
            path = name if keep and name != "/dev/null" else None
        elif path and row.startswith("@@"):
            m = re.search(r"\+(\d+)(?:,(\d+))?", row)
            start, count = int(m.group(1)), int(m.group(2) or 1)
            lines[path].extend(range(start, start + count))
    return {p: [n for n in l if is_code(p, n)] for p, l in lines.items() if any(is_code(p, n) for n in l)}


def code_of(line):
    """A line without its comment: a mutant that changes only a comment is no fault."""
    return re.sub(r"//.*", "", line).strip()


def is_code(path, number):
    text = (ROOT / path).read_text(errors="replace").splitlines()[number - 1]
    bare = code_of(text)
    return bool(bare) and not bare.startswith(("/*", "*", "#include", "#pragma once"))


def flat(path):
    return path.replace("/", "__")


def make_mutants(files, venv_bin):
    """Mutants of every changed line, into OUT/mutants; returns {path: [mutant names]}."""
    sources, mutants = OUT / "sources", OUT / "mutants"
    for d in (sources, mutants):
        shutil.rmtree(d, ignore_errors=True)
        d.mkdir(parents=True)
    made = {}
    for path, lines in files.items():
        copy = sources / flat(path)
        shutil.copy(ROOT / path, copy)
        (OUT / "lines.txt").write_text("\n".join(map(str, lines)) + "\n")
        run([str(venv_bin / "mutate"), str(copy), "cpp", "--noCheck", "--lines", str(OUT / "lines.txt"),
             "--mutantDir", str(mutants)])
        stem = copy.stem
        made[path] = [m.name for m in sorted(mutants.glob(f"{stem}.mutant.*{copy.suffix}"))
                      if m.name.startswith(stem + ".mutant.") and changes_code(copy, m)]
    return made


def changes_code(source, mutant):
    a, b = source.read_text().splitlines(), mutant.read_text().splitlines()
    if len(a) != len(b):
        return True
    return any(code_of(x) != code_of(y) for x, y in zip(a, b) if x != y)


def quotas(made, files, total):
    """Mutants per file, by its share of the changed lines (largest remainders)."""
    lines = {p: len(files[p]) for p, m in made.items() if m}
    n = sum(lines.values())
    if sum(len(made[p]) for p in lines) <= total:
        return {p: len(made[p]) for p in lines}
    exact = {p: total * c / n for p, c in lines.items()}
    share = {p: min(int(e), len(made[p])) for p, e in exact.items()}
    for p in sorted(exact, key=lambda p: exact[p] - int(exact[p]), reverse=True):
        if sum(share.values()) >= total:
            break
        if share[p] < len(made[p]):
            share[p] += 1
    return {p: q for p, q in share.items() if q}


def pick(made, files, total, venv_bin, seed):
    """The sample: prioritize_mutants over each file's mutants, for its quota.
    Its ranking starts from the first mutant listed, so each list is shuffled
    (seeded by the base, so a run can be repeated)."""
    rng = random.Random(seed)
    chosen = []
    for path, quota in quotas(made, files, total).items():
        names = list(made[path])
        rng.shuffle(names)
        listing, ranked = OUT / "all.txt", OUT / "ranked.txt"
        listing.write_text("\n".join(names) + "\n")
        ranked.unlink(missing_ok=True)
        # Many regexp mutants don't compile: rank spares to stand in for them.
        run([str(venv_bin / "prioritize_mutants"), str(listing), str(ranked), str(SPARES * quota), "--noSDPriority",
             "--mutantDir", str(OUT / "mutants"), "--sourceDir", str(OUT / "sources")])
        picked = [l for l in ranked.read_text().split() if l] if ranked.exists() else names
        chosen.append((path, quota, picked))
    return chosen


def folder(path):
    return next(d for d in PRODUCT_DIRS if path.startswith(d))


def test_commands(path, timeout):
    env = dict(os.environ, ORV_SKIP_NEWCOMER="1")
    cmds = [["ctest", "--test-dir", str(BUILD), "-R", COVERING_TESTS[folder(path)], "-j2",
             "--stop-on-failure", "--timeout", str(timeout), "--no-tests=error"]]
    if folder(path) == "vapoursynth/":
        cmds.append(PLUGIN_TESTS)
    return cmds, env


def build():
    return run(["cmake", "--build", str(BUILD)], timeout=1800)


def try_mutant(path, name, timeout):
    """'dropped', 'killed' or 'survived', with the reason."""
    target, original = ROOT / path, (ROOT / path).read_bytes()
    try:
        shutil.copy(OUT / "mutants" / name, target)
        rc, out = build()
        if rc != 0:
            return "dropped", "does not compile"
        cmds, env = test_commands(path, timeout)
        start = time.monotonic()
        for cmd in cmds:
            left = max(30, timeout - (time.monotonic() - start))
            rc, out = run(cmd, timeout=left, env=env)
            if rc == 124:
                return "killed", "time limit"
            if rc != 0:
                failed = re.findall(r"^\s*\d+ - (\S+)", out, re.M)
                return "killed", ", ".join(failed[:3]) or cmd[0]
        return "survived", ""
    finally:
        target.write_bytes(original)


def mutant_diff(path, name):
    d = subprocess.run(["diff", "-U1", "--label", f"a/{path}", "--label", f"b/{path}",
                        str(ROOT / path), str(OUT / "mutants" / name)],
                       stdout=subprocess.PIPE, text=True).stdout
    m = re.search(r"^@@ -(\d+)", d, re.M)
    return (int(m.group(1)) + 1 if m else 0), d


def baseline(folders, timeout):
    """The covering tests must pass before any mutant counts."""
    rc, out = build()
    if rc != 0:
        sys.exit("mutate: the unmutated tree does not build:\n" + out[-3000:])
    for f in sorted(folders):
        start = time.monotonic()
        cmds, env = test_commands(f, timeout)
        for cmd in cmds:
            rc, out = run(cmd, timeout=timeout * 3, env=env)
            if rc != 0:
                sys.exit(f"mutate: the tests covering {f} fail before any mutant:\n" + out[-3000:])
        print(f"mutate: {f} tests pass unmutated in {time.monotonic() - start:.0f} s", flush=True)


def report(results):
    per = defaultdict(lambda: [0, 0, 0])
    lines = []
    for (path, name, outcome, why) in results:
        slot = {"killed": 0, "survived": 1, "dropped": 2}[outcome]
        per[folder(path)][slot] += 1
    lines.append("kill ratio by folder (dropped: mutants that don't compile, not counted)")
    killed = survived = 0
    for f, (k, s, d) in sorted(per.items()):
        killed, survived = killed + k, survived + s
        ratio = f"{100 * k / (k + s):.0f}%" if k + s else "-"
        lines.append(f"  {f:14} {k:3}/{k + s:<3} killed {ratio:>5}   ({d} dropped)")
    total = killed + survived
    lines.append(f"  {'all':14} {killed:3}/{total:<3} killed "
                 f"{(100 * killed / total if total else 0):4.0f}%")
    survivors = [(p, n) for (p, n, o, _) in results if o == "survived"]
    if survivors:
        lines.append("")
        lines.append("survivors: each needs a test row that fails on it, or a sentence on why it is equivalent")
    sdir = OUT / "survivors"
    shutil.rmtree(sdir, ignore_errors=True)
    sdir.mkdir(parents=True)
    for path, name in survivors:
        line, d = mutant_diff(path, name)
        (sdir / (name + ".diff")).write_text(d)
        lines.append(f"--- {path}:{line}")
        lines.append(d.rstrip())
    text = "\n".join(lines) + "\n"
    (OUT / "report.txt").write_text(text)
    print(text, end="")


def stop(*_):
    raise KeyboardInterrupt


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("base", nargs="?", help="the revision the change starts from")
    ap.add_argument("--again", action="store_true", help="try the last run's survivors again")
    ap.add_argument("--mutants", type=int, default=40, help="how many mutants to try (default 40)")
    ap.add_argument("--timeout", type=int, default=900, help="seconds a mutant's tests may take")
    ap.add_argument("--venv-bin", default=str(ROOT / "build/mutate-venv/bin"))
    args = ap.parse_args()
    venv_bin = Path(args.venv_bin)
    # An interrupted run must leave the sources as they were: try_mutant's
    # `finally` restores the file, so turn SIGTERM into an exception too.
    signal.signal(signal.SIGTERM, stop)
    if args.again:
        return again(args.timeout)
    if not args.base:
        ap.error("BASE is needed (or --again)")

    files = changed_lines(args.base)
    if not files:
        sys.exit(f"mutate: no product line changed since {args.base}")
    print(f"mutate: {sum(map(len, files.values()))} changed lines in {len(files)} files since {args.base}", flush=True)
    made = make_mutants(files, venv_bin)
    seed = subprocess.run(["git", "rev-parse", args.base], cwd=ROOT, stdout=subprocess.PIPE, text=True).stdout
    chosen = pick(made, files, args.mutants, venv_bin, seed.strip())
    wanted = sum(q for _, q, _ in chosen)
    print(f"mutate: {sum(map(len, made.values()))} mutants made; {wanted} to try over {len(chosen)} files", flush=True)
    baseline({folder(p) for p, _, _ in chosen}, args.timeout)

    results = []
    (OUT / "results.json").unlink(missing_ok=True)
    log = (OUT / "log.txt").open("w")
    counted = 0
    for path, quota, ranked in chosen:
        done = 0
        for name in ranked:
            if done == quota:
                break
            start = time.monotonic()
            outcome, why = try_mutant(path, name, args.timeout)
            done += outcome != "dropped"
            counted += outcome != "dropped"
            line, _ = mutant_diff(path, name)
            row = f"[{counted}/{wanted}] {outcome:8} {path}:{line} {name} {why} ({time.monotonic() - start:.0f} s)"
            print(row, flush=True)
            log.write(row + "\n")
            log.flush()
            results.append((path, name, outcome, why))
    build()  # leave the build as the sources are
    (OUT / "results.json").write_text(json.dumps(results))
    report(results)


def again(timeout):
    """The last run's survivors whose file is as it was then, tried anew."""
    last = json.loads((OUT / "results.json").read_text())
    results = []
    for path, name, outcome, why in last:
        if outcome == "survived" and (OUT / "sources" / flat(path)).read_bytes() != (ROOT / path).read_bytes():
            print(f"mutate: {path} changed since the last run; its survivor {name} is not tried again")
        elif outcome == "survived":
            outcome, why = try_mutant(path, name, timeout)
            print(f"{outcome:8} {path}:{mutant_diff(path, name)[0]} {why}", flush=True)
        results.append((path, name, outcome, why))
    build()
    (OUT / "results.json").write_text(json.dumps(results))
    report(results)


if __name__ == "__main__":
    main()
