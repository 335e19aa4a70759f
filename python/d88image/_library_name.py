"""The shared library's file name on this platform; also read by setup.py."""

import sys

if sys.platform == "win32":
    LIBRARY_NAME = "libd88image.dll"
elif sys.platform == "darwin":
    LIBRARY_NAME = "libd88image.1.dylib"
else:
    LIBRARY_NAME = "libd88image.so.1"
