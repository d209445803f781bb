#!/usr/bin/env bash
# run_tests.sh where no Python 3.12+ can be found (a PATH of bash, dirname, ls
# and sort alone, no pyenv, a fresh venv): one SKIPPED line and success on a
# user's machine; one line and a failure under CI, where one must be found.
set -u
here=$(cd "$(dirname "$0")" && pwd)
tools=$(mktemp -d)
trap 'rm -rf "$tools"' EXIT
for t in bash dirname ls sort; do ln -s "$(command -v "$t")" "$tools/"; done
run() {
    env -u ORV_PYTHON -u CI PYENV_ROOT="$tools/none" HOME="$tools/none" PATH="$tools" ORV_VS_VENV="$tools/venv" \
        ORV_BIN="$tools/bash" "$@" bash "$here/run_tests.sh" 2>&1
}
fail=0
out=$(run) || { echo "without CI: exit $?, wanted 0"; fail=1; }
[[ $out == SKIPPED:* && $out != *$'\n'* ]] || { echo "without CI, wanted one SKIPPED line: $out"; fail=1; }
out=$(run CI=true) && { echo "under CI: exit 0, wanted a failure"; fail=1; }
[[ $out == FAILED:* && $out != *$'\n'* ]] || { echo "under CI, wanted one FAILED line: $out"; fail=1; }
exit $fail
