"""The value classes against real frozen dataclasses of the same fields:
made, shown, compared, hashed, refused a change, and read by the
dataclasses module's functions alike."""

import dataclasses
import inspect
import pickle
import subprocess
import sys

import pytest

import d88image

VALUE_CLASSES = [value for value in vars(d88image).values()
                 if isinstance(value, type) and "_value_fields" in value.__dict__]


def test_every_value_class_is_found():
    assert {cls.__name__ for cls in VALUE_CLASSES} >= {"SectorId", "Record", "Disk", "Cut", "File", "RawImage"}


@pytest.mark.parametrize("cls", VALUE_CLASSES, ids=lambda cls: cls.__name__)
def test_a_value_class_behaves_as_its_dataclass(cls):
    real = d88image._values._dataclass_of(cls)  # a real frozen dataclass of the class's fields
    count = len(cls._value_fields)
    ours, theirs = cls(*range(count)), real(*range(count))
    assert repr(ours) == repr(theirs)
    assert hash(ours) == hash(theirs)
    assert ours == cls(*range(count)) and ours != theirs and (ours != ours) is False
    assert str(inspect.signature(cls)) == str(inspect.signature(real))
    assert [(f.name, f.type, f.default, f.repr, f.compare) for f in dataclasses.fields(ours)] == \
        [(f.name, f.type, f.default, f.repr, f.compare) for f in dataclasses.fields(theirs)]
    assert dataclasses.is_dataclass(ours) and dataclasses.is_dataclass(cls)
    assert dataclasses.asdict(ours) == dataclasses.asdict(theirs)
    assert dataclasses.astuple(ours) == dataclasses.astuple(theirs)
    assert cls.__match_args__ == real.__match_args__
    assert (type("Kin", (cls,), {})(*range(count)) == ours) == (type("Kin", (real,), {})(*range(count)) == theirs)
    for value in (ours, theirs):
        with pytest.raises(dataclasses.FrozenInstanceError, match="cannot assign to field 'more'"):
            value.more = 1
    for index, (name, _, settings) in enumerate(cls._value_fields):
        changed = dataclasses.replace(ours, **{name: -1})
        assert getattr(changed, name) == -1 and type(changed) is cls
        assert (changed == ours) is (not settings.compare)
        for refuse in (lambda value: setattr(value, name, -1), lambda value: delattr(value, name)):
            with pytest.raises(dataclasses.FrozenInstanceError) as ours_refused:
                refuse(ours)
            with pytest.raises(dataclasses.FrozenInstanceError) as theirs_refused:
                refuse(theirs)
            assert str(ours_refused.value) == str(theirs_refused.value) and getattr(ours, name) == index
    assert pickle.loads(pickle.dumps(ours)) == ours


def test_importing_the_package_imports_neither_dataclasses_nor_typing(tmp_path):
    ran = subprocess.run([sys.executable, "-c", "import sys, d88image; d88image.open; "
                          "print(sorted({'dataclasses', 'typing', 'inspect'} & set(sys.modules)))"],
                         stdout=subprocess.PIPE, check=True, cwd=tmp_path)
    assert ran.stdout.decode().strip() == "[]"
    assert d88image.Report.__annotations__.keys() == {"version", "images"}
