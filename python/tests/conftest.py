"""Where the tests find the programs and the sample images: D88_TEST_BIN and
D88_TEST_SAMPLES (set by the build's test run), else the build/ folder at
the top of the source tree."""

import os

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


@pytest.fixture(scope="session")
def programs():
    return os.environ.get("D88_TEST_BIN", os.path.join(ROOT, "build", "bin"))


@pytest.fixture(scope="session")
def samples():
    return os.environ.get("D88_TEST_SAMPLES", os.path.join(ROOT, "build", "sample"))
