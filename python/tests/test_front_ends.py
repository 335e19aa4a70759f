"""The same answers from every front end: the report and the cut through the
Python package (over the C API), from a file and from bytes, against what
d88info --json prints and what d88cut writes into its folder, on the
samples whole, damaged and foreign."""

import os
import subprocess

import pytest

import d88image

SECTOR = 1040  # a record of the samples: a 16-byte header and 1024 bytes
DISK = 1281968


def cut_short(size):
    return lambda data: data[:size]


# name: (sample, what is done to it)
IMAGES = {
    "three-disks": ("three-disks.d88", lambda data: data),
    "scan-disks": ("scan-disks.d88", lambda data: data),
    "three-disks-cut-in-the-event-disk": ("three-disks.d88", cut_short(2 * DISK + 54000)),
    "three-disks-cut-in-a-record-header": ("three-disks.d88", cut_short(688 + 5 * SECTOR + 7)),
    "scan-disks-cut-in-disk-1": ("scan-disks.d88", lambda data: data[:len(data) - 300000]),
    "three-disks-and-trailing-bytes": ("three-disks.d88", lambda data: data + b"\x5a" * 100),
    "text": ("three-disks.d88", lambda data: b"not a disk image at all\n"),
    "empty": ("three-disks.d88", lambda data: b""),
}
MODES = {"auto": [], "table": ["--table"], "scan": ["--scan"]}


@pytest.fixture(params=sorted(IMAGES))
def image(request, samples, tmp_path):
    """An image file in a folder of its own, and its bytes."""
    sample, change = IMAGES[request.param]
    with open(os.path.join(samples, sample), "rb") as file:
        data = change(file.read())
    path = tmp_path / (request.param + ".d88")
    path.write_bytes(data)
    return str(path), data


def opened_both_ways(path, data):
    yield d88image.open(path)
    yield d88image.open(data, name=path)


def test_the_report_is_what_d88info_prints(programs, image):
    path, data = image
    printed = subprocess.run([os.path.join(programs, "d88info"), "--json", path], stdout=subprocess.PIPE).stdout
    for opened in opened_both_ways(path, data):
        with opened:
            assert opened.report_json().encode() == printed
            assert opened.report()["images"][0]["path"] == path


@pytest.mark.parametrize("mode", sorted(MODES))
def test_the_cut_is_what_d88cut_writes(programs, image, mode, tmp_path):
    path, data = image
    work = tmp_path / "work"
    work.mkdir()
    ran = subprocess.run([os.path.join(programs, "d88cut"), "-q"] + MODES[mode] + [path], cwd=work,
                         stderr=subprocess.PIPE)
    folder = work / os.path.splitext(os.path.basename(path))[0]
    written = {entry.name: entry.read_bytes() for entry in folder.iterdir()} if folder.exists() else None
    for opened in opened_both_ways(path, data):
        with opened:
            if written is None:
                # d88cut refused the image: the package says the same.
                with pytest.raises(d88image.D88Error) as refused:
                    opened.cut(mode)
                assert ran.stderr.decode() == "d88cut: %s\n" % refused.value
                continue
            cut = opened.cut(mode)
            held = {file.name: file.data for file in cut.files}
            held["manifest.json"] = cut.manifest.encode()
            if cut.checksums is not None:
                held["SHA256SUMS"] = cut.checksums.encode()
            assert held == written
