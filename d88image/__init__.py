"""Not the Python package: the folder of the library's C++ sources.

Python run from the top of the source tree finds this folder first when it
imports d88image, and would take it for an empty namespace package (so that
d88image.open is missing). This file hands the import on to the package
itself when one is on the path (python/ of this tree by PYTHONPATH, or an
installed one), and otherwise says what happened.
"""

import importlib.util
import os
import sys


def _hand_on():
    top = os.path.realpath(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for entry in sys.path:
        folder = os.path.realpath(entry or os.getcwd())
        package = os.path.join(folder, "d88image", "__init__.py")
        if folder == top or not os.path.isfile(package):
            continue
        found = importlib.util.spec_from_file_location(__name__, package,
                                                       submodule_search_locations=[os.path.dirname(package)])
        module = importlib.util.module_from_spec(found)
        sys.modules[__name__] = module
        found.loader.exec_module(module)
        return
    raise ImportError(
        "d88image: %s is the folder of the library's C++ sources, not the Python package, and no package "
        "d88image is installed. Install it (pip install ./python), or run with PYTHONPATH=python and "
        "D88IMAGE_LIBRARY set to the built libd88image.so.1; see docs/python.md"
        % os.path.join(top, "d88image"), name=__name__)


_hand_on()
