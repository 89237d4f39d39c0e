#!/usr/bin/env python3
"""The scripts' own decisions: what each command installs, the second way
of installing when the index is out of step, and what a release holds.
apt-get, dpkg and dpkg-query are replaced by fakes that record their calls."""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import reproducible_zip  # noqa: E402

# The fake apt-get fails an install whose arguments hold $FAIL_UNLESS's
# text missing; "update" fails when $FAIL_UPDATE is set.
FAKE_APT = """#!/bin/sh
echo "apt-get $*" >>"$CALLS"
case "$*" in
*" update"*) [ -z "${FAIL_UPDATE:-}" ] ;;
*" install "*) case "$*" in *"$FAIL_UNLESS"*) exit 0 ;; *) exit 100 ;; esac ;;
esac
"""
FAKE_DPKG = """#!/bin/sh
echo "dpkg $*" >>"$CALLS"
"""


def read(path, mode="r"):
    with open(path, mode) as f:
        return f.read()


class Fakes:
    def __init__(self, root):
        self.bin = os.path.join(root, "bin")
        os.makedirs(self.bin)
        for name, text in (("apt-get", FAKE_APT), ("dpkg", FAKE_DPKG), ("dpkg-query", "#!/bin/sh\nexit 1\n"),
                           ("sudo", '#!/bin/sh\nexec "$@"\n')):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(text)
            os.chmod(path, 0o755)
        self.calls = os.path.join(root, "calls")
        self.release = os.path.join(root, "os-release")
        with open(self.release, "w") as f:
            f.write("NAME=Debian\nVERSION_CODENAME=trixie\n")
        self.env = dict(os.environ, PATH=self.bin + ":" + os.environ["PATH"], CALLS=self.calls,
                        HL_LOGS=os.path.join(root, "logs"), HL_OS_RELEASE=self.release,
                        HL_APT_PAUSE="0", HL_APT_TRIES="2", FAIL_UNLESS="never")

    def run(self, script, **env):
        done = subprocess.run(["sh", "-c", script], cwd=HERE, env=dict(self.env, **env),
                              capture_output=True, text=True, timeout=60)
        calls = read(self.calls).splitlines() if os.path.exists(self.calls) else []
        if os.path.exists(self.calls):
            os.remove(self.calls)
        return done, calls


def installs(calls):
    return [c for c in calls if " install " in c]


class InstallTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.fakes = Fakes(self.tmp.name)

    def tearDown(self):
        self.tmp.cleanup()

    def test_each_command_installs_what_it_runs(self):
        # The commands stop where installing fails, before anything is built.
        for command, i386 in (("./run.sh", False), ("./bench.sh", False), ("./test.sh x64 -R X", False),
                              ("./test.sh x86-95", True), ("./test.sh", True), ("./build.sh", True)):
            with self.subTest(command):
                done, calls = self.fakes.run(command)
                self.assertNotEqual(0, done.returncode)
                wanted = installs(calls)[0]
                self.assertIn("wine64", wanted)
                self.assertEqual(i386, "wine32:i386" in wanted)
                self.assertEqual(i386, "g++-mingw-w64-i686-win32" in wanted)
                self.assertEqual(i386, "dpkg --add-architecture i386" in calls)

    def test_a_failed_install_is_tried_at_once_with_the_releases_own_versions(self):
        done, calls = self.fakes.run(". ./lib.sh; hl_install_deps x64 x86", FAIL_UNLESS="-t trixie",
                                     FAIL_UPDATE="1")
        self.assertEqual(0, done.returncode, done.stderr)
        self.assertEqual(2, len(installs(calls)))
        self.assertNotIn("-t ", installs(calls)[0])
        self.assertIn("-t trixie", installs(calls)[1])
        log = read(os.path.join(self.tmp.name, "logs", "apt.log"))
        self.assertIn("installed with the versions of trixie", log)

    def test_when_nothing_installs_one_line_says_what_to_do(self):
        done, calls = self.fakes.run(". ./lib.sh; hl_install_deps x64 x86")
        self.assertNotEqual(0, done.returncode)
        # Two tries, each both ways.
        self.assertEqual(4, len(installs(calls)))
        last = done.stderr.strip().splitlines()[-1]
        self.assertIn("cannot install:", last)
        self.assertIn("scripts/test.sh x64", last)


class TestProgramStartTest(unittest.TestCase):
    # A fake loader: ends with 3 before "main" the first time, then marks its
    # start (as test_main.cpp does) and ends with 7; or marks it at once.
    LOADER = """#!/bin/sh
echo "$*" >>"$CALLS"
[ -e "$CALLS.once" ] || [ -n "$MARK_AT_ONCE" ] || { : >"$CALLS.once"; exit 3; }
: >"${HL_START_MARK#Z:}"
exit 7
"""

    def run_wrapper(self, **env):
        with tempfile.TemporaryDirectory() as tmp:
            loader = os.path.join(tmp, "loader")
            with open(loader, "w") as f:
                f.write(self.LOADER)
            os.chmod(loader, 0o755)
            calls = os.path.join(tmp, "calls")
            done = subprocess.run([os.path.join(HERE, "ctest-wine.sh"), loader, "t.exe"], capture_output=True,
                                  text=True, env=dict(os.environ, HL_TEST_PREFIX=tmp, WINEPREFIX=tmp, CALLS=calls,
                                                      TMPDIR=tmp, **env))
            return done, len(read(calls).splitlines())

    def test_a_program_that_never_started_is_started_once_more_and_says_so(self):
        done, calls = self.run_wrapper(MARK_AT_ONCE="")
        self.assertEqual((7, 2), (done.returncode, calls))
        self.assertIn("ended with exit code 3 before its main() ran", done.stdout)
        # One that started is never run again, whatever its code.
        done, calls = self.run_wrapper(MARK_AT_ONCE="1")
        self.assertEqual((7, 1, ""), (done.returncode, calls, done.stdout))


class ReleaseTest(unittest.TestCase):
    def plan(self, function, *args):
        return subprocess.run(["sh", "-c", '. ./release_plan.sh; "$@"', "sh", function, *args], cwd=HERE,
                              capture_output=True, text=True, check=True).stdout.splitlines()

    def test_each_file_names_its_version_and_windows(self):
        setups = dict(line.split(" ") for line in self.plan("hl_release_setups", "2.3.4"))
        self.assertEqual({"Hoverlane-2.3.4-Setup-64-bit.exe": "x64/nt/setup.exe",
                          "Hoverlane-2.3.4-Setup-32-bit.exe": "x86/nt/setup.exe",
                          "Hoverlane-2.3.4-Setup-Windows-98-Me.exe": "x86/95/setup.exe"}, setups)
        members = self.plan("hl_release_zip_members", "2.3.4", "32-bit")
        self.assertIn("Hoverlane-2.3.4-32-bit/Windows 98 and Me/hoverlane.exe|x86/95/hoverlane.exe", members)
        self.assertIn("Hoverlane-2.3.4-32-bit/license.txt|src/setup/payload/license.txt", members)

    def test_programs_are_signed_before_what_carries_them_is_built(self):
        signed = set()
        for stage in self.plan("hl_release_signing_stages"):
            preset, rest = stage.split(":", 1)
            targets, files = rest.split("=")
            carried = {"setup_nt": "nt/hoverlane.exe", "setup_95": "95/hoverlane.exe"}
            for target in targets.split():
                inner = carried.get(target, "uninstall/hoverlane_uninst.exe")
                if target != "hoverlane_uninst":
                    self.assertIn(preset + "/" + inner, signed, target)
            signed.update(preset + "/" + f for f in files.split())
        self.assertEqual(8, len(signed))

    def test_a_zip_depends_only_on_its_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            zips = []
            for n, (mtime, order) in enumerate(((1000000000, 1), (2000000000, -1))):
                folder = os.path.join(tmp, str(n))
                os.makedirs(folder)
                members = []
                for name in ("b.txt", "a/x.exe"):
                    path = os.path.join(folder, name.replace("/", "_"))
                    with open(path, "wb") as f:
                        f.write(name.encode() * 100)
                    os.utime(path, (mtime, mtime))
                    members.append((name, path))
                zips.append(os.path.join(folder, "out.zip"))
                reproducible_zip.write_zip(zips[-1], members[::order], 1700000000)
            first, second = (read(z, "rb") for z in zips)
            self.assertEqual(first, second)
            with zipfile.ZipFile(zips[0]) as z:
                self.assertEqual(["a/x.exe", "b.txt"], z.namelist())
                self.assertEqual((2023, 11, 14, 22, 13, 20), z.infolist()[0].date_time)


if __name__ == "__main__":
    unittest.main()
