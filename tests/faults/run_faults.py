#!/usr/bin/env python3
"""Fault injection: does the test suite notice a deliberate one-line fault?

For every fault in faults.txt the script edits one line of a scratch copy of
the source tree, rebuilds it incrementally (one build directory, no
sanitizers), runs ctest and records whether any test failed, then puts the
line back. The working tree itself is never touched.

    tests/faults/run_faults.py                 # every fault
    tests/faults/run_faults.py NAME...         # only these faults
    tests/faults/run_faults.py --check         # which faults still apply

Options: --work DIR (scratch copy and build, default build-faults/ in the
source tree), --timeout SECONDS (per ctest test, default 60), --log FILE
(one line per fault: name, verdict, failing tests).
"""
import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent


def parse_faults(path):
    faults, current = [], None
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("[") and line.rstrip().endswith("]"):
            current = {"name": line.strip()[1:-1], "line": number}
            faults.append(current)
            continue
        key, sep, value = line.partition(":")
        if current is None or not sep or key not in ("file", "from", "to"):
            sys.exit(f"{path}:{number}: expected 'file:', 'from:' or 'to:'")
        current[key] = value.strip()
    for f in faults:
        missing = [k for k in ("file", "from", "to") if k not in f]
        if missing:
            sys.exit(f"{path}:{f['line']}: fault {f['name']} lacks {', '.join(missing)}")
    return faults


def apply_fault(text, fault):
    """The faulty text, or None with a reason when the line is not there once."""
    lines = text.splitlines(keepends=True)
    hits = [i for i, l in enumerate(lines) if l.strip() == fault["from"]]
    if len(hits) != 1:
        return None, "line not found" if not hits else f"line occurs {len(hits)} times"
    i = hits[0]
    old = lines[i]
    indent = old[: len(old) - len(old.lstrip())]
    ending = old[len(old.rstrip("\r\n")):]
    lines[i] = indent + fault["to"] + ending
    return "".join(lines), None


def tracked_files():
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                         check=True, capture_output=True).stdout
    return [p for p in out.decode().split("\0") if p and (ROOT / p).is_file()]


def sync_tree(source):
    """Mirrors the working tree into `source`, copying only changed files so
    that the build directory stays incremental."""
    wanted = set(tracked_files())
    for rel in wanted:
        src, dst = ROOT / rel, source / rel
        if dst.is_file() and dst.read_bytes() == src.read_bytes():
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(src, dst)
    for dirpath, _, files in os.walk(source):
        for name in files:
            rel = os.path.relpath(os.path.join(dirpath, name), source)
            if rel not in wanted:
                os.remove(os.path.join(dirpath, name))


def run(cmd, cwd=None, timeout=None):
    return subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=timeout)


def build(build_dir):
    return run(["cmake", "--build", str(build_dir), "-j2"])


def failing_tests(build_dir, timeout):
    """Names of the ctest tests that fail (a timeout counts as a failure)."""
    result = run(["ctest", "--test-dir", str(build_dir), "-j2", "--timeout", str(timeout)])
    failed = []
    collecting = False
    for line in result.stdout.splitlines():
        if line.startswith("The following tests FAILED"):
            collecting = True
            continue
        if collecting and " - " in line:
            failed.append(line.split(" - ", 1)[1].split(" (")[0].strip())
    if result.returncode != 0 and not failed:
        failed.append("(ctest failed: " + result.stdout.strip().splitlines()[-1] + ")")
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("names", nargs="*")
    parser.add_argument("--faults", default=str(HERE / "faults.txt"))
    parser.add_argument("--work", default=str(ROOT / "build-faults"))
    parser.add_argument("--timeout", type=int, default=60)
    parser.add_argument("--log")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()

    faults = parse_faults(Path(args.faults))
    if args.names:
        unknown = set(args.names) - {f["name"] for f in faults}
        if unknown:
            sys.exit("unknown faults: " + ", ".join(sorted(unknown)))
        faults = [f for f in faults if f["name"] in args.names]

    if args.check:
        for f in faults:
            _, reason = apply_fault((ROOT / f["file"]).read_text(), f)
            print(f"{f['name']:45} {'applies' if reason is None else 'not applicable: ' + reason}")
        return 0

    work = Path(args.work)
    source, build_dir = work / "src", work / "build"
    source.mkdir(parents=True, exist_ok=True)
    sync_tree(source)
    if not (build_dir / "CMakeCache.txt").exists():
        configured = run(["cmake", "-S", str(source), "-B", str(build_dir), "-G", "Ninja",
                          "-DCMAKE_BUILD_TYPE=Debug"])
        if configured.returncode != 0:
            sys.exit(configured.stdout + configured.stderr)
    built = build(build_dir)
    if built.returncode != 0:
        sys.exit("the unchanged tree does not build:\n" + built.stdout[-3000:])
    baseline = failing_tests(build_dir, args.timeout)
    if baseline:
        sys.exit("the unchanged tree fails tests: " + ", ".join(baseline))

    results = []
    for f in faults:
        path = source / f["file"]
        original = path.read_text()
        faulty, reason = apply_fault(original, f)
        started = time.time()
        if faulty is None:
            verdict, detail = "not applicable", reason
        else:
            try:
                path.write_text(faulty)
                if build(build_dir).returncode != 0:
                    verdict, detail = "build failed", ""
                else:
                    failed = failing_tests(build_dir, args.timeout)
                    verdict = "caught" if failed else "MISSED"
                    detail = ", ".join(failed[:6]) + (" ..." if len(failed) > 6 else "")
            finally:
                path.write_text(original)
        line = f"{f['name']:45} {verdict:15} {detail}"
        print(line + f"  [{time.time() - started:.0f}s]", flush=True)
        results.append(line)

    build(build_dir)  # leave the build matching the tree
    caught = sum(1 for r in results if " caught " in r)
    applicable = sum(1 for r in results if " not applicable " not in r)
    summary = f"caught {caught} of {applicable} applicable faults ({len(results)} listed)"
    print(summary)
    if args.log:
        Path(args.log).write_text("\n".join(results + [summary]) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
