"""Checks of the Debian package: builds it with cpack from the build folder, unpacks it
into a temporary root and looks at its contents, its control fields and its AppStream
data, then runs the unpacked programs against the unpacked demo board.

Usage: python3 test_package.py --build DIR --source DIR --version V --release R --qtpaths PATH"""

import argparse
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import xml.etree.ElementTree as ElementTree

OPTIONS = None
PROGRAMS = ["tallowfinch", "quorvel-cli"]


def run(command, **kwargs):
    done = subprocess.run(command, capture_output=True, text=True, **kwargs)
    if done.returncode != 0:
        raise AssertionError("%s failed (%d):\n%s%s" % (
            " ".join(command), done.returncode, done.stdout, done.stderr))
    return done.stdout


def package_names(field):
    """The package names of a Depends-like field, alternatives included."""
    names = set()
    for clause in field.split(","):
        for alternative in clause.split("|"):
            names.add(re.sub(r"[\s(:].*", "", alternative.strip()))
    return names


def owning_package(path):
    """The installed package that holds the file, trying the merged-/usr twin of the path
    too, since the dynamic loader may name either."""
    twin = path[len("/usr"):] if path.startswith("/usr/") else "/usr" + path
    for candidate in (path, twin):
        found = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True, text=True)
        if found.returncode == 0:
            return found.stdout.split(":")[0].split(",")[0].strip()
    raise AssertionError("no installed package holds " + path)


def dynamic_section(binary):
    entries = {}
    for line in run(["readelf", "-d", binary]).splitlines():
        match = re.search(r"\((\w+)\)\s+.*\[(.*)\]", line)
        if match:
            entries.setdefault(match.group(1), []).append(match.group(2))
    return entries


def loaded_libraries(binary):
    """Library name -> the path the loader picks for it, without any library path set."""
    environment = {k: v for k, v in os.environ.items() if k != "LD_LIBRARY_PATH"}
    paths = {}
    for line in run(["ldd", binary], env=environment).splitlines():
        match = re.match(r"\s*(\S+) => (.*?)(?: \(0x[0-9a-f]+\))?$", line)
        if match:
            paths[match.group(1)] = match.group(2)
    return paths


def options_of(program):
    """The long options that the program's own usage names."""
    usage = subprocess.run([program, "--help"], capture_output=True, text=True,
                           env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
    return set(re.findall(r"--[a-z][a-z-]*", usage))


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def session_processes(session):
    """Ids of the live processes of a session."""
    members = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # After the name: state, ppid, pgrp, session.
        if fields[0] != "Z" and int(fields[3]) == session:
            members.append(int(entry))
    return members


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="quorvel-package-")
        cls.addClassCleanup(shutil.rmtree, cls.folder)
        out = os.path.join(cls.folder, "out")
        run(["cpack", "-G", "DEB", "-B", out, "--config",
             os.path.join(OPTIONS.build, "CPackConfig.cmake")], cwd=OPTIONS.build)
        cls.architecture = run(["dpkg", "--print-architecture"]).strip()
        cls.packages = sorted(glob.glob(os.path.join(out, "*.deb")))
        cls.version = "%s-%s" % (OPTIONS.version, OPTIONS.release)
        cls.deb = os.path.join(out, "quorvel_%s_%s.deb" % (cls.version, cls.architecture))
        cls.root = os.path.join(cls.folder, "root")
        run(["dpkg-deb", "-x", cls.deb, cls.root])

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).strip()

    def installed(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def metainfo_files(self):
        return glob.glob(os.path.join(OPTIONS.source, "app", "*.metainfo.xml"))

    def test_one_package_named_after_the_project_and_its_version(self):
        self.assertEqual(self.packages, [self.deb])
        self.assertEqual(self.field("Package"), "quorvel")
        self.assertEqual(self.field("Version"), self.version)
        self.assertEqual(self.field("Architecture"), self.architecture)

    def test_holds_exactly_the_programs_launcher_icons_metainfo_and_demo(self):
        expected = {"./usr/bin/" + program: "-rwxr-xr-x" for program in PROGRAMS}
        expected["./usr/share/applications/tallowfinch.desktop"] = "-rw-r--r--"
        for icon in glob.glob(os.path.join(OPTIONS.source, "app", "icons", "tallowfinch-*.png")):
            size = re.search(r"-(\d+)\.png$", icon).group(1)
            expected["./usr/share/icons/hicolor/%sx%s/apps/tallowfinch.png" % (size, size)] = \
                "-rw-r--r--"
        for metainfo in self.metainfo_files():
            expected["./usr/share/metainfo/" + os.path.basename(metainfo)] = "-rw-r--r--"
        expected["./usr/share/quorvel/board.py"] = "-rwxr-xr-x"
        expected["./usr/share/quorvel/program.ini"] = "-rw-r--r--"
        expected["./usr/lib/systemd/user/quorvel-watch.service"] = "-rw-r--r--"
        for program in PROGRAMS:
            expected["./usr/share/man/man1/%s.1.gz" % program] = "-rw-r--r--"
        for document in ("copyright", "changelog.Debian.gz"):
            expected["./usr/share/doc/quorvel/" + document] = "-rw-r--r--"
        expected["./usr/share/lintian/overrides/quorvel"] = "-rw-r--r--"
        expected["./usr/share/bash-completion/completions/quorvel-cli"] = "-rw-r--r--"

        files = {}
        for line in run(["dpkg-deb", "-c", self.deb]).splitlines():
            mode, owner, _, _, _, path = line.split(None, 5)
            self.assertEqual(owner, "root/root", path)
            if mode.startswith("d"):
                self.assertEqual(mode, "drwxr-xr-x", path)
            else:
                files[path] = mode
        self.assertEqual(files, expected)

    def test_programs_are_stripped_and_find_their_libraries_in_the_system(self):
        for program in PROGRAMS:
            binary = self.installed("/usr/bin/" + program)
            description = run(["file", "-b", binary])
            self.assertIn("ELF", description)
            self.assertNotIn("not stripped", description)
            section = dynamic_section(binary)
            self.assertNotIn("RPATH", section, program)
            self.assertNotIn("RUNPATH", section, program)
            libraries = loaded_libraries(binary)
            for library in section["NEEDED"]:
                self.assertIn(library, libraries, program)
                self.assertNotEqual(libraries[library], "not found", program + ": " + library)

    def test_depends_on_the_package_of_every_library_and_the_web_engine_helper(self):
        depends = package_names(self.field("Depends"))
        needed = set()
        for program in PROGRAMS:
            binary = self.installed("/usr/bin/" + program)
            libraries = loaded_libraries(binary)
            for library in dynamic_section(binary)["NEEDED"]:
                needed.add(owning_package(libraries[library]))
        # The web pane renders in a helper process that nothing links to.
        libexec = run([OPTIONS.qtpaths, "--query", "QT_INSTALL_LIBEXECS"]).strip()
        needed.add(owning_package(os.path.join(libexec, "QtWebEngineProcess")))
        self.assertEqual(needed - depends, set())
        recommends = package_names(self.field("Recommends"))
        self.assertLessEqual({"python3", "qt6-translations-l10n"}, recommends)

    def test_lintian_reports_no_error_and_no_warning(self):
        if shutil.which("lintian") is None:
            self.skipTest("lintian is not installed")
        checked = subprocess.run(["lintian", "--fail-on", "error,warning", self.deb],
                                 capture_output=True, text=True)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
        self.assertNotRegex(checked.stdout, r"(?m)^[EW]: ")

    def test_programs_carry_the_hardening_of_debian_builds(self):
        checks = [
            # what, the readelf option, a pattern of its output
            ("relocations read-only", "--segments", r"GNU_RELRO"),
            ("bound at start", "--dynamic", r"\(FLAGS\)\s.*\bBIND_NOW\b|\(FLAGS_1\)\s.*\bNOW\b"),
            ("position independent", "--file-header", r"Type:\s+DYN"),
            ("stack protector", "--dyn-syms", r"\b__stack_chk_fail\b"),
            ("fortified functions", "--dyn-syms", r"\b__\w+_chk\b"),
        ]
        for program in PROGRAMS:
            binary = self.installed("/usr/bin/" + program)
            for what, option, pattern in checks:
                with self.subTest(program=program, check=what):
                    self.assertRegex(run(["readelf", "--wide", option, binary]), pattern)

    def test_manual_pages_render_without_warnings_and_name_every_option(self):
        environment = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8")
        for program in PROGRAMS:
            with self.subTest(program=program):
                page = self.installed("/usr/share/man/man1/%s.1.gz" % program)
                shown = subprocess.run(["man", "--warnings", "-l", page], capture_output=True,
                                       text=True, env=environment)
                self.assertEqual((shown.returncode, shown.stderr), (0, ""))
                self.assertIn("%s - " % program, shown.stdout)
                text = shown.stdout.replace("\u2010", "-")
                for option in options_of(self.installed("/usr/bin/" + program)):
                    self.assertIn(option, text)

    def test_metainfo_is_valid_and_names_the_installed_launcher_and_programs(self):
        self.assertEqual(len(self.metainfo_files()), 1)
        name = os.path.basename(self.metainfo_files()[0])
        metainfo = self.installed("/usr/share/metainfo/" + name)
        component = ElementTree.parse(metainfo).getroot()
        self.assertEqual(component.findtext("id") + ".metainfo.xml", name)
        launchable = component.find("launchable[@type='desktop-id']").text
        self.assertTrue(os.path.isfile(self.installed("/usr/share/applications/" + launchable)))
        binaries = [binary.text for binary in component.findall("provides/binary")]
        self.assertEqual(sorted(binaries), sorted(PROGRAMS))
        releases = [release.get("version") for release in component.findall("releases/release")]
        self.assertIn(OPTIONS.version, releases)

        for command in (["validate", "--no-net", metainfo], ["validate-tree", "--no-net", self.root]):
            checked = subprocess.run(["appstreamcli"] + command, capture_output=True, text=True)
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    def test_user_unit_runs_the_installed_lasting_watch_and_is_valid(self):
        unit = read(self.installed("/usr/lib/systemd/user/quorvel-watch.service"))
        settings = [line.split("=", 1) for line in unit.splitlines() if "=" in line]
        values = {}
        for key, value in settings:
            values.setdefault(key, []).append(value)
        self.assertEqual(len(values["ExecStart"]), 1)
        self.assertTrue(values["ExecStart"][0].startswith("/usr/bin/quorvel-cli watch --new "))
        self.assertEqual(values["Restart"], ["on-failure"])
        self.assertEqual(values["WantedBy"], ["default.target"])
        self.assertNotIn("network-online.target", unit)
        # Checked as the user manager would load it, with the unpacked tool in its place.
        folder = tempfile.mkdtemp(dir=self.folder)
        os.chmod(folder, 0o700)
        copy = os.path.join(folder, "quorvel-watch.service")
        with open(copy, "w", encoding="utf-8") as f:
            f.write(unit.replace("/usr/bin/quorvel-cli", self.installed("/usr/bin/quorvel-cli")))
        checked = subprocess.run(["systemd-analyze", "verify", "--user", copy],
                                 capture_output=True, text=True,
                                 env=dict(os.environ, XDG_RUNTIME_DIR=folder))
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))

    def test_launcher_is_valid_and_starts_an_installed_program_with_its_icon(self):
        path = self.installed("/usr/share/applications/tallowfinch.desktop")
        checked = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True)
        # Hints count too: one is that the program would show twice in the menu.
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))
        launcher = read(path)
        entry = dict(line.split("=", 1) for line in launcher.splitlines() if "=" in line)
        self.assertTrue(os.access(self.installed("/usr/bin/" + entry["Exec"].split()[0]), os.X_OK))
        icons = glob.glob(self.installed("/usr/share/icons/hicolor/*/apps/%s.png" % entry["Icon"]))
        self.assertNotEqual(icons, [])

    def test_launcher_names_the_class_of_the_programs_window(self):
        for tool in ("xvfb-run", "xwininfo", "xprop"):
            if shutil.which(tool) is None:
                self.skipTest(tool + " is not installed")
        launcher = read(self.installed("/usr/share/applications/tallowfinch.desktop"))
        entry = dict(line.split("=", 1) for line in launcher.splitlines() if "=" in line)
        home = tempfile.mkdtemp(dir=self.folder)
        # The window's X class, read once the window is mapped on a display of its own.
        script = (
            'QT_QPA_PLATFORM=xcb HOME="$2" XDG_CONFIG_HOME="$2/config" "$1" >/dev/null 2>&1 &\n'
            'for i in $(seq 100); do\n'
            '  id=$(xwininfo -root -tree | awk \'/Pellisand/ {print $1; exit}\')\n'
            '  [ -n "$id" ] && break; sleep 0.2\n'
            'done\n'
            '[ -n "$id" ] && xprop -id "$id" WM_CLASS\n'
            'kill $!; wait $!\n')
        shown = subprocess.run(
            ["xvfb-run", "-a", "sh", "-c", script, "sh",
             self.installed("/usr/bin/tallowfinch"), home],
            capture_output=True, text=True, timeout=60)
        classes = re.findall(r'"([^"]*)"', shown.stdout)
        self.assertEqual(len(classes), 2, shown.stdout + shown.stderr)
        self.assertEqual(entry["StartupWMClass"], classes[1])
        self.assertIn("Keywords", entry)

    def start_board(self):
        board = subprocess.Popen(
            [sys.executable, self.installed("/usr/share/quorvel/board.py"), "--port", "0"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(board.stdout.close)
        self.addCleanup(board.wait)
        self.addCleanup(board.terminate)
        address = re.search(r"http://([\d.]+:\d+)/", board.stdout.readline())
        self.assertIsNotNone(address, "the demo board did not start")
        return address.group(1)

    def test_cli_searches_the_demo_board_with_the_sample_settings(self):
        board = self.start_board()
        settings = tempfile.mkdtemp(dir=self.folder)
        ini = os.path.join(settings, "program.ini")
        shutil.copy(self.installed("/usr/share/quorvel/program.ini"), ini)
        found = subprocess.run(
            [self.installed("/usr/bin/quorvel-cli"), "search", "--ini", ini, "--board", board],
            capture_output=True, text=True, timeout=30)
        self.assertEqual(found.returncode, 0, found.stderr)
        lines = found.stdout.splitlines()
        self.assertGreater(len(lines), 0)
        self.assertEqual(len(lines) % 4, 0)
        for row in range(0, len(lines), 4):
            self.assertTrue(lines[row + 2].startswith("http://%s/job/" % board), lines[row + 2])
            self.assertEqual(lines[row + 3], "===== =====")

    def test_desktop_program_runs_offscreen_until_terminated(self):
        home = tempfile.mkdtemp(dir=self.folder)
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home,
                           XDG_CONFIG_HOME=os.path.join(home, "config"),
                           XDG_CACHE_HOME=os.path.join(home, "cache"),
                           XDG_DATA_HOME=os.path.join(home, "data"))
        environment.pop("LD_LIBRARY_PATH", None)
        log = os.path.join(home, "tallowfinch.log")
        with open(log, "w") as output:
            program = subprocess.Popen([self.installed("/usr/bin/tallowfinch")], env=environment,
                                       stdout=output, stderr=output, start_new_session=True)
        try:
            time.sleep(4)
            self.assertIsNone(program.poll(), "tallowfinch ended early:\n" + read(log))
            program.terminate()
            # Ended by the signal or by a handler of its own, not by a crash.
            self.assertIn(program.wait(timeout=20), (0, -signal.SIGTERM), read(log))
            # The web engine's helper processes go with the program.
            deadline = time.monotonic() + 10
            while session_processes(program.pid) and time.monotonic() < deadline:
                time.sleep(0.1)
            self.assertEqual(session_processes(program.pid), [])
        finally:
            for leftover in session_processes(program.pid):
                os.kill(leftover, signal.SIGKILL)
            if program.poll() is None:
                program.kill()
                program.wait()


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--build", "--source", "--version", "--release", "--qtpaths"):
        parser.add_argument(option, required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
