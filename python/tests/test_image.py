"""The package's own surface: an image's disks and the reader's operations
from a file, a file object and bytes alike, through the image and through
its disks, its errors, and its manners as a Python object."""

import io
import os
import pathlib
import pydoc
import subprocess
import sys

import pytest

import d88image

ROOT = pathlib.Path(__file__).resolve().parents[2]


@pytest.fixture
def sample(samples):
    return os.path.join(samples, "three-disks.d88")


def test_a_file_and_its_bytes_read_alike(sample):
    with open(sample, "rb") as file:
        data = file.read()
    with d88image.open(sample) as from_file, d88image.open(data) as from_bytes, \
            open(sample, "rb") as file, d88image.open(file) as from_object, \
            d88image.open(pathlib.Path(sample)) as from_path:
        assert [disk.name for disk in from_file.disks] == [b"PROGRAM", b"SCENARIO", b"EVENT"]
        assert from_file.disks == from_bytes.disks == from_object.disks == from_path.disks
        assert list(from_file) == list(from_file.disks) and len(from_file) == 3
        assert from_object.name == from_path.name == sample
        for image in (from_file, from_bytes):
            image.select_disk(0)
            image.set_sector_range(16, 23)
        for track in (-1, 0, 1, 2, 163, 164):
            ids = from_file.list_sector_ids(track)
            assert ids == from_bytes.list_sector_ids(track)
            assert from_file.walk_track(track) == from_bytes.walk_track(track)
            disk = from_bytes.disks[0]
            walk = disk.walk(track)
            assert (list(walk.records), walk.end.key) == from_file.walk_track(track)
            assert list(disk.sector_ids(track)) == ids
            for id in ids:
                assert from_file.read_sector(track, id.c, id.h, id.r, id.n) == \
                    from_bytes.read_sector(track, id.c, id.h, id.r, id.n) == disk.read_sector(track, id) == \
                    from_file.read_sector(track, id)
                assert disk.read_run(track, id, 5000) == from_file.read_run(track, id, 5000)
                assert from_file.read_run(track, id.c, id.h, id.r, id.n, 5000) == \
                    from_bytes.read_run(track, id.c, id.h, id.r, id.n, 5000)
        records, end = from_file.walk_track(1)
        assert end == "count" and [record.id.r for record in records] == list(range(16, 24))
        assert len(from_file.read_sector(1, 0, 1, 16, 3)) == 1024
        assert from_file.read_sector(1, 0, 1, 99, 3) == b""
        run = from_file.read_run(1, 0, 1, 16, 3, 5000)
        assert (len(run.data), run.whole) == (5000, 5000)
        assert from_file.walk_track(164) == ([], "unusable")
        # A disk reads itself whatever the image has selected.
        from_file.select_disk(2)
        assert from_file.disks[0].read_sector(1, d88image.SectorId(0, 1, 16, 3)) == \
            from_bytes.read_sector(1, 0, 1, 16, 3)


def closed(image):
    image.close()
    return image.status


@pytest.mark.parametrize("call, raised, status, words", [
    (lambda image: d88image.open("/nonexistent/x.d88"), FileNotFoundError, None, "No such file"),
    (lambda image: d88image.open(os.path.dirname(image.name)), IsADirectoryError, None, "Is a directory"),
    (lambda image: d88image.open("/dev/null"), d88image.OpenError, 3, "not a regular file"),
    (lambda image: image.select_disk(3), d88image.NoDiskError, 5, "no disk 3: the image holds 3"),
    (lambda image: image.disks[3], IndexError, None, ""),
    (lambda image: image.read_sector(1, 0, 1, 16, 3), d88image.NoDiskError, 5, "no disk is selected"),
    (lambda image: d88image.open(b"not an image", name="notes.d88").cut(), d88image.NotAnImageError, 6,
     "notes.d88: not a D88 image (no whole 688-byte disk header)"),
    (lambda image: image.cut("both"), ValueError, None, "auto, table, files, scan"),
    (lambda image: image.cut(merged_name="a/b"), ValueError, None, "not a path"),
    (closed, ValueError, None, "closed"),
    (lambda image: d88image.open(io.StringIO("text")), TypeError, None, "binary"),
    (lambda image: d88image.open(image.name, name="x"), TypeError, None, "name"),
])
def test_errors_say_why(sample, call, raised, status, words):
    with d88image.open(sample) as image:
        with pytest.raises(raised) as caught:
            call(image)
    if status is not None:
        assert isinstance(caught.value, d88image.D88Error) and caught.value.status == status
    assert words in str(caught.value)


def test_manners(sample):
    with d88image.open(sample) as image:
        assert repr(image) == "<d88image.Image %r, 3 disks>" % sample
        assert image.selected_disk is None
        assert str(image.status) == "ok" and image.status == d88image.ImageStatus.OK
        with pytest.raises(AttributeError):
            image.disks[0].index = 1  # values are frozen
        assert hash(image.disks[0]) == hash(d88image.Disk(*[getattr(image.disks[0], name) for name in
                                                             ("index", "offset", "size", "media", "write_protect",
                                                              "name")]))
    assert repr(image).endswith("closed>") and image.closed
    assert d88image.version() == d88image.__version__
    described = pydoc.render_doc(d88image, renderer=pydoc.plaintext)
    for word in ("d88image.open(", "class Image", "class NotAnImageError", "extractall", "ImageStatus", "class Report"):
        assert word in described


@pytest.mark.parametrize("environment, said", [
    # The package of this tree, over the library these tests load.
    ({"PYTHONPATH": str(ROOT / "python"), "D88IMAGE_LIBRARY": d88image._native.lib._name}, "<function open"),
    # No site packages: nothing installed can take the import over.
    ({}, "the folder of the library's C++ sources, not the Python package"),
])
def test_the_source_tree_top_is_no_package(environment, said):
    env = {name: value for name, value in os.environ.items() if name != "PYTHONPATH"}
    env.update(environment)
    ran = subprocess.run([sys.executable, "-S", "-c", "import d88image; print(d88image.open)"], cwd=ROOT, env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    assert said in ran.stdout.decode()


def test_a_reports_tracks_are_decoded_only_when_read(sample, monkeypatch):
    # What makes report() cheap: the document decoded without the disks'
    # tracks, then one disk's tracks for each disk read.
    import json

    from d88image import _report

    decoded = []

    class CountingJson:
        @staticmethod
        def loads(text):
            decoded.append(len(text))
            return json.loads(text)

    monkeypatch.setattr(_report, "json", CountingJson)
    with d88image.open(sample) as image:
        disks = image.report()["images"][0]["disks"]
        assert len(decoded) == 1 and decoded[0] < len(image.report_json()) // 10
        assert [len(disk["tracks"]) for disk in disks] == [154, 154, 154] and len(decoded) == 1
        assert disks[1]["tracks"][0]["index"] == 0 and len(decoded) == 2


@pytest.mark.parametrize("opened_from", ["path", "bytes"])
def test_a_reports_tracks_outlive_its_image_and_know_it_changed(sample, tmp_path, opened_from):
    # The records are read from the image when first wanted: after it is
    # closed, from its path or its bytes again, and never from another
    # image's text.
    import json

    path = tmp_path / "three-disks.d88"
    data = pathlib.Path(sample).read_bytes()
    path.write_bytes(data)
    source = str(path) if opened_from == "path" else data
    with d88image.open(source) as image:
        whole = json.loads(image.report_json())
        report, other = image.report(), image.report()
    del image
    assert report == whole
    if opened_from == "path":
        changed = bytearray(data)
        changed[0x2b0 + 16] ^= 0xff  # the first sector's first byte
        path.write_bytes(bytes(changed[:len(changed) - 1000]))
        with pytest.raises(d88image.ReadError, match="changed after its report was made"):
            list(other["images"][0]["disks"][2]["tracks"])
