"""The package's own surface: an image's disks and the reader's operations
from a file and from bytes alike, its errors, and its manners as a Python
object."""

import os

import pytest

import d88image


@pytest.fixture
def sample(samples):
    return os.path.join(samples, "three-disks.d88")


def test_a_file_and_its_bytes_read_alike(sample):
    with open(sample, "rb") as file:
        data = file.read()
    with d88image.open(sample) as from_file, d88image.open(data) as from_bytes:
        assert [disk.name for disk in from_file.disks] == [b"PROGRAM", b"SCENARIO", b"EVENT"]
        assert from_file.disks == from_bytes.disks
        for image in (from_file, from_bytes):
            image.select_disk(0)
            image.set_sector_range(16, 23)
        for track in (-1, 0, 1, 2, 163, 164):
            ids = from_file.list_sector_ids(track)
            assert ids == from_bytes.list_sector_ids(track)
            assert from_file.walk_track(track) == from_bytes.walk_track(track)
            for id in ids:
                assert from_file.read_sector(track, id.c, id.h, id.r, id.n) == \
                    from_bytes.read_sector(track, id.c, id.h, id.r, id.n)
                assert from_file.read_run(track, id.c, id.h, id.r, id.n, 5000) == \
                    from_bytes.read_run(track, id.c, id.h, id.r, id.n, 5000)
        records, end = from_file.walk_track(1)
        assert end == "count" and [record.id.r for record in records] == list(range(16, 24))
        assert len(from_file.read_sector(1, 0, 1, 16, 3)) == 1024
        assert from_file.read_sector(1, 0, 1, 99, 3) == b""
        run = from_file.read_run(1, 0, 1, 16, 3, 5000)
        assert (len(run.data), run.whole) == (5000, 5000)
        assert from_file.walk_track(164) == ([], "unusable")


@pytest.mark.parametrize("call, status, words", [
    (lambda image: d88image.open("/nonexistent/x.d88"), 3, "/nonexistent/x.d88: cannot be read: No such file"),
    (lambda image: image.select_disk(3), 5, "no disk 3: the image holds 3"),
    (lambda image: image.read_sector(1, 0, 1, 16, 3), 5, "no disk is selected"),
    (lambda image: d88image.open(b"not an image", name="notes.d88").cut(), 6,
     "notes.d88: not a D88 image (no whole 688-byte disk header)"),
])
def test_errors_say_why(sample, call, status, words):
    with d88image.open(sample) as image:
        with pytest.raises(d88image.D88Error) as raised:
            call(image)
    assert raised.value.status == status
    assert words in str(raised.value)


def test_manners(sample):
    with d88image.open(sample) as image:
        assert repr(image) == "<d88image.Image %r, 3 disks>" % sample
        assert image.selected_disk is None
        with pytest.raises(ValueError):
            image.cut("both")
        with pytest.raises(TypeError):
            d88image.open(sample, name="x")
    assert repr(image).endswith("closed>")
    with pytest.raises(d88image.D88Error, match="closed"):
        image.report()
    assert d88image.version() == d88image.__version__
    assert "d88image.open(" in d88image.__doc__
