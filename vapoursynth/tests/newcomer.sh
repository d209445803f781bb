#!/usr/bin/env bash
# README's "In VapourSynth" as a newcomer follows it: a fresh clone of this
# repository (with the work tree's changes), a venv at ~/orv-venv (HOME is a temporary directory; the
# venv is made with the Python venv.sh finds, 3.12 or newer), then README's
# marked blocks as they stand there, in order: `<!-- newcomer: run -->`
# blocks run in the clone, `<!-- newcomer: file NAME -->` blocks are written
# to NAME. It ends in an encode, which must hold as many frames as the script
# gives. pip's cache is the user's, so only the plugin is built anew.
# ORV_NEWCOMER_KEEP=1 keeps the directory for a look.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/vapoursynth/venv.sh"
python=$(orv_vs_find_python) || { echo "newcomer.sh: no Python 3.12 or newer found (set ORV_PYTHON)" >&2; exit 1; }

mkdir -p "$root/build"
# Under build/, so that a ccache set up for the tree serves the clone's build.
work=$(mktemp -d "$root/build/newcomer.XXXXXX")
[ -n "${ORV_NEWCOMER_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
export PIP_CACHE_DIR=${PIP_CACHE_DIR:-$(pip cache dir 2>/dev/null || echo "$HOME/.cache/pip")}
export HOME=$work/home XDG_CACHE_HOME=$work/home/.cache
mkdir -p "$HOME"

git clone --quiet "$root" "$work/orv"
# With the work tree's changes on it, so that a README being edited is what is followed.
(cd "$root" && git ls-files -z -c -o --exclude-standard | tar --null --ignore-failed-read -T - -cf - 2>/dev/null) |
    tar -xf - -C "$work/orv"
cd "$work/orv"
"$python" -m venv ~/orv-venv

# The blocks, each as NUL-separated kind, name and text.
blocks=$(awk '
    /^<!-- newcomer: (run|file [^ ]+) -->$/ { kind = $3; name = (kind == "file") ? $4 : ""; inside = 0; text = ""; next }
    kind != "" && /^    / { inside = 1; text = text substr($0, 5) "\n"; next }
    kind != "" && /^$/ { if (inside) text = text "\n"; next }
    kind != "" { printf "%s\037%s\037%s\036", kind, name, text; kind = "" }
    END { if (kind != "") printf "%s\037%s\037%s\036", kind, name, text }
' README.md)
[ -n "$blocks" ] || { echo "newcomer.sh: README.md has no marked blocks" >&2; exit 1; }

# One shell for all, as a newcomer's terminal: the venv a block activates
# stays on for the next.
session=$work/session.sh
n=0
while IFS=$'\037' read -r -d $'\036' kind name text; do
    n=$((n + 1))
    if [ "$kind" = file ]; then
        printf 'echo "== README block %d: %s"\ncat > %q <<'"'"'ORV_README_BLOCK'"'"'\n%sORV_README_BLOCK\n' \
            "$n" "$name" "$name" "$text" >> "$session"
    else
        printf 'echo "== README block %d:"\ncat <<'"'"'ORV_README_BLOCK'"'"' | sed "s/^/   $ /"\n%sORV_README_BLOCK\n%s\n' \
            "$n" "$text" "$text" >> "$session"
    fi
done <<< "$blocks"
bash -euo pipefail "$session" || { echo "newcomer.sh: README's commands failed (above)" >&2; exit 1; }

# The encode holds the script's frames.
want=$(~/orv-venv/bin/vspipe --info denoise.vpy | awk '/^Frames:/ { print $2 }')
got=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 denoised.mkv)
[ -n "$want" ] && [ "$want" = "$got" ] || { echo "newcomer.sh: denoised.mkv holds $got frames, the script gives $want" >&2; exit 1; }
echo "newcomer.sh: README's VapourSynth section ran from a fresh clone to denoised.mkv ($got frames)"
