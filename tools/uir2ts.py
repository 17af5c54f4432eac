#!/usr/bin/env python3
"""Keeps the panel resources' texts in the Qt Linguist files.

Reads every panel resource (app/uir/*.uir, GBK) and updates the panel
translation files translations/drive-console-panels_<lang>.ts: a text new in
the resources is added unfinished, a text that left them is kept as
"vanished" with its translation, every translation made so far is kept.
With --check nothing is written: the run fails, naming each text, when a text
of the resources has no finished translation in a file, or a text that left
the resources is still in use there (an update marks it vanished).
translations/README.md describes the contexts and how the program looks the
texts up.

    tools/uir2ts.py [--uir-dir DIR] [--check] [--long] [TS ...]

Without TS, the panel files of every language in translations/; a TS that
does not exist yet is created (its language from the name's _<lang> suffix).
--long lists the translations much wider than the shipped text.
"""

import argparse
import glob
import os
import sys
import unicodedata
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PANEL_TS_PREFIX = "drive-console-panels_"

# Kinds whose caption names one quantity of the controller: their captions,
# ring items and table cells carry the control's constant as disambiguation,
# so that two controls with the same caption can be told apart.
OWNED_KINDS = {"numeric", "ring", "switch", "led", "table"}
CAPTIONED_KINDS = OWNED_KINDS | {"button", "text"}
ROLE = {
    "numeric": "number field caption",
    "ring": "list caption",
    "switch": "switch caption",
    "led": "lamp caption",
    "button": "button",
    "text": "text",
    "table": "table title",
}


GONE = ("vanished", "obsolete")  # translation types of messages no longer in use


class UirError(Exception):
    pass


class Entry:
    """One text of the resources: where the program looks it up and where it is."""

    def __init__(self, context, source, comment, role, location):
        self.context = context
        self.source = source
        self.comment = comment
        self.roles = [role]
        self.locations = [location]

    @property
    def key(self):
        return (self.context, self.source, self.comment)


# --- Resources -----------------------------------------------------------------


def _tokenize(line, where):
    """Positional texts and key=value options of one statement line."""
    args, options, i = [], {}, 0

    def quoted(i):
        out = []
        i += 1
        while i < len(line):
            c = line[i]
            if c == '"':
                i += 1
                if i < len(line) and line[i] not in " \t":
                    raise UirError(f"{where}: text directly after a closing quote")
                return "".join(out), i
            if c == "\\" and i + 1 < len(line) and line[i + 1] in '"\\':
                out.append(line[i + 1])
                i += 2
                continue
            out.append(c)
            i += 1
        raise UirError(f"{where}: unterminated quoted text")

    while True:
        while i < len(line) and line[i] in " \t":
            i += 1
        if i >= len(line):
            return args, options
        if line[i] == '"':
            text, i = quoted(i)
            if options:
                raise UirError(f"{where}: text after the options")
            args.append(text)
            continue
        start = i
        while i < len(line) and line[i] not in ' \t"':
            i += 1
        word = line[start:i]
        if "=" not in word:
            if i < len(line) and line[i] == '"':
                raise UirError(f"{where}: quote inside a word")
            if options:
                raise UirError(f"{where}: '{word}' after the options")
            args.append(word)
            continue
        key, value = word.split("=", 1)
        if i < len(line) and line[i] == '"':
            if value:
                raise UirError(f"{where}: quote inside an option value")
            value, i = quoted(i)
        options[key] = value


def _has_letter(text):
    return any(unicodedata.category(c).startswith("L") for c in text)


def read_uir(path):
    """The panels (constant, where) and texts of one resource file, in the order they appear."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("gbk")
    except UnicodeDecodeError as e:
        raise UirError(f"{name}: byte {e.start} is not GBK") from None
    panels = []  # (constant, line) of each panel, for the duplicate check
    entries = []
    panel = page = None
    owner = None  # (kind, constant, width) of the ring or table just before
    for number, line in enumerate(text.split("\n"), start=1):
        line = line.rstrip("\r")
        stripped = line.lstrip(" \t")
        if not stripped or stripped.startswith("#"):
            continue
        where = f"{name}:{number}"
        args, options = _tokenize(line, where)
        if not args:
            raise UirError(f"{where}: a statement starts with a keyword")
        keyword, args = args[0], args[1:]
        last, owner = owner, None
        if keyword != "panel" and panel is None:
            raise UirError(f"{where}: {keyword} before the first panel")
        context = f"uir/{panel}" if page is None else f"uir/{panel}/{page}"
        location = (path, number)

        def add(source, comment, role):
            if _has_letter(source):
                entries.append(Entry(context, source, comment, role, location))

        def need(count, form):
            if len(args) != count:
                raise UirError(f"{where}: {keyword} needs: {keyword} {form}")

        if keyword == "panel":
            need(3, '<CONST> <number> "<title>"')
            panel, page = args[0], None
            panels.append((panel, where))
            context = f"uir/{panel}"
            add(args[2], "", "panel title")
        elif keyword == "page":
            need(2, '<CONST> "<caption>"')
            page = args[0]
            context = f"uir/{panel}/{page}"
            add(args[1], "", "tab page caption")
        elif keyword == "ctrl":
            if len(args) not in (3, 4):
                raise UirError(f'{where}: ctrl needs: ctrl <id> <CONST> <kind> ["<caption>"]')
            constant, kind = args[1], args[2]
            width = options.get("width")
            if len(args) == 4 and kind in CAPTIONED_KINDS:
                role = ROLE[kind]
                if kind in ("button", "text") and width:
                    role += f", {width} px"
                add(args[3], constant if kind in OWNED_KINDS else "", role)
            if kind in ("ring", "table"):
                owner = (kind, constant, width)
        elif keyword == "item" or keyword == "cell":
            wanted = "ring" if keyword == "item" else "table"
            if last is None or last[0] != wanted:
                raise UirError(f"{where}: {keyword} without a {wanted} just before")
            need(2 if keyword == "item" else 1, '"<caption>" <value>' if keyword == "item" else '"<text>"')
            role = "list item" if keyword == "item" else "table cell"
            role += f", {last[2]} px" if last[2] else ""
            add(args[0], last[1], role)
            owner = last
        elif keyword == "box":
            need(2, '<name> "<title>"')
            add(args[1], "", "group title")
        elif keyword == "menu" or keyword == "menuitem":
            need(2, '<CONST> "<caption>"')
            add(args[1], "", keyword.replace("menuitem", "menu item"))
        elif keyword != "menubar":
            raise UirError(f"{where}: unknown statement '{keyword}'")
    return panels, entries


def read_resources(uir_dir):
    """The texts of every resource file in the directory, one entry per lookup key."""
    files = sorted(glob.glob(os.path.join(uir_dir, "*.uir")))
    if not files:
        raise UirError(f"{uir_dir}: no panel resources (*.uir)")
    seen_panels = {}
    merged = {}
    for path in files:
        panels, entries = read_uir(path)
        for constant, where in panels:
            if constant in seen_panels:
                raise UirError(f"{where}: panel {constant} also in {seen_panels[constant]}; "
                               "its texts would share one context")
            seen_panels[constant] = where
        for e in entries:
            have = merged.get(e.key)
            if have is None:
                merged[e.key] = e
            else:
                have.locations += e.locations
                if e.roles[0] not in have.roles:
                    have.roles += e.roles
    return list(merged.values())


# --- Translation files ---------------------------------------------------------


def language_of(ts_path):
    base = os.path.splitext(os.path.basename(ts_path))[0]
    if "_" not in base:
        raise UirError(f"{ts_path}: the name must end in _<language>.ts")
    return base.split("_", 1)[1]


def read_ts(path):
    """The root element of a .ts file; a new one when the file does not exist."""
    if not os.path.exists(path):
        root = ET.Element("TS", {"version": "2.1", "language": language_of(path)})
        return root
    try:
        root = ET.parse(path).getroot()
    except ET.ParseError as e:
        raise UirError(f"{path}: not well-formed: {e}") from None
    if root.tag != "TS":
        raise UirError(f"{path}: the root element is <{root.tag}>, not <TS>")
    return root


def message_key(context_name, message):
    source = message.findtext("source")
    if source is None:
        raise UirError(f"{context_name}: a message without <source>")
    return (context_name, source, message.findtext("comment") or "")


def _gone(message):
    return message.find("translation").get("type") in GONE


def _finished(message):
    t = message.find("translation")
    return t is not None and t.get("type") is None and bool((t.text or "").strip())


def merge(root, entries, ts_dir):
    """Brings the messages of the TS root in line with the entries, in place.

    Returns (added, vanished, revived) counts."""
    by_key = {}  # key -> message element
    order = []  # the existing contexts' names, in file order
    for ctx in root.findall("context"):
        name = ctx.findtext("name") or ""
        order.append(name)
        for m in ctx.findall("message"):
            by_key.setdefault(message_key(name, m), m)
    wanted = {e.key: e for e in entries}
    added = vanished = revived = 0
    contexts = {}  # name -> list of message elements
    for e in entries:
        m = by_key.get(e.key)
        if m is None:
            m = ET.Element("message")
            ET.SubElement(m, "source").text = e.source
            if e.comment:
                ET.SubElement(m, "comment").text = e.comment
            ET.SubElement(m, "translation", {"type": "unfinished"})
            added += 1
        else:
            t = m.find("translation")
            if t is None:
                t = ET.SubElement(m, "translation", {"type": "unfinished"})
            if t.get("type") in GONE:
                t.set("type", "unfinished")  # back in the resources: to be reviewed
                revived += 1
        _set_locations(m, e, ts_dir)
        contexts.setdefault(e.context, []).append(m)
    for key, m in by_key.items():
        if key in wanted:
            continue
        t = m.find("translation")
        if t is None or not (t.text or "").strip():
            continue  # nothing translated to keep
        if t.get("type") not in GONE:
            t.set("type", "vanished")
            vanished += 1
        for loc in m.findall("location"):
            m.remove(loc)
        contexts.setdefault(key[0], []).append(m)
    for ctx in root.findall("context"):
        root.remove(ctx)
    for name in sorted(contexts):
        ctx = ET.SubElement(root, "context")
        ET.SubElement(ctx, "name").text = name
        messages = contexts[name]
        ctx.extend([m for m in messages if not _gone(m)] + [m for m in messages if _gone(m)])
    return added, vanished, revived


def _set_locations(message, entry, ts_dir):
    for child in message.findall("location") + message.findall("extracomment"):
        message.remove(child)
    for i, (path, line) in enumerate(entry.locations):
        rel = os.path.relpath(path, ts_dir).replace(os.sep, "/")
        message.insert(i, ET.Element("location", {"filename": rel, "line": str(line)}))
    extra = ET.Element("extracomment")
    extra.text = "; ".join(entry.roles)
    # lupdate's order: locations, source, comment, extracomment, translatorcomment, translation
    after = [c.tag for c in message].index("comment" if message.find("comment") is not None else "source")
    message.insert(after + 1, extra)


def _escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;").replace("'", "&apos;"))


def serialize(root):
    """The TS document in the layout lupdate writes."""
    out = ['<?xml version="1.0" encoding="utf-8"?>', "<!DOCTYPE TS>"]
    attrs = "".join(f' {k}="{_escape(v)}"' for k, v in root.attrib.items())
    out.append(f"<TS{attrs}>")

    def element(e, indent):
        pad = " " * indent
        attrs = "".join(f' {k}="{_escape(v)}"' for k, v in e.attrib.items())
        children = list(e)
        if children:
            out.append(f"{pad}<{e.tag}{attrs}>")
            for c in children:
                element(c, indent + 4)
            out.append(f"{pad}</{e.tag}>")
        elif e.tag == "location":
            out.append(f"{pad}<{e.tag}{attrs}/>")
        else:
            out.append(f"{pad}<{e.tag}{attrs}>{_escape(e.text or '')}</{e.tag}>")

    for child in root:
        if child.tag == "context":
            out.append("<context>")
            for c in child:
                element(c, 4)
            out.append("</context>")
        else:
            element(child, 0)
    out.append("</TS>")
    return "\n".join(out) + "\n"


# --- Checks --------------------------------------------------------------------


def problems(ts_path, root, entries):
    """What is wrong with one file: a text of the resources missing or unfinished, or a
    text no longer in the resources still in use. Locations that moved are no fault:
    the next update rewrites them."""
    found = {}
    for ctx in root.findall("context"):
        name = ctx.findtext("name") or ""
        for m in ctx.findall("message"):
            found[message_key(name, m)] = m
    name = os.path.basename(ts_path)
    out = []
    for e in entries:
        path, line = e.locations[0]
        label = f'{os.path.basename(path)}:{line}: {e.context} "{e.source}"' + (
            f" ({e.comment})" if e.comment else "")
        m = found.get(e.key)
        if m is None:
            out.append(f"{label}: not in {name}")
        elif not _finished(m):
            out.append(f"{label}: no finished translation in {name}")
    wanted = {e.key for e in entries}
    for key, m in found.items():
        if key not in wanted and not _gone(m):
            out.append(f'{name}: {key[0]} "{key[1]}"' + (f" ({key[2]})" if key[2] else "")
                       + ": no longer in the panel resources; run tools/uir2ts.py")
    return out


def display_width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def long_translations(root, entries, slack=1.25):
    """(entry, translation, source width, translation width) much wider than shipped."""
    wanted = {e.key: e for e in entries}
    out = []
    for ctx in root.findall("context"):
        cname = ctx.findtext("name") or ""
        for m in ctx.findall("message"):
            e = wanted.get(message_key(cname, m))
            text = m.findtext("translation") or ""
            if e is None or not text:
                continue
            shown = text.replace("__", "", 1)
            ws, wt = display_width(e.source.replace("__", "", 1)), display_width(shown)
            if wt > ws * slack and wt - ws >= 3:
                out.append((e, text, ws, wt))
    return out


# --- Command line --------------------------------------------------------------


def default_ts_files():
    found = sorted(glob.glob(os.path.join(ROOT, "translations", PANEL_TS_PREFIX + "*.ts")))
    if not found:
        raise UirError("no translations/" + PANEL_TS_PREFIX + "<lang>.ts; name the files to create")
    return found


def main(argv=None):
    p = argparse.ArgumentParser(description="Keep the panel resources' texts in the Qt Linguist files.")
    p.add_argument("ts", nargs="*", help="panel translation files (default: translations/"
                   + PANEL_TS_PREFIX + "*.ts)")
    p.add_argument("--uir-dir", default=os.path.join(ROOT, "app", "uir"), help="the panel resources")
    p.add_argument("--check", action="store_true", help="write nothing; fail on a missing, "
                   "unfinished or stale text")
    p.add_argument("--long", action="store_true", help="list translations much wider than the shipped text")
    a = p.parse_args(argv)
    try:
        entries = read_resources(a.uir_dir)
        files = a.ts or default_ts_files()
        failed = []
        for ts in files:
            if a.check and not os.path.exists(ts):
                failed.append(f"{ts}: missing")
                continue
            root = read_ts(ts)
            if a.check:
                failed += problems(ts, root, entries)
            elif a.long:
                for e, t, ws, wt in long_translations(root, entries):
                    who = f" ({e.comment})" if e.comment else ""
                    print(f'{os.path.basename(ts)}: {e.context}{who} "{e.source}" {ws} -> "{t}" {wt}'
                          f" [{'; '.join(e.roles)}]")
            else:
                added, vanished, revived = merge(root, entries, os.path.dirname(os.path.abspath(ts)))
                new_text = serialize(root)
                old_text = None
                if os.path.exists(ts):
                    with open(ts, encoding="utf-8") as f:
                        old_text = f.read()
                if new_text != old_text:
                    with open(ts, "w", encoding="utf-8", newline="\n") as f:
                        f.write(new_text)
                print(f"{ts}: {len(entries)} texts; {added} new, {vanished} vanished, {revived} back")
        for line in failed:
            print(line, file=sys.stderr)
        if failed:
            print(f"uir2ts: {len(failed)} problem(s); add the translations (Qt Linguist) "
                  "after tools/uir2ts.py", file=sys.stderr)
            return 1
        if a.check:
            print(f"uir2ts: {len(entries)} panel texts, each translated in {len(files)} file(s)")
        return 0
    except (UirError, OSError) as e:
        print(f"uir2ts: {e}", file=sys.stderr)
        return 2


if __name__ == "__main__":
    sys.exit(main())
