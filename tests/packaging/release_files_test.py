#!/usr/bin/python3
"""The compiled help file, the portable zip and the setup program, inspected
outside Wine: the files, that the programs are of the build's bitness, and
that the program and the stand-in DLLs export and import by the plain names
that Windows looks up.
Usage: release_files_test.py <help.chm> <help source folder> <portable zip> <staged folder>
       <bits: 64 or 32> <stand-in DLL folder> [setup program]"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

CHM, HELP_SOURCES, ZIP, STAGE, BITS, STANDINS = sys.argv[1:7]
SETUP = sys.argv[7] if len(sys.argv) > 7 else None
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


def pe_names(image):
    """The names a Windows program or DLL exports, and those it imports by
    name, as (exports, {DLL name in lower case: [names]})."""
    header = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, header + 6)
    optional = header + 24
    wide = struct.unpack_from("<H", image, optional)[0] == 0x20B  # PE32+
    directories = optional + (112 if wide else 96)
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", image, table + 40 * i) for i in range(sections)]

    def at(rva):  # the file offset of a relative virtual address
        for size, address, raw_size, raw in spans:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError("address %#x lies in no section" % rva)

    def text(rva):
        start = at(rva)
        return image[start:image.index(b"\0", start)].decode("ascii")

    exports, imports = [], {}
    export_rva, import_rva = (struct.unpack_from("<I", image, directories + 8 * i)[0] for i in (0, 1))
    if export_rva:
        count, names = struct.unpack_from("<24xI4xI", image, at(export_rva))
        exports = [text(struct.unpack_from("<I", image, at(names) + 4 * i)[0]) for i in range(count)]
    thunk_size, by_ordinal = (8, 1 << 63) if wide else (4, 1 << 31)
    descriptor = at(import_rva) if import_rva else None
    while descriptor is not None:
        lookup, name, first = struct.unpack_from("<I8xII", image, descriptor)
        if not name:
            break
        entries, thunk = imports.setdefault(text(name).lower(), []), at(lookup or first)
        while True:
            value = struct.unpack_from("<Q" if wide else "<I", image, thunk)[0]
            if not value:
                break
            if not value & by_ordinal:
                entries.append(text(value + 2))  # past the hint
            thunk += thunk_size
        descriptor += 20
    return exports, imports


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


# What Windows looks up in each file by name: the COM entry points of every
# stand-in DLL and the Video for Windows driver's entry point of the codec.
COM_SERVER = {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"}
REQUIRED_EXPORTS = {
    "RoroVozaririd.exe": set(),
    "standin_avimux.dll": COM_SERVER,
    "standin_mkvmux.dll": COM_SERVER,
    "standin_asfmux.dll": COM_SERVER,
    "standin_capture.dll": COM_SERVER,
    "subtitles.dll": COM_SERVER,
    "standin_mjpeg.dll": COM_SERVER | {"DriverProc"},
    "standin_imaadpcm.dll": COM_SERVER,
}
# The compiler's run-time DLLs, which the builds link statically: Windows has none of them.
RUNTIME_DLLS = re.compile(r"lib(stdc\+\+|gcc_s|winpthread)[-_\w]*\.dll")


class EntryPoints(unittest.TestCase):
    def test_every_file_exports_and_imports_by_plain_names(self):
        files = {name: os.path.join(STANDINS, name) for name in os.listdir(STANDINS) if name.endswith(".dll")}
        files["RoroVozaririd.exe"] = os.path.join(STAGE, "RoroVozaririd.exe")
        self.assertEqual(sorted(files), sorted(REQUIRED_EXPORTS))
        for name, path in sorted(files.items()):
            with self.subTest(file=name), open(path, "rb") as f:
                exports, imports = pe_names(f.read())
                self.assertLessEqual(REQUIRED_EXPORTS[name], set(exports))
                # A 32-bit stdcall name keeps its decoration (DriverProc@20) unless the
                # DEF file names it: Windows then finds no such entry point.
                decorated = [n for n in exports + sum(imports.values(), []) if re.search(r"@\d+$", n)]
                self.assertEqual(decorated, [])
                self.assertEqual([d for d in imports if RUNTIME_DLLS.fullmatch(d)], [])


@unittest.skipUnless(SETUP, "no setup program (makensis missing)")
class SetupProgram(unittest.TestCase):
    def test_runs_on_the_builds_bitness_and_says_so(self):
        with open(SETUP, "rb") as f:
            setup = f.read()
        self.assertEqual(pe_machine(setup), MACHINES[BITS])
        self.assertEqual(version_string(setup, "FileDescription"), "RoroVozaririd (%s-bit) setup" % BITS)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
