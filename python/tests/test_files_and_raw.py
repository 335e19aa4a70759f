"""A disk's files and its raw image through the Python package against
what made them and the programs: FAT12 disks that mtools formats and fills
give back, through ``disk.files`` and ``read()``, the files mcopy was given,
whole or (cut short) zero-padded; ``to_raw`` gives d88convert's bytes and
``from_raw`` its D88 image, and refuses what d88convert refuses; ``cut("files")``
writes what ``d88cut --files`` writes, once the library has that way."""

import os
import shutil
import subprocess

import pytest

import d88image

needs_mtools = pytest.mark.skipif(shutil.which("mformat") is None, reason="mtools (Debian package mtools) is missing")

# name: (mformat's options, the raw image's size)
FAT_DISKS = {
    "PC-98 2HD": ("-t 77 -h 2 -s 8 -S 3 -M 1024 -L 2 -c 1 -r 6", 1261568),
    "PC 1.44 MB": ("-f 1440", 1474560),
}
FILES = {"ONE.BIN": 1, "SECTOR.DAT": 1024, "BIG.BIN": 30000, "SUB/ODD.TXT": 1025}


def pattern(seed, size):
    return bytes((seed * 31 + i * 7 + (i >> 8)) & 0xFF for i in range(size))


def mtools(folder, *arguments):
    subprocess.run(list(arguments), cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(os.environ, MTOOLS_SKIP_CHECK="1", MTOOLSRC="/dev/null"))


def fat_disk(folder, options, size):
    """A raw FAT12 image mtools made and filled, and the files put on it."""
    image = str(folder / "fat.img")
    mtools(folder, "mformat", "-C", "-i", image, *options.split(), "::")
    mtools(folder, "mmd", "-i", image, "::SUB")
    given = {}
    for seed, (path, length) in enumerate(sorted(FILES.items()), 1):
        given[path] = pattern(seed, length)
        (folder / "put").write_bytes(given[path])
        mtools(folder, "mcopy", "-i", image, "put", "::" + path)
    with open(image, "rb") as file:
        data = file.read()
    assert len(data) == size
    return data, given


def d88convert(programs, folder, source, *options, name="in.d88"):
    """What d88convert writes of the file source (bytes) called name, or
    None when it refuses."""
    (folder / name).write_bytes(source)
    out = folder / "out"
    if out.exists():
        out.unlink()
    ran = subprocess.run([os.path.join(programs, "d88convert")] + list(options) + [str(folder / name), str(out)],
                         stderr=subprocess.PIPE)
    return out.read_bytes() if ran.returncode in (0, 3) else None


@needs_mtools
@pytest.mark.parametrize("kind", sorted(FAT_DISKS))
def test_files_and_raw_image_of_an_mtools_disk(programs, tmp_path, kind):
    raw, given = fat_disk(tmp_path, *FAT_DISKS[kind])
    d88 = d88image.from_raw(raw)
    assert d88 == d88convert(programs, tmp_path, raw, "--to", "d88", name="in.img")
    with d88image.open(d88) as image:
        disk = image.disks[0]
        assert disk.file_system.found and disk.file_system.type == "fat12", disk.file_system.reason
        files = {f.path: f for f in disk.files if f.state not in ("folder", "deleted")}
        assert {path: f.read() for path, f in files.items()} == given
        assert all(f.complete and f.size == len(given[path]) for path, f in files.items())
        back = image.to_raw(0)
        assert back.data == raw and back.exact and back.findings == ()
        assert disk.to_raw("fdi").data[4096:] == raw

    # Cut short inside BIG.BIN: it is zero-padded from there, and the raw
    # image is the whole disk's, zeros where the file ends, said.
    cut = d88[:_d88_offset(raw.find(given["BIG.BIN"]) + 15000, _geometry(back.geometry))]
    with d88image.open(cut) as image:
        big = next(f for f in image.disks[0].files if f.path == "BIG.BIN")
        assert big.state == "incomplete" and big.damaged_sectors
        data = big.read()
        assert len(data) == big.size and data != given["BIG.BIN"]
        assert all(ours in (theirs, 0) for ours, theirs in zip(data, given["BIG.BIN"]))
        raw_cut = image.to_raw(0)
        assert raw_cut.data == d88convert(programs, tmp_path, cut, "--to", "raw")
        assert len(raw_cut.data) == len(raw) and not raw_cut.exact
        assert {f.kind for f in raw_cut.findings} <= {"missing", "cut-short"}


def _d88_offset(raw_offset, geometry):
    """Where a byte of a raw image of one layout lies in the D88 image of
    it: after the 688-byte header, each sector after a 16-byte header."""
    _, _, sectors, size = geometry
    track, within = divmod(raw_offset, sectors * size)
    sector, byte = divmod(within, size)
    return 688 + track * sectors * (16 + size) + sector * (16 + size) + 16 + byte


def _geometry(words):
    # "77 x 2 x 8 x 1024" -> (77, 2, 8, 1024)
    return tuple(int(part) for part in words.split(" x ")[:4])


@pytest.mark.parametrize("sample", ["three-disks.d88", "scan-disks.d88"])
def test_raw_images_of_the_samples_are_d88converts(programs, samples, tmp_path, sample):
    with open(os.path.join(samples, sample), "rb") as file:
        data = file.read()
    with d88image.open(data) as image:
        for disk in image.disks:
            expected = d88convert(programs, tmp_path, data, "--disk", str(disk.index), "--to", "raw")
            made = disk.to_raw()
            assert made.data == expected
            assert made.exact == (not made.findings)


@pytest.mark.parametrize("size, geometry, why", [
    (655360, None, "nothing in it tells which"),  # PC-88 2DD or PC-98 640 KB
    (1000, None, "that of no raw image"),
    (327680, "80x2x16x256", "holds"),
])
def test_from_raw_refuses_a_geometry_it_cannot_choose(size, geometry, why):
    with pytest.raises(d88image.GeometryError, match=why):
        d88image.from_raw(bytes(size), geometry)
    with pytest.raises(ValueError):
        d88image.from_raw(bytes(size), "40x2")


@pytest.mark.skipif("files" not in d88image.CUT_MODES, reason="the library has no \"files\" way of taking files yet")
@needs_mtools
def test_cut_files_is_what_d88cut_files_writes(programs, tmp_path):
    raw, given = fat_disk(tmp_path, *FAT_DISKS["PC 1.44 MB"])
    (tmp_path / "fat.d88").write_bytes(d88image.from_raw(raw))
    work = tmp_path / "work"
    work.mkdir()
    subprocess.run([os.path.join(programs, "d88cut"), "-q", "--files", str(tmp_path / "fat.d88")], cwd=work)
    written = {str(p.relative_to(work / "fat")): p.read_bytes() for p in (work / "fat").rglob("*") if p.is_file()}
    with d88image.open(tmp_path / "fat.d88") as image:
        cut = image.cut("files")
        assert {f.name: f.data for f in cut.files} == {p: b for p, b in written.items()
                                                       if p not in ("manifest.json", "SHA256SUMS")}
        assert {f.path: f.read() for f in image.disks[0].files if f.complete} == given
