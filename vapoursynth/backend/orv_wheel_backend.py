"""scikit-build-core, building out of the tree when the tree can't be written.

The build directory is kept in the checkout (build/wheel) so that a second
`pip install .` rebuilds only what changed. A checkout the user can't write
(another user's, a read-only mount) would stop the build at that directory,
so there the build goes to the user's cache instead, else to a temporary
directory scikit-build-core removes afterwards.
"""
import hashlib
import os
import tempfile

from scikit_build_core.build import *  # noqa: F401,F403 (the hooks pip calls)
# Named too: these ask pip for CMake and Ninja from PyPI where the system has
# none new enough, so that a compiler is all a build needs.
from scikit_build_core.build import get_requires_for_build_editable, get_requires_for_build_wheel  # noqa: F401
from scikit_build_core.build import build_editable as _build_editable
from scikit_build_core.build import build_wheel as _build_wheel

IN_TREE = os.path.join("build", "wheel")


def _writable(directory):
    try:
        os.makedirs(directory, exist_ok=True)
        with tempfile.TemporaryFile(dir=directory):
            return True
    except OSError:
        return False


def _with_build_dir(config_settings):
    settings = dict(config_settings or {})
    if "build-dir" in settings or _writable(IN_TREE):
        return settings
    cache = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    # One directory per checkout, so that two checkouts never share objects.
    key = hashlib.sha256(os.path.abspath(os.getcwd()).encode()).hexdigest()[:16]
    outside = os.path.join(cache, "vapoursynth-orv", key)
    settings["build-dir"] = outside if _writable(outside) else ""
    print(f"vapoursynth-orv: the checkout can't be written; building in {outside if settings['build-dir'] else 'a temporary directory'}",
          flush=True)
    return settings


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    return _build_wheel(wheel_directory, _with_build_dir(config_settings), metadata_directory)


def build_editable(wheel_directory, config_settings=None, metadata_directory=None):
    return _build_editable(wheel_directory, _with_build_dir(config_settings), metadata_directory)
