"""Loading libfabrikon and declaring the C interface (fabrikon/fabrikon_c.h).

Every function of the C interface is declared here with its argument and
result types, so that ctypes converts (and checks) each argument instead of
guessing from the Python value.
"""

import ctypes
import ctypes.util
import os

#: The library's major version this package speaks to (its SONAME).
SONAME = "libfabrikon.so.6"

c_int32_p = ctypes.POINTER(ctypes.c_int32)
c_char_pp = ctypes.POINTER(ctypes.c_char_p)

QUESTION_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int32, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p)
ERROR_HANDLER = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p)
TRACE_HANDLER = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_int64, ctypes.c_double, ctypes.c_void_p)

_HANDLE = ctypes.c_void_p
_S = ctypes.c_char_p
_I = ctypes.c_int32

# name: (result type, argument types)
SIGNATURES = {
    "fabrikon_version": (_S, []),
    "fabrikon_create_database": (_I, [_S, _I, _I]),
    "fabrikon_last_error": (_S, []),
    "fabrikon_co_create": (_HANDLE, []),
    "fabrikon_co_destroy": (None, [_HANDLE]),
    "fabrikon_co_last_error": (_S, [_HANDLE]),
    "fabrikon_co_last_error_number": (_I, [_HANDLE]),
    "fabrikon_co_set_question_handler": (_I, [_HANDLE, QUESTION_HANDLER, ctypes.c_void_p]),
    "fabrikon_co_set_error_handler": (_I, [_HANDLE, ERROR_HANDLER, ctypes.c_void_p]),
    "fabrikon_co_set_trace": (_I, [_HANDLE, TRACE_HANDLER, ctypes.c_void_p]),
    "fabrikon_co_init": (_I, [_HANDLE, _S, _S, _S, _S, _S, c_int32_p]),
    "fabrikon_co_default_vtid": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_default_vtid_prn": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_voucher_parameter": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_get_voucher_data": (_I, [_HANDLE, _S, _S, _S]),
    "fabrikon_co_move": (_I, [_HANDLE, _I]),
    "fabrikon_co_bof": (_I, [_HANDLE, c_int32_p]),
    "fabrikon_co_eof": (_I, [_HANDLE, c_int32_p]),
    "fabrikon_co_get_head_xml": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_get_body_xml": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_set_head_xml": (_I, [_HANDLE, _S]),
    "fabrikon_co_set_body_xml": (_I, [_HANDLE, _S]),
    "fabrikon_co_get_head_field": (_I, [_HANDLE, _S, c_char_pp, c_int32_p]),
    "fabrikon_co_set_head_field": (_I, [_HANDLE, _S, _S]),
    "fabrikon_co_line_count": (_I, [_HANDLE, c_int32_p]),
    "fabrikon_co_get_line_field": (_I, [_HANDLE, _I, _S, c_char_pp, c_int32_p]),
    "fabrikon_co_set_line_field": (_I, [_HANDLE, _I, _S, _S]),
    "fabrikon_co_add_line": (_I, [_HANDLE, c_int32_p]),
    "fabrikon_co_delete_line": (_I, [_HANDLE, _I]),
    "fabrikon_co_clear_body": (_I, [_HANDLE]),
    "fabrikon_co_get_voucher_no_type": (_I, [_HANDLE, c_char_pp, c_char_pp]),
    "fabrikon_co_get_voucher_no": (_I, [_HANDLE, _I, c_char_pp, c_char_pp]),
    "fabrikon_co_head_check": (_I, [_HANDLE, _S, _I, c_char_pp]),
    "fabrikon_co_body_check": (_I, [_HANDLE, _I, _S, _I, c_char_pp]),
    "fabrikon_co_dom_return": (_I, [_HANDLE, c_char_pp]),
    "fabrikon_co_apply_return": (_I, [_HANDLE, _I]),
    "fabrikon_co_explode": (_I, [_HANDLE, _S, _S, c_char_pp, c_char_pp]),
    "fabrikon_co_list_data": (_I, [_HANDLE, _S, _S, _S, _S, _I, _I, c_int32_p, c_char_pp, c_int32_p, c_int32_p,
                                   c_char_pp, c_char_pp]),
    "fabrikon_co_save1": (_I, [_HANDLE, _I, c_char_pp]),
    "fabrikon_co_save2": (_I, [_HANDLE, _I, c_char_pp, c_char_pp]),
    "fabrikon_co_call": (_I, [_HANDLE, _S, c_char_pp]),
}


def _candidates():
    explicit = os.environ.get("FABRIKON_LIBRARY")
    if explicit:
        return [explicit]
    found = ctypes.util.find_library("fabrikon")
    return [SONAME] + ([found] if found and found != SONAME else [])


def _load():
    errors = []
    for name in _candidates():
        try:
            return ctypes.CDLL(name)
        except OSError as e:
            errors.append(str(e))
    raise ImportError("cannot load the fabrikon library (set FABRIKON_LIBRARY to libfabrikon.so): "
                      + "; ".join(errors))


def _declare(lib):
    for name, (restype, argtypes) in SIGNATURES.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


lib = _declare(_load())


def encode(text):
    """UTF-8 bytes of text for a const char* argument (None stays NULL)."""
    if text is None:
        return None
    return str(text).encode("utf-8")


def decode(raw):
    """The str of a const char* the library handed out (NULL gives "")."""
    return raw.decode("utf-8", errors="replace") if raw else ""
