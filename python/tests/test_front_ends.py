"""The same answers from every front end: the report, the survey's status
and anomalies, the map and the cut through the Python package (over the C
API), from a file and from bytes, against what d88info prints and what
d88cut writes into its folder, alone and with its options, on the samples
whole, damaged and foreign."""

import json
import os
import pathlib
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


def test_the_report_is_what_d88info_prints(programs, image, tmp_path):
    path, data = image
    drawn = tmp_path / "map.svg"
    printed = subprocess.run([os.path.join(programs, "d88info"), "--json", "--map", str(drawn), path],
                             stdout=subprocess.PIPE).stdout
    for opened in opened_both_ways(path, data):
        with opened:
            assert opened.report_json().encode() == printed
            document = opened.report()
            # Each disk's tracks are decoded on first reading: counted before
            # it, then equal to the document decoded whole.
            whole = json.loads(printed)
            assert [len(disk["tracks"]) for disk in document["images"][0].get("disks", [])] == \
                [len(disk["tracks"]) for disk in whole["images"][0].get("disks", [])]
            assert document == whole and json.dumps(document) == json.dumps(whole)
            report = document["images"][0]
            assert report["path"] == path
            assert opened.status.key == report["status"]
            assert [(a.kind, a.severity.key, a.message, a.disk, a.track, a.offset) for a in opened.anomalies] == \
                [(a["kind"], a["severity"], a["message"], a.get("disk"), a.get("track"), a.get("position"))
                 for a in report["anomalies"]]
            if drawn.exists():
                assert opened.map_svg().encode() == drawn.read_bytes()
            else:
                with pytest.raises(d88image.ReadError):
                    opened.map_svg()


@pytest.mark.parametrize("mode", sorted(MODES))
def test_the_cut_is_what_d88cut_writes(programs, image, mode, tmp_path):
    path, data = image
    work = tmp_path / "work"
    work.mkdir()
    ran = subprocess.run([os.path.join(programs, "d88cut"), "-q"] + MODES[mode] + [path], cwd=work,
                         stderr=subprocess.PIPE)
    folder = work / os.path.splitext(os.path.basename(path))[0]
    written = {entry.name: entry.read_bytes() for entry in folder.iterdir()} if folder.exists() else None
    for way, opened in enumerate(opened_both_ways(path, data)):
        with opened:
            if written is None:
                # d88cut refused the image: the package says the same.
                with pytest.raises(d88image.D88Error) as refused:
                    opened.cut(mode)
                assert ran.stderr.decode() == "d88cut: %s\n" % refused.value
                continue
            cut = opened.cut(mode)
            into = tmp_path / ("extracted-%d" % way)
            extracted = pathlib.Path(cut.extractall(into))
            assert extracted == into / folder.name
            assert {entry.name: entry.read_bytes() for entry in extracted.iterdir()} == written
            with pytest.raises(FileExistsError):
                cut.extractall(into)
            cut.extractall(into, replace=True)
            assert {entry.name: entry.read_bytes() for entry in extracted.iterdir()} == written


# What d88cut writes from a set and after a folder of the same name, and
# the same through cut()'s options: (d88cut's options, the images, the
# folder compared, cut()'s options).
RUNS = {
    "a set": (["--merge"], ["first", "rest"], "first", {"merge_with": 1}),
    "a set named": (["--merge", "--name", "both"], ["first", "rest"], "both", {"merge_with": 1, "merged_name": "both"}),
    "a set of one": (["--merge"], ["rest"], "rest", {"merge": True}),
    "after a folder of its name": ([], ["first", "first"], "first-2", {"folders_given": ["first"]}),
}


@pytest.mark.parametrize("run", sorted(RUNS))
def test_the_options_cut_as_d88cut_runs(programs, samples, tmp_path, run):
    options, images, folder, asked = RUNS[run]
    with open(os.path.join(samples, "three-disks.d88"), "rb") as file:
        data = file.read()
    (tmp_path / "first.d88").write_bytes(data[:DISK])
    (tmp_path / "rest.d88").write_bytes(data[DISK:])
    work = tmp_path / "work"
    work.mkdir()
    paths = [str(tmp_path / (name + ".d88")) for name in images]
    subprocess.run([os.path.join(programs, "d88cut"), "-q"] + options + paths, cwd=work)
    written = {entry.name: entry.read_bytes() for entry in (work / folder).iterdir()}
    merged = "merge_with" in asked
    opened = [d88image.open(path) for path in (paths if merged else paths[-1:])]
    if merged:
        asked = dict(asked, merge_with=opened[1:])
    cut = opened[0].cut(**asked)
    extracted = pathlib.Path(cut.extractall(tmp_path / "extracted"))
    assert extracted.name == folder
    assert {entry.name: entry.read_bytes() for entry in extracted.iterdir()} == written
    for image in opened:
        image.close()
