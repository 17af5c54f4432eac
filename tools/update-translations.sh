#!/usr/bin/env bash
# Brings every translation file up to date with the sources: lupdate reads
# the code's translatable strings (Tr::tr, QCoreApplication::translate,
# QT_TRANSLATE_NOOP) into translations/drive-console_<lang>.ts, and
# tools/uir2ts.py the panel resources' texts into
# translations/drive-console-panels_<lang>.ts. New messages come in unfinished,
# except in English, the code's own language, where a new message is taken
# as it is written. Then translate what is left (Qt Linguist or the files
# themselves); the suite's checks name every message without a translation.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
update() {
    # Declarations lupdate cannot follow across files are no concern of it here.
    "$lupdate" -silent -locations relative -no-obsolete -extensions cpp,h -target-language "$1" \
        app pages platform engine serial sets -ts "translations/drive-console_$1.ts" 2>&1 |
        { grep -v -e "Qualifying with unknown" -e "Ignoring definition of undeclared" >&2 || true; }
}
for lang in en zh_CN; do update "$lang"; done
python3 - translations/drive-console_en.ts <<'PY'
import sys
import xml.etree.ElementTree as ET
path = sys.argv[1]
with open(path, encoding="utf-8") as f:
    text = f.read()
root = ET.fromstring(text)
changed = False
for m in root.iter("message"):
    t = m.find("translation")
    # (lupdate may have filled in a guess from a like text: English is the source.)
    if t is not None and t.get("type") == "unfinished":
        t.text = m.findtext("source")
        del t.attrib["type"]
        changed = True
if changed:
    ET.indent(root, space="    ")
    with open(path, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n')
        f.write(ET.tostring(root, encoding="unicode") + "\n")
PY
# Once more, so that the file keeps lupdate's own layout after the rewrite.
update en
python3 tools/uir2ts.py
