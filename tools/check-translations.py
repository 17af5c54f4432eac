#!/usr/bin/env python3
"""Checks the Qt Linguist files of translations/ as the build will use them.

Every file must be well-formed, name its language as its file name does
(<base>_<lang>.ts), and hold a finished translation for every message that is
still in use; the files of one base name must hold the same messages in every
language. With --lrelease, each language's files are compiled together, as
the build does, and any line lrelease prints beyond its summary fails the run.
With --lupdate, the code's translatable strings are extracted afresh (as
tools/update-translations.sh does, into a scratch file): a string of the code
that is missing from the code's files (drive-console_<lang>.ts) fails the run,
naming it.

    tools/check-translations.py [--lrelease PATH] [--lupdate PATH] [TS ...]
"""

import argparse
import collections
import glob
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
GONE = ("vanished", "obsolete")


def split_name(path):
    base = os.path.splitext(os.path.basename(path))[0]
    stem, _, lang = base.partition("_")
    return stem, lang


def check_file(path, finished_only=True):
    """(problems, keys of the messages in use)."""
    name = os.path.basename(path)
    stem, lang = split_name(path)
    if not lang:
        return [f"{name}: the name must end in _<language>.ts"], set()
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        return [f"{name}: not well-formed: {e}"], set()
    out = []
    if root.tag != "TS":
        return [f"{name}: the root element is <{root.tag}>, not <TS>"], set()
    if root.get("language") != lang:
        out.append(f'{name}: language="{root.get("language")}", but the name says {lang}')
    keys = set()
    for ctx in root.findall("context"):
        cname = ctx.findtext("name") or ""
        for m in ctx.findall("message"):
            source = m.findtext("source")
            t = m.find("translation")
            if source is None or t is None:
                out.append(f"{name}: {cname}: a message without <source> or <translation>")
                continue
            if t.get("type") in GONE:
                continue
            comment = m.findtext("comment") or ""
            keys.add((cname, source, comment))
            if finished_only and (t.get("type") == "unfinished" or not (t.text or "").strip()):
                where = m.find("location")
                at = f' ({where.get("filename")}:{where.get("line")})' if where is not None else ""
                label = f'"{source}"' + (f" [{comment}]" if comment else "")
                out.append(f"{name}: {cname} {label}{at}: no finished translation")
    return out, keys


def run_lrelease(lrelease, files):
    """Compiles the files of one language into one .qm; the lines that are not its summary."""
    with tempfile.TemporaryDirectory() as tmp:
        qm = os.path.join(tmp, "out.qm")
        try:
            r = subprocess.run([lrelease, *files, "-qm", qm], capture_output=True, text=True)
        except OSError as e:
            return [f"lrelease ({lrelease}) cannot run: {e}; tools/install-deps.sh installs qt6-l10n-tools"]
        out = []
        for line in (r.stdout + r.stderr).splitlines():
            if line.startswith("Updating '") or not line.strip():
                continue
            m = re.match(r"\s*Generated (\d+) translation\(s\) \((\d+) finished and (\d+) unfinished\)", line)
            if m and m.group(3) == "0":
                continue
            out.append(f"lrelease {' '.join(os.path.basename(f) for f in files)}: {line.strip()}")
        if r.returncode != 0:
            out.append(f"lrelease exited with {r.returncode}")
        elif not os.path.exists(qm):
            out.append("lrelease wrote no .qm")
        return out


CODE_TS_STEM = "drive-console"
CODE_SOURCE_DIRS = ("app", "pages", "platform", "engine", "serial", "sets")


def extracted_keys(lupdate, root):
    """(problems, keys of the code's translatable strings, read by lupdate from the sources)."""
    with tempfile.TemporaryDirectory() as tmp:
        ts = os.path.join(tmp, "code_en.ts")
        dirs = [os.path.join(root, d) for d in CODE_SOURCE_DIRS if os.path.isdir(os.path.join(root, d))]
        try:
            subprocess.run([lupdate, "-silent", "-locations", "none", "-extensions", "cpp,h", *dirs,
                            "-ts", ts], capture_output=True, text=True, check=False)
        except OSError as e:
            return [f"lupdate ({lupdate}) cannot run: {e}; tools/install-deps.sh installs qt6-l10n-tools"], set()
        if not os.path.exists(ts):
            return ["lupdate wrote no file"], set()
        _, keys = check_file(ts, finished_only=False)
        return [], keys


def main(argv=None):
    p = argparse.ArgumentParser(description="Check the translation files.")
    p.add_argument("ts", nargs="*", help="the files (default: translations/*.ts)")
    p.add_argument("--lrelease", help="compile each language's files with this lrelease")
    p.add_argument("--lupdate", help="extract the code's strings with this lupdate and find each in the files")
    a = p.parse_args(argv)
    files = a.ts or sorted(glob.glob(os.path.join(ROOT, "translations", "*.ts")))
    if not files:
        print("check-translations: no .ts files", file=sys.stderr)
        return 1
    problems = []
    keys = collections.defaultdict(dict)  # stem -> lang -> keys
    by_lang = collections.defaultdict(list)
    for f in files:
        found, k = check_file(f)
        problems += found
        stem, lang = split_name(f)
        keys[stem][lang] = k
        by_lang[lang].append(f)
    for stem, langs in keys.items():
        union = set().union(*langs.values())
        for lang, k in sorted(langs.items()):
            for cname, source, _ in sorted(union - k):
                problems.append(f'{stem}_{lang}.ts: {cname} "{source}": missing, other languages have it')
    if a.lupdate:
        found, code = extracted_keys(a.lupdate, ROOT)
        problems += found
        for lang, k in sorted(keys.get(CODE_TS_STEM, {}).items()):
            for cname, source, _ in sorted(code - k):
                problems.append(f'{CODE_TS_STEM}_{lang}.ts: {cname} "{source}": in the code, not in the file '
                                "(tools/update-translations.sh adds it)")
        if not keys.get(CODE_TS_STEM) and code:
            problems.append(f"no {CODE_TS_STEM}_<lang>.ts for the code's {len(code)} translatable strings")
    if a.lrelease:
        for lang, group in sorted(by_lang.items()):
            problems += run_lrelease(a.lrelease, group)
    for line in problems:
        print(line, file=sys.stderr)
    if problems:
        return 1
    print(f"check-translations: {len(files)} file(s), {len(by_lang)} language(s): every message "
          "translated" + (", lrelease clean" if a.lrelease else "") +
          (", every string of the code in the files" if a.lupdate else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
