#!/usr/bin/env bash
# Mutation testing of a change (see scripts/mutate.py):
#
#   scripts/mutate.sh [BASE]      MUTANTS=N (default 40), MUTANT_TIMEOUT=S (default 900)
#   scripts/mutate.sh --again     the last run's survivors, tried again
#
# BASE is the revision the change starts from: by default where this branch
# left main, so on a branch it is the branch's work, and on main itself the
# uncommitted work. universalmutator comes from PyPI into build/mutate-venv.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
base=${1:-$(git merge-base HEAD main)}
[ "$base" = --again ] && base=""
venv=$root/build/mutate-venv

if [ ! -x "$venv/bin/mutate" ]; then
    python3 -m venv "$venv"
    "$venv/bin/pip" install --quiet universalmutator
fi
cmake --preset native >/dev/null
exec "$venv/bin/python" scripts/mutate.py ${base:-"--again"} --mutants "${MUTANTS:-40}" --timeout "${MUTANT_TIMEOUT:-900}"
