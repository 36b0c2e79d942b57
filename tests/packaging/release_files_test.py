#!/usr/bin/python3
"""The compiled help file and the portable zip, inspected outside Wine.
Usage: release_files_test.py <help.chm> <help source folder> <portable zip> <staged folder>"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

CHM, HELP_SOURCES, ZIP, STAGE = sys.argv[1:5]


class HelpFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        subprocess.run(["extract_chmLib", CHM, cls.scratch.name], check=True, stdout=subprocess.DEVNULL)
        cls.files = set(os.listdir(cls.scratch.name))
        cls.pages = {f for f in cls.files if f.endswith(".htm")}
        # #SYSTEM: a version, then records of a code, a length and a text.
        data, offset, cls.system = cls.read("#SYSTEM", binary=True), 4, {}
        while offset + 4 <= len(data):
            code, length = struct.unpack_from("<HH", data, offset)
            cls.system[code] = data[offset + 4:offset + 4 + length].split(b"\0")[0].decode("cp1252")
            offset += 4 + length
        contents = cls.read(cls.system[0])  # record 0 names the contents file
        cls.toc = re.findall(r'<param name="Local" value="([^"]+)">', contents, re.I)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    @classmethod
    def read(cls, name, binary=False):
        with open(os.path.join(cls.scratch.name, name), "rb") as f:
            data = f.read()
        return data if binary else data.decode("cp1252")

    def test_opens_at_the_introduction(self):
        self.assertEqual(self.system[2], "Introduction.htm")  # record 2: the default topic
        self.assertEqual(self.toc[0], "Introduction.htm")

    def test_every_page_is_in_the_contents_once(self):
        self.assertEqual(sorted(self.toc), sorted(self.pages))

    def test_every_source_page_is_compiled(self):
        self.assertEqual(self.pages, {f for f in os.listdir(HELP_SOURCES) if f.endswith(".htm")})

    def test_links_lead_to_files_of_the_help_file(self):
        for page in sorted(self.pages):
            for target in re.findall(r'(?:href|src)="([^"#:]+)', self.read(page), re.I):
                with self.subTest(page=page, target=target):
                    self.assertIn(target, self.files)


class PortableZip(unittest.TestCase):
    def test_holds_the_staged_files_in_one_folder(self):
        staged = {}
        for folder, _, names in os.walk(STAGE):
            for name in names:
                with open(os.path.join(folder, name), "rb") as f:
                    relative = os.path.relpath(os.path.join(folder, name), STAGE)
                    staged[os.path.basename(STAGE) + "/" + relative] = f.read()
        with zipfile.ZipFile(ZIP) as archive:
            zipped = {n: archive.read(n) for n in archive.namelist() if not n.endswith("/")}
        self.assertEqual(sorted(zipped), sorted(staged))
        for name in staged:
            self.assertTrue(zipped[name] == staged[name], name + " differs from the staged file")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
