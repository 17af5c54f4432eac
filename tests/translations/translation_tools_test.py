"""The tools that keep the translation files: tools/uir2ts.py and tools/check-translations.py."""

import contextlib
import importlib.util
import io
import os
import shutil
import tempfile
import unittest
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def load(name, file):
    found = importlib.util.spec_from_file_location(name, os.path.join(ROOT, "tools", file))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


uir2ts = load("uir2ts", "uir2ts.py")
checker = load("check_translations", "check-translations.py")
LRELEASE = os.environ.get("DSC_LRELEASE") or shutil.which(
    "lrelease", path="/usr/lib/qt6/bin:" + os.environ.get("PATH", ""))
LUPDATE = os.environ.get("DSC_LUPDATE") or shutil.which(
    "lupdate", path="/usr/lib/qt6/bin:" + os.environ.get("PATH", ""))

PANEL = """# a comment line
panel PANEL_A 1 "Title A" close=QUIT
  menubar BAR
    menu MENU_F "FILE"
      menuitem MENU_F_OPEN "Open"
  box grp "Group \\"one\\""
  ctrl 2 QUIT button "__Quit" width=100
  ctrl 3 SPEED numeric "速度" in=grp
  ctrl 4 SPEED_2 numeric "速度" in=grp
  ctrl 5 UNIT text "rpm"
  ctrl 6 UNIT_2 text "rpm"
  ctrl 7 PCT text "%"
  ctrl 8 MODE ring "Mode" width=110
    item "slow" 0
    item "7" 1
  ctrl 9 TIMER timer cb=tick interval=1
  ctrl 10 TAB tab
page PAGE_1 "First"
  ctrl 2 ERRORS table "Errors" rows=2 cols=1 width=230
    cell "resvd"
    cell "resvd"
"""


def texts(entries):
    return [(e.context, e.source, e.comment) for e in entries]


class Workspace(unittest.TestCase):
    """A folder with one panel resource and the panel files of two languages."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)
        self.uir = os.path.join(self.dir, "uir")
        os.mkdir(self.uir)
        self.ts = [os.path.join(self.dir, f"panels_{lang}.ts") for lang in ("en", "zh_CN")]
        self.write_uir(PANEL)

    def write_uir(self, text, name="a.uir"):
        with open(os.path.join(self.uir, name), "wb") as f:
            f.write(text.encode("gbk"))

    def run_tool(self, module, *args):
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            rc = module.main(list(args))
        return rc, out.getvalue() + err.getvalue()

    def update(self, *extra):
        rc, out = self.run_tool(uir2ts, "--uir-dir", self.uir, *extra, *self.ts)
        self.assertEqual(rc, 0, out)

    def check(self):
        return self.run_tool(uir2ts, "--uir-dir", self.uir, "--check", *self.ts)

    def translate_all(self, prefix="T:"):
        for path in self.ts:
            root = uir2ts.read_ts(path)
            for m in root.iter("message"):
                t = m.find("translation")
                if t.get("type") == "unfinished":
                    t.text = prefix + m.findtext("source")
                    del t.attrib["type"]
            with open(path, "w", encoding="utf-8") as f:
                f.write(uir2ts.serialize(root))

    def messages(self, path):
        """(context, source, comment) -> (translation type, text) of one file."""
        out = {}
        for ctx in ET.parse(path).getroot().findall("context"):
            for m in ctx.findall("message"):
                t = m.find("translation")
                out[uir2ts.message_key(ctx.findtext("name"), m)] = (t.get("type"), t.text or "")
        return out

    def read(self, path):
        with open(path, encoding="utf-8") as f:
            return f.read()


class ExtractTest(Workspace):
    def test_every_text_of_a_panel_in_its_context(self):
        entries = uir2ts.read_resources(self.uir)
        self.assertEqual(texts(entries), [
            ("uir/PANEL_A", "Title A", ""),
            ("uir/PANEL_A", "FILE", ""),
            ("uir/PANEL_A", "Open", ""),
            ("uir/PANEL_A", 'Group "one"', ""),
            ("uir/PANEL_A", "__Quit", ""),
            # one quantity each: two controls with one caption stay apart
            ("uir/PANEL_A", "速度", "SPEED"),
            ("uir/PANEL_A", "速度", "SPEED_2"),
            # texts and buttons share one translation; "%" and "7" need none
            ("uir/PANEL_A", "rpm", ""),
            ("uir/PANEL_A", "Mode", "MODE"),
            ("uir/PANEL_A", "slow", "MODE"),
            ("uir/PANEL_A/PAGE_1", "First", ""),
            ("uir/PANEL_A/PAGE_1", "Errors", "ERRORS"),
            ("uir/PANEL_A/PAGE_1", "resvd", "ERRORS"),
        ])
        by_key = {e.key: e for e in entries}
        self.assertEqual([line for _, line in by_key[("uir/PANEL_A", "rpm", "")].locations], [10, 11])
        self.assertEqual(by_key[("uir/PANEL_A", "slow", "MODE")].roles, ["list item, 110 px"])
        self.assertEqual(by_key[("uir/PANEL_A", "__Quit", "")].roles, ["button, 100 px"])

    def test_a_resource_it_cannot_read_fails_with_its_line(self):
        cases = [
            (b'panel P 1 "T"\n  ctrl 2 X text "\xff\xff"\n', "a.uir: byte"),
            (b'panel P 1 "T"\n  widget 2 X\n', "a.uir:2: unknown statement 'widget'"),
            (b'panel P 1 "T"\n  item "x" 1\n', "a.uir:2: item without a ring"),
            (b'panel P 1 "T"\n  ctrl 2 X text "open\n', "a.uir:2: unterminated"),
        ]
        for raw, message in cases:
            with open(os.path.join(self.uir, "a.uir"), "wb") as f:
                f.write(raw)
            with self.assertRaises(uir2ts.UirError) as e:
                uir2ts.read_resources(self.uir)
            self.assertIn(message, str(e.exception))

    def test_one_panel_constant_in_two_files_fails(self):
        self.write_uir('panel PANEL_A 1 "Other"\n', name="b.uir")
        with self.assertRaisesRegex(uir2ts.UirError, "b.uir:1: panel PANEL_A also in a.uir:2"):
            uir2ts.read_resources(self.uir)


class MergeTest(Workspace):
    def test_update_keeps_translations_keeps_vanished_texts_and_adds_new_ones(self):
        self.update()
        self.translate_all()
        root = ET.parse(self.ts[0]).getroot()
        note = ET.Element("translatorcomment")
        note.text = "keep me"
        msg = next(m for m in root.iter("message") if m.findtext("source") == "Mode")
        msg.insert(len(msg) - 1, note)
        with open(self.ts[0], "w", encoding="utf-8") as f:
            f.write(uir2ts.serialize(root))

        self.write_uir(PANEL.replace('"slow"', '"fast"').replace('"Open"', '"Open…"'))
        self.update()
        before = self.read(self.ts[0])
        self.update()
        self.assertEqual(self.read(self.ts[0]), before, "a second update changes nothing")

        m = self.messages(self.ts[0])
        self.assertEqual(m[("uir/PANEL_A", "Mode", "MODE")], (None, "T:Mode"))
        self.assertEqual(m[("uir/PANEL_A", "slow", "MODE")], ("vanished", "T:slow"))
        self.assertEqual(m[("uir/PANEL_A", "fast", "MODE")], ("unfinished", ""))
        self.assertEqual(m[("uir/PANEL_A", "Open…", "")], ("unfinished", ""))
        self.assertIn("<translatorcomment>keep me</translatorcomment>", before)
        vanished = ET.fromstring(before.encode()).find(".//message[source='slow']")
        self.assertIsNone(vanished.find("location"), "a vanished text points nowhere")

        # back in the resources: the old translation returns, to be reviewed
        self.write_uir(PANEL)
        self.update()
        m = self.messages(self.ts[1])
        self.assertEqual(m[("uir/PANEL_A", "slow", "MODE")], ("unfinished", "T:slow"))
        # a text that vanished untranslated leaves nothing behind
        self.assertNotIn(("uir/PANEL_A", "fast", "MODE"), m)


class CheckTest(Workspace):
    def test_a_new_caption_without_translation_fails_naming_it(self):
        self.update()
        self.translate_all()
        rc, out = self.check()
        self.assertEqual(rc, 0, out)

        self.write_uir(PANEL + '  ctrl 3 NEW switch "新开关"\n')
        rc, out = self.check()
        self.assertEqual(rc, 1)
        self.assertIn('a.uir:22: uir/PANEL_A/PAGE_1 "新开关" (NEW): not in panels_en.ts', out)
        self.assertIn("not in panels_zh_CN.ts", out)

        self.update()
        rc, out = self.check()
        self.assertEqual(rc, 1)
        self.assertIn('"新开关" (NEW): no finished translation in panels_en.ts', out)
        self.translate_all()
        self.assertEqual(self.check()[0], 0)

    def test_moved_texts_pass_and_removed_ones_fail_until_marked_vanished(self):
        self.update()
        self.translate_all()
        self.write_uir("\n" + PANEL)  # every text one line further down
        self.assertEqual(self.check()[0], 0)
        self.write_uir(PANEL.replace('  ctrl 5 UNIT text "rpm"\n  ctrl 6 UNIT_2 text "rpm"\n', ""))
        rc, out = self.check()
        self.assertEqual(rc, 1)
        self.assertIn('panels_en.ts: uir/PANEL_A "rpm": no longer in the panel resources', out)
        self.update()
        self.assertEqual(self.check()[0], 0)


class CheckTranslationsTest(Workspace):
    def test_unfinished_missing_or_malformed_fails(self):
        self.update()
        rc, out = self.run_tool(checker, *self.ts)
        self.assertEqual(rc, 1)
        self.assertIn('panels_en.ts: uir/PANEL_A "Title A" (uir/a.uir:2): no finished translation', out)
        self.translate_all()
        self.assertEqual(self.run_tool(checker, *self.ts)[0], 0)

        root = uir2ts.read_ts(self.ts[1])
        ctx = root.find("context")
        ctx.remove(ctx.findall("message")[-1])
        with open(self.ts[1], "w", encoding="utf-8") as f:
            f.write(uir2ts.serialize(root).replace('language="zh_CN"', 'language="zh_TW"'))
        rc, out = self.run_tool(checker, *self.ts)
        self.assertIn('panels_zh_CN.ts: language="zh_TW", but the name says zh_CN', out)
        self.assertIn("panels_zh_CN.ts: uir/PANEL_A", out)
        self.assertIn("missing, other languages have it", out)

        with open(self.ts[0], "a", encoding="utf-8") as f:
            f.write("<context>")
        rc, out = self.run_tool(checker, self.ts[0])
        self.assertEqual(rc, 1)
        self.assertIn("panels_en.ts: not well-formed", out)

    @unittest.skipIf(LRELEASE is None, "lrelease not installed (qt6-l10n-tools)")
    def test_lrelease_warnings_fail(self):
        self.update()
        self.translate_all()
        rc, out = self.run_tool(checker, "--lrelease", LRELEASE, *self.ts)
        self.assertEqual(rc, 0, out)
        # the same text twice with two translations: lrelease keeps one and warns
        text = self.read(self.ts[0])
        one = text[text.index("    <message>"):text.index("</message>") + len("</message>\n")]
        with open(self.ts[0], "w", encoding="utf-8") as f:
            f.write(text.replace(one, one + one.replace("T:", "U:"), 1))
        rc, out = self.run_tool(checker, "--lrelease", LRELEASE, *self.ts)
        self.assertEqual(rc, 1)
        self.assertIn("dropping duplicate messages", out)


    @unittest.skipIf(LUPDATE is None, "lupdate not installed (qt6-l10n-tools)")
    def test_a_string_of_the_code_not_in_the_files_fails(self):
        os.mkdir(os.path.join(self.dir, "app"))
        with open(os.path.join(self.dir, "app", "w.cpp"), "w", encoding="utf-8") as f:
            f.write('#include <QCoreApplication>\nstruct Tr { Q_DECLARE_TR_FUNCTIONS(W) };\n'
                    'QString a() { return Tr::tr("Kept"); }\n')
        code = [os.path.join(self.dir, f"drive-console_{lang}.ts") for lang in ("en", "zh_CN")]
        for path, lang in zip(code, ("en", "zh_CN")):
            with open(path, "w", encoding="utf-8") as f:
                f.write(f'<?xml version="1.0" encoding="utf-8"?>\n<TS version="2.1" language="{lang}">'
                        "<context><name>W</name><message><source>Kept</source>"
                        "<translation>K</translation></message></context></TS>\n")
        old_root = checker.ROOT
        self.addCleanup(setattr, checker, "ROOT", old_root)
        checker.ROOT = self.dir
        rc, out = self.run_tool(checker, "--lupdate", LUPDATE, *code)
        self.assertEqual(rc, 0, out)
        with open(os.path.join(self.dir, "app", "w.cpp"), "a", encoding="utf-8") as f:
            f.write('QString b() { return Tr::tr("New text"); }\n')
        rc, out = self.run_tool(checker, "--lupdate", LUPDATE, *code)
        self.assertEqual(rc, 1)
        self.assertIn('drive-console_zh_CN.ts: W "New text": in the code, not in the file', out)


if __name__ == "__main__":
    unittest.main()
