"""Builds the package with the d88image shared library inside it.

The library is built with CMake from the source tree this folder belongs
to (programs and tests left out), in build-python/ at the top of that tree,
which also holds setuptools' own build folders: nothing is written into the
source tree. Needs CMake 3.20 and a C++17 compiler.
"""

import os
import re
import runpy
import subprocess

from setuptools import setup
from setuptools.command.build_py import build_py

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BUILD = os.path.join(ROOT, "build-python")
LIBRARY_NAME = runpy.run_path(os.path.join(HERE, "d88image", "_library_name.py"))["LIBRARY_NAME"]


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake_lists:
        return re.search(r"project\(d88image VERSION ([0-9.]+)", cmake_lists.read()).group(1)


def find_library(folder):
    for here, _, names in os.walk(folder):
        if LIBRARY_NAME in names:
            return os.path.join(here, LIBRARY_NAME)
    raise RuntimeError("the build made no " + LIBRARY_NAME)


class BuildWithLibrary(build_py):
    """Builds the shared library and puts it beside the package's modules."""

    def run(self):
        super().run()
        cmake_build = os.path.join(BUILD, "cmake")
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 1))
        subprocess.check_call(["cmake", "-S", ROOT, "-B", cmake_build, "-DCMAKE_BUILD_TYPE=Release",
                               "-DD88_BUILD_PROGRAMS=OFF", "-DD88_BUILD_TESTS=OFF", "-DD88_INSTALL=OFF",
                               "-DD88_BUILD_C_API=ON"])
        subprocess.check_call(["cmake", "--build", cmake_build, "--target", "d88image_c", "--parallel", jobs])
        target = os.path.join(self.build_lib, "d88image", LIBRARY_NAME)
        self.copy_file(find_library(cmake_build), target)


commands = {"build_py": BuildWithLibrary}
try:
    from wheel.bdist_wheel import bdist_wheel

    class PlatformWheel(bdist_wheel):
        """A wheel for this platform that any Python 3 loads: the library
        is reached through ctypes, not as an extension module."""

        def finalize_options(self):
            super().finalize_options()
            self.root_is_pure = False

        def get_tag(self):
            return ("py3", "none") + tuple(super().get_tag()[2:])

    commands["bdist_wheel"] = PlatformWheel
except ImportError:
    pass

os.makedirs(BUILD, exist_ok=True)
setup(
    version=project_version(),
    cmdclass=commands,
    options={"build": {"build_base": os.path.join(BUILD, "setuptools")}, "egg_info": {"egg_base": BUILD}},
)
