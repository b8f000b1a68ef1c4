#!/usr/bin/env python3
"""Regenerates the seed corpora of the fuzz harnesses.

lexer_parser: one file per typed input of tests/lang/cases/*.cases ("> "
lines, with their "| " continuation lines joined by carriage returns, as the
case runner types them).
interpreter: one file per case, its typed inputs joined by line feeds (the
harness types each line as one input); cases that name a built-in the
harness refuses (the list in FuzzSupport.h) are left out.
state_files (only with --vemlor; needs tmux): the three state files that
terminal sessions of the given executable leave in a fresh VEMLOR_HOME, behind
the selector byte of their reader, plus a few cut copies.

language.dict: a libFuzzer dictionary of the keywords, built-in names (less
the refused ones) and multi-character operators, for both language harnesses.

Files are named by the SHA-1 of their contents, as libFuzzer names the files
it adds, so regenerating over an existing corpus adds no duplicates. --clean
empties the corpus directories first.
"""
import argparse
import hashlib
import os
import re
import shlex
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
CASES = HERE.parent / "lang" / "cases"

# Sessions typed into a terminal session of the executable (under tmux, as a
# person would: piped sessions record no history), each with its own empty
# VEMLOR_HOME, started in "/" so that the directory history holds no
# temporary name.
SESSIONS = [
    ["1 + 1"],
    ["a = 1", "b = 2.5"],
    ["i = [1 2 3; 4 5 6]", "d = [0.5, -2; 1e300, 3]", "w = complex(1, 2)", 's = "text"',
     'L = list(1, "two", [3 4])', "N = list(list(1), 2)", "e = []", "z = zeros(2, 3)",
     "m = 1:20"],
    ["x%d = %d" % (k % 7, k) for k in range(36)],
]
# Reader selector byte of each state file (the harness reads the byte modulo 3).
STATE_FILES = {"vemlor_env.bin": 0, "vemlor_comm.bin": 1, "vemlor_cd.bin": 2}


def outside_names():
    text = (HERE / "FuzzSupport.h").read_text()
    block = re.search(r"kOutsideNames\[\] = \{(.*?)\};", text, re.S).group(1)
    block = re.sub(r"//[^\n]*", "", block)
    return re.findall(r'"([^"]+)"', block)


def mentions(text, names):
    # The harness's rule: not glued to a letter before nor a name character after.
    return any(re.search(r"(?<![A-Za-z])" + re.escape(n) + r"(?![A-Za-z0-9_])", text)
               for n in names)


def parse_cases(path):
    cases, open_file = [], False
    for line in path.read_text().splitlines():
        if open_file:
            open_file = line != ">>>"
            continue
        if line.startswith("%%"):
            continue
        if line.startswith("=== "):
            cases.append([])
        elif not cases:
            continue
        elif line.startswith("> ") or line == ">":
            cases[-1].append(line[2:])
        elif (line.startswith("| ") or line == "|") and cases[-1]:
            cases[-1][-1] += "\r" + line[2:]
        elif line.startswith("<<< "):
            open_file = True
    return [c for c in cases if c]


def write_seed(directory, data):
    directory.mkdir(parents=True, exist_ok=True)
    (directory / hashlib.sha1(data).hexdigest()).write_bytes(data)


def language_seeds(corpus):
    names = outside_names()
    for path in sorted(CASES.glob("*.cases")):
        for case in parse_cases(path):
            for typed in case:
                write_seed(corpus / "lexer_parser", typed.encode())
            session = "\n".join(case)
            if not mentions(session, names):
                write_seed(corpus / "interpreter", session.encode())


def run_terminal_session(vemlor, home, lines):
    name = "vemlor-seed-%d" % os.getpid()
    command = "cd / && VEMLOR_HOME=%s exec %s" % (shlex.quote(home), shlex.quote(vemlor))
    subprocess.run(["tmux", "new-session", "-d", "-s", name, "-x", "120", "-y", "40", command],
                   check=True)
    for line in lines:
        time.sleep(0.1)
        subprocess.run(["tmux", "send-keys", "-t", name, "-l", line], check=True)
        subprocess.run(["tmux", "send-keys", "-t", name, "Enter"], check=True)
    time.sleep(0.3)
    subprocess.run(["tmux", "send-keys", "-t", name, "C-d"], check=True)
    for _ in range(100):
        if subprocess.run(["tmux", "has-session", "-t", name],
                          stderr=subprocess.DEVNULL).returncode != 0:
            return
        time.sleep(0.1)
    subprocess.run(["tmux", "kill-session", "-t", name])
    raise RuntimeError("the terminal session did not end")


def state_seeds(corpus, vemlor):
    for lines in SESSIONS:
        with tempfile.TemporaryDirectory() as home:
            run_terminal_session(vemlor, home, lines)
            for name, selector in STATE_FILES.items():
                data = (Path(home) / name).read_bytes()
                write_seed(corpus / "state_files", bytes([selector]) + data)
                for cut in {len(data) // 2, len(data) - 1, 5}:
                    if 0 < cut < len(data):
                        write_seed(corpus / "state_files", bytes([selector]) + data[:cut])


OPERATORS = ["==", "~=", "!=", "<=", ">=", "&&", "||", ".*", "./", ".^", "+=", "-=", "*=",
             "/=", ":=", "..", "'", "\"", "%", "@", "{", "}", "[", "]", "(", ")", ";", ",",
             ":", "\r", "\n", "1e308", "1i", "-0", "0x1F", "nan", "inf", "[]"]


def dictionary_entry(text):
    def escaped(c):
        if c in '"\\':
            return "\\" + c
        return c if " " <= c <= "~" else "\\x%02X" % ord(c)
    return '"' + "".join(escaped(c) for c in text) + '"'


def write_dictionary(path):
    root = HERE.parent.parent
    words = set(re.findall(r'\{"(\w+)"', (root / "frontend" / "Keywords.cpp").read_text()))
    for source in (root / "builtins").glob("*.cpp"):
        words |= set(re.findall(r'^\s*\{"(\w+)",', source.read_text(), re.M))
    words -= set(outside_names())
    lines = [dictionary_entry(w) for w in sorted(words) + OPERATORS]
    path.write_text("# Generated by seed_corpus.py.\n" + "\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--vemlor", help="executable whose state files seed state_files")
    parser.add_argument("--corpus", default=str(HERE / "corpus"), help="corpus root")
    parser.add_argument("--clean", action="store_true", help="empty the corpora first")
    args = parser.parse_args()
    corpus = Path(args.corpus)
    targets = ["lexer_parser", "interpreter"] + (["state_files"] if args.vemlor else [])
    if args.clean:
        for name in targets:
            shutil.rmtree(corpus / name, ignore_errors=True)
    language_seeds(corpus)
    write_dictionary(HERE / "language.dict")
    if args.vemlor:
        state_seeds(corpus, os.path.abspath(args.vemlor))
    for name in targets:
        files = list((corpus / name).iterdir())
        print(f"{name}: {len(files)} files, {sum(f.stat().st_size for f in files)} bytes")


if __name__ == "__main__":
    main()
