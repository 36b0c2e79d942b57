#!/usr/bin/python3
"""The compiled help file, the portable zip and the setup program, inspected
outside Wine: the files, and that the programs are of the build's bitness.
Usage: release_files_test.py <help.chm> <help source folder> <portable zip> <staged folder>
       <bits: 64 or 32> [setup program]"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

CHM, HELP_SOURCES, ZIP, STAGE, BITS = sys.argv[1:6]
SETUP = sys.argv[6] if len(sys.argv) > 6 else None
# IMAGE_FILE_HEADER.Machine of a program for 64-bit and for 32-bit Windows.
MACHINES = {"64": 0x8664, "32": 0x14C}


def pe_machine(image):
    """The Machine field of a Windows program's file header, or None."""
    if image[:2] != b"MZ" or len(image) < 0x40:
        return None
    header = struct.unpack_from("<I", image, 0x3C)[0]
    if image[header:header + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", image, header + 4)[0]


def version_string(image, name):
    """A value of the version resource's string table (UTF-16), or None."""
    key = (name + "\0").encode("utf-16-le")
    at = image.find(key)
    if at < 0:
        return None
    at += len(key)
    at += -at % 4  # the value starts on a 32-bit boundary
    end = at
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[at:end].decode("utf-16-le")


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
            # Only the text records are read; others are binary.
            text = data[offset + 4:offset + 4 + length].split(b"\0")[0]
            cls.system[code] = text.decode("cp1252", "replace")
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

    def test_program_is_of_the_builds_bitness_and_says_so(self):
        with open(os.path.join(STAGE, "RoroVozaririd.exe"), "rb") as f:
            program = f.read()
        self.assertEqual(pe_machine(program), MACHINES[BITS])
        description = version_string(program, "FileDescription")
        self.assertTrue(description and description.endswith("(%s-bit)" % BITS), description)


@unittest.skipUnless(SETUP, "no setup program (makensis missing)")
class SetupProgram(unittest.TestCase):
    def test_runs_on_the_builds_bitness_and_says_so(self):
        with open(SETUP, "rb") as f:
            setup = f.read()
        self.assertEqual(pe_machine(setup), MACHINES[BITS])
        self.assertEqual(version_string(setup, "FileDescription"), "RoroVozaririd (%s-bit) setup" % BITS)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
