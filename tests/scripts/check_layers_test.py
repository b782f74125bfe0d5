#!/usr/bin/env python3
"""scripts/check-layers on trees made for it: an include of a higher folder and a ring of files
each make it fail and name their includes; a tree in order passes.

    check_layers_test.py path/to/check-layers"""

import pathlib
import subprocess
import sys
import tempfile

# (tree, its files and what they include, the exit code, lines the output must hold)
TREES = [
    ("in order", {"core/clock.h": [], "ui/dpi.h": [], "ui/dpi.cpp": ["ui/dpi.h", "core/clock.h"]}, 0, []),
    ("upward", {"ui/dpi.h": [], "core/clock.cpp": ["ui/dpi.h"]}, 1,
     ["src/core/clock.cpp includes ui/dpi.h: ui stands above core"]),
    ("ring", {"ui/a.h": ["ui/b.h"], "ui/b.h": [], "ui/b.cpp": ["ui/a.h"]}, 1,
     ["these files need each other: ui/a, ui/b", "  src/ui/a.h includes ui/b.h", "  src/ui/b.cpp includes ui/a.h"]),
]

failures = []
for name, files, code, lines in TREES:
    with tempfile.TemporaryDirectory() as tree:
        for path, includes in files.items():
            file = pathlib.Path(tree, "src", path)
            file.parent.mkdir(parents=True, exist_ok=True)
            file.write_text("".join('#include "%s"\n' % header for header in includes))
        run = subprocess.run([sys.executable, sys.argv[1], tree], capture_output=True, text=True)
        if run.returncode != code or not set(lines) <= set(run.stdout.splitlines()):
            failures.append("%s tree: exit code %d, output:\n%s" % (name, run.returncode, run.stdout + run.stderr))
print("\n".join(failures) or "both broken trees fail, with their includes named; the tree in order passes")
sys.exit(1 if failures else 0)
