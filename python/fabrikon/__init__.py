"""fabrikon: the voucher business objects from Python.

A thin layer over the library's C interface (loaded with ctypes: set
FABRIKON_LIBRARY to the path of libfabrikon.so to use one that is not
installed)::

    import fabrikon

    with fabrikon.Voucher("plant.db", "om01", "demo", "Demo") as order:
        order.load(2)
        print(order.head["ccode"], order.approve())
"""

from ._errors import Error
from ._native import decode as _decode, encode as _encode, lib as _lib
from .voucher import FIRST, LAST, NEXT, PREVIOUS, REFRESH, Explosion, ListPage, Voucher, connection_string

__all__ = ["Error", "Voucher", "ListPage", "Explosion", "FIRST", "PREVIOUS", "NEXT", "LAST", "REFRESH",
           "create_database", "version", "connection_string"]


def version():
    """The loaded library's version, "MAJOR.MINOR.PATCH"."""
    return _decode(_lib.fabrikon_version())


def create_database(path, demo=False, force=False):
    """Creates a database with the current schema (as ``fabrikon init-db``):
    ``path`` a file name, "Data Source=FILE" or a postgresql:// URI of an
    existing database; with demo the demo plant is filled in. An existing
    database is refused (fabrikon.Error) unless force is true."""
    import os
    rc = _lib.fabrikon_create_database(_encode(os.fspath(path)), 1 if demo else 0, 1 if force else 0)
    if rc != 0:
        raise Error(rc, _decode(_lib.fabrikon_last_error()))
