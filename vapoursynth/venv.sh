# Sourced by the plugin's tests and benchmark: a venv of its own with a
# VapourSynth core from PyPI and this checkout's wheel.
#
#   orv_vs_venv DIR CORE_REQUIREMENT   e.g. orv_vs_venv build/x-venv "vapoursynth==79"
#
# VapourSynth's wheels need Python 3.12 or newer: ORV_PYTHON, else the first
# such python on PATH or among pyenv's. Returns 3 with a line when there is none,
# or 1 with a line under CI (CI set), where one must be.

orv_vs_new_enough() { [ -n "$1" ] && "$1" -c 'import sys; sys.exit(sys.version_info < (3, 12))' 2>/dev/null; }

orv_vs_find_python() {
    local pyenv_root=${PYENV_ROOT:-$HOME/.pyenv} c
    command -v pyenv >/dev/null 2>&1 && pyenv_root=$(pyenv root)
    for c in "${ORV_PYTHON:-}" $(command -v python3.13 python3.12 python3 2>/dev/null) \
             $(ls -d "$pyenv_root"/versions/3.1[2-9]*/bin/python3 2>/dev/null | sort -rV); do
        if orv_vs_new_enough "$c"; then echo "$c"; return 0; fi
    done
    return 1
}

orv_vs_venv() {
    local venv=$1 core=$2 root python
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    if ! orv_vs_new_enough "$venv/bin/python"; then
        if ! python=$(orv_vs_find_python); then
            # CI has pyenv's 3.12 and 3.13: there a miss is a broken lookup,
            # which must not turn the plugin's tests off unseen.
            if [ -n "${CI:-}" ]; then
                echo "FAILED: CI is set, yet no Python 3.12 or newer was found on PATH or in pyenv" \
                     "(${PYENV_ROOT:-$HOME/.pyenv}); the plugin's tests did not run." >&2
                return 1
            fi
            echo "SKIPPED: VapourSynth needs Python 3.12 or newer (its wheels do); none found on PATH or in" \
                 "pyenv. Install one (e.g. pyenv install 3.12) or set ORV_PYTHON."
            return 3
        fi
        rm -rf "$venv"
        "$python" -m venv "$venv" || return 1
    fi
    echo "-- $core from PyPI, then the plugin's wheel from this checkout, into $venv"
    "$venv/bin/pip" install --quiet "$core" || return 1
    "$venv/bin/pip" install --quiet --force-reinstall --no-deps "$root" || return 1
    "$venv/bin/python" -c 'import vapoursynth as vs; print("--", next(l.strip() for l in str(vs.core).splitlines() if "Core R" in l),
                                                     "with orv.Denoise from", vs.core.orv.plugin_path)'
}
