"""Checks of quorvel-cli's bash completion: what a user gets on pressing TAB after each part
of a command line, and that it offers every option that the tool's own usage names.

Usage: python3 test_completion.py --tool PATH --script PATH"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

OPTIONS = None

# Words typed so far (the last one is being completed) -> what TAB offers.
CASES = [
    (["", ], {"search", "watch", "get", "help", "--help", "--version"}),
    (["se"], {"search"}),
    (["--v"], {"--version"}),
    (["search", "--"], {"--ini", "--exclude", "--board", "--raw", "--proxy", "--help"}),
    (["watch", "--raw", "--e"], {"--exclude", "--exec"}),
    (["get", "--"], {"--read-timeout", "--out", "--proxy", "--help"}),
    # Folders too, to walk into.
    (["search", "--ini", "se"], {"settings.ini", "seen"}),
    (["watch", "--exclude", ""], {"settings.ini", "seen", "links.txt"}),
    (["watch", "--new", "--state", "l"], {"links.txt"}),
    (["watch", "--proxy", ""], set()),
    (["get", "--out", ""], {"seen"}),
    (["get", "--out", "se"], {"seen"}),
    (["search", "--board", ""], set()),
    (["get", "--read-timeout", ""], set()),
    (["unknown", "--"], set()),
]


def complete(words, folder):
    """What the completion function offers for the command line `words`, run in `folder`."""
    line = " ".join(["quorvel-cli"] + words)
    script = (
        # compopt only works while readline completes.
        'compopt() { :; }\n'
        'source "$1"; shift\n'
        'COMP_WORDS=("$@"); COMP_CWORD=$(( $# - 1 )); COMP_LINE=%s; COMP_POINT=${#COMP_LINE}\n'
        '_quorvel_cli\n'
        'printf "%%s\\n" "${COMPREPLY[@]}"\n' % shlex_quote(line))
    done = subprocess.run(["bash", "-c", script, "bash", OPTIONS.script, "quorvel-cli"] + words,
                          cwd=folder, capture_output=True, text=True)
    if done.returncode != 0 or done.stderr:
        raise AssertionError("completion failed: " + done.stderr)
    return {word for word in done.stdout.split("\n") if word}


def shlex_quote(text):
    return "'" + text.replace("'", "'\\''") + "'"


class CompletionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="quorvel-completion-")
        cls.addClassCleanup(shutil.rmtree, cls.folder)
        for name in ("settings.ini", "links.txt"):
            open(os.path.join(cls.folder, name), "w").close()
        os.mkdir(os.path.join(cls.folder, "seen"))

    def test_offers_commands_options_files_and_folders(self):
        for words, expected in CASES:
            with self.subTest(words=words):
                self.assertEqual(complete(words, self.folder), expected)

    def test_offers_every_option_of_each_commands_usage(self):
        for command in ("search", "watch", "get"):
            with self.subTest(command=command):
                usage = subprocess.run([OPTIONS.tool, command, "--help"], capture_output=True,
                                       text=True, check=True).stdout
                named = set(re.findall(r"--[a-z][a-z-]*", usage.split("\n\n")[0]))
                self.assertLessEqual(named, complete([command, "--"], self.folder))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--tool", "--script"):
        parser.add_argument(option, required=True)
    OPTIONS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
