"""The package's value classes: frozen dataclasses, made without importing
``dataclasses``. That module, with ``inspect`` under it, and its making of
each class were a third of the package's import time, paid by every
interpreter that imports it to read one image.

``value`` gives a class the methods ``dataclasses.dataclass(frozen=True)``
writes, doing what they do (``__init__``, ``__repr__``, ``__eq__``,
``__hash__``, ``__match_args__``, and ``__setattr__`` and ``__delattr__``
refusing with ``dataclasses.FrozenInstanceError``); only ``__init__`` is
compiled for the class.
``dataclasses.fields``, ``asdict``, ``astuple``, ``replace`` and
``is_dataclass`` read the class's ``__dataclass_fields__`` and
``__dataclass_params__``: those are taken, on first reading, from a real
dataclass made of the same fields.
"""

_MISSING = object()


class field:  # noqa: N801 - it stands for dataclasses.field
    """A field's settings, as ``dataclasses.field`` takes them."""

    __slots__ = ("default", "repr", "compare")

    def __init__(self, *, default=_MISSING, repr=True, compare=True) -> None:
        self.default, self.repr, self.compare = default, repr, compare


class _FromDataclass:
    """A class attribute that ``dataclasses`` reads, taken on first reading
    from the real dataclass of the class's fields and then set in its place."""

    def __init__(self, name: str) -> None:
        self._name = name

    def __get__(self, instance, owner):
        made = getattr(_dataclass_of(owner), self._name)
        setattr(owner, self._name, made)
        return made


def _dataclass_of(cls) -> type:
    import dataclasses

    namespace = {"__annotations__": {}, "__module__": cls.__module__, "__qualname__": cls.__qualname__}
    for name, annotation, settings in cls._value_fields:
        namespace["__annotations__"][name] = annotation
        default = dataclasses.MISSING if settings.default is _MISSING else settings.default
        namespace[name] = dataclasses.field(default=default, repr=settings.repr, compare=settings.compare)
    return dataclasses.dataclass(frozen=True)(type(cls.__name__, (), namespace))


def _frozen(message: str) -> Exception:
    from dataclasses import FrozenInstanceError

    return FrozenInstanceError(message)


def _replace(self, **changes):
    import dataclasses

    return dataclasses.replace(self, **changes)


def _init(cls: type, fields) -> object:
    # Written out and compiled, as dataclasses does, for its signature and
    # its speed: a walk makes a Record of every record it meets.
    parameters = ", ".join(name if settings.default is _MISSING else "%s=_default_%s" % (name, name)
                           for name, _, settings in fields)
    source = "\n".join(["def __init__(self%s):" % (", " + parameters if parameters else ""),
                        *["    _set(self, %r, %s)" % (name, name) for name, _, _ in fields], "    pass"])
    scope = {"_set": object.__setattr__}
    scope.update(("_default_" + name, settings.default) for name, _, settings in fields
                 if settings.default is not _MISSING)
    made = {}
    exec(source, scope, made)
    init = made["__init__"]
    init.__qualname__ = cls.__qualname__ + ".__init__"
    init.__annotations__ = {**{name: annotation for name, annotation, _ in fields}, "return": None}
    return init


def value(cls: type) -> type:
    """Makes cls a frozen value class of the fields its annotations name,
    in their order, as ``@dataclasses.dataclass(frozen=True)`` does."""
    fields = []
    for name, annotation in cls.__dict__.get("__annotations__", {}).items():
        given = cls.__dict__.get(name, _MISSING)
        settings = given if isinstance(given, field) else field(default=given)
        fields.append((name, annotation, settings))
        if settings.default is _MISSING:
            if name in cls.__dict__:
                delattr(cls, name)
        else:
            setattr(cls, name, settings.default)
    names = [name for name, _, _ in fields]
    cls.__init__ = _init(cls, fields)
    compared = [name for name, _, settings in fields if settings.compare]
    shown = [name for name, _, settings in fields if settings.repr]
    frozen = frozenset(names)

    def key(self) -> tuple:
        return tuple([getattr(self, name) for name in compared])

    def __repr__(self) -> str:
        return "%s(%s)" % (self.__class__.__qualname__,
                           ", ".join(["%s=%r" % (name, getattr(self, name)) for name in shown]))

    def __eq__(self, other):
        if other.__class__ is self.__class__:
            return key(self) == key(other)
        return NotImplemented

    def __hash__(self) -> int:
        return hash(key(self))

    def __setattr__(self, name, value):
        if type(self) is cls or name in frozen:
            raise _frozen("cannot assign to field %r" % name)
        super(cls, self).__setattr__(name, value)

    def __delattr__(self, name):
        if type(self) is cls or name in frozen:
            raise _frozen("cannot delete field %r" % name)
        super(cls, self).__delattr__(name)

    for method in (__repr__, __eq__, __hash__, __setattr__, __delattr__):
        method.__qualname__ = "%s.%s" % (cls.__qualname__, method.__name__)
        setattr(cls, method.__name__, method)
    cls.__match_args__ = tuple(names)
    cls.__replace__ = _replace
    cls._value_fields = tuple(fields)
    cls.__dataclass_fields__ = _FromDataclass("__dataclass_fields__")
    cls.__dataclass_params__ = _FromDataclass("__dataclass_params__")
    return cls
