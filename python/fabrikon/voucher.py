"""The Voucher class: one voucher form of one card over the C interface."""

import collections
import ctypes
import datetime
import os

from . import _rowset
from ._errors import Error
from ._native import ERROR_HANDLER, QUESTION_HANDLER, TRACE_HANDLER, decode, encode, lib

FIRST, PREVIOUS, NEXT, LAST, REFRESH = range(5)

#: The eight parameters of a card, in the library's order.
PARAMETER_NAMES = ("head_table", "body_table", "head_view", "body_view", "list_view", "head_key", "body_key",
                   "code_column")

Explosion = collections.namedtuple("Explosion", "bom_ids materials")
Explosion.__doc__ = """The material-list preview of an outsourcing product line.

``bom_ids`` are the selected bill-of-materials row ids (strings, in the
order met; empty when the product line is not found), ``materials`` the
selected materials as dicts (cPScode, fQuantity, fQuantityNoWaste,
iPSQuantity, iWasteRate, cDepCode, cWhCode and the free items used).
"""


class ListPage:
    """One page of a card's list: ``rows`` (a list of dicts), ``totals``
    (the dict of the totals row, {} without totals), ``record_count`` (rows
    of the whole filtered list) and ``page_count``. Iterating a page, len()
    and indexing go to its rows."""

    def __init__(self, rows, totals, record_count, page_count):
        self.rows = rows
        self.totals = totals
        self.record_count = record_count
        self.page_count = page_count

    def __iter__(self):
        return iter(self.rows)

    def __len__(self):
        return len(self.rows)

    def __getitem__(self, index):
        return self.rows[index]

    def __repr__(self):
        return "<ListPage %d rows of %d, %d pages, totals %r>" % (len(self.rows), self.record_count,
                                                                 self.page_count, self.totals)


def connection_string(database):
    """The connection string for a file name or path ("Data Source=FILE");
    a text that is already a connection string or a postgresql:// URI is
    kept as it is."""
    if isinstance(database, os.PathLike):
        return "Data Source=" + os.fspath(database)
    if "=" in database or database.startswith("postgresql://"):
        return database
    return "Data Source=" + database


def _date_text(date):
    if date is None:
        return None
    if isinstance(date, (datetime.date, datetime.datetime)):
        return date.strftime("%Y-%m-%d")
    return str(date)


def _text(value):
    """Field values are text; None and bool are spelled as the library reads them."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "1" if value else "0"
    if isinstance(value, (datetime.date, datetime.datetime)):
        return value.strftime("%Y-%m-%d")
    return str(value)


class Voucher:
    """A voucher form of one card, opened on a database.

    ``Voucher(database, card, user_id, user_name, date=None)`` opens the
    database (a file name, "Data Source=FILE" or a postgresql:// URI) for the
    card number (such as "om01" for outsourcing orders, "pp25" for
    production orders) as the given user on the given login date (a
    datetime.date or "YYYY-MM-DD"; None is today). Use it as a context
    manager, or call close(), to release the handle.

    The voucher on the form is read and edited through ``head`` (a dict),
    ``lines`` (a list of dicts) and the field methods; operations answer the
    library's text: "" on success, otherwise a message for the user (approval
    and closing answer a message on success too). Failures of a call raise
    fabrikon.Error. A Voucher is used on one thread at a time.
    """

    def __init__(self, database, card, user_id="", user_name="", date=None):
        self._handle = None
        self._callbacks = {}
        self._callback_error = None
        self._new = False
        self.card = card
        #: The key of the voucher the last save() wrote ("" after a failed save).
        self.lastid = None
        handle = lib.fabrikon_co_create()
        if not handle:
            raise MemoryError("fabrikon_co_create")
        self._handle = handle
        answer = ctypes.c_int32()
        try:
            self._call("fabrikon_co_init", encode(connection_string(database)), encode(card), encode(user_id),
                       encode(user_name), encode(_date_text(date)), ctypes.byref(answer))
        except BaseException:
            self.close()
            raise

    # --- lifetime -------------------------------------------------------------

    def close(self):
        """Releases the handle (its connection and documents); idempotent."""
        if self._handle:
            lib.fabrikon_co_destroy(self._handle)
            self._handle = None
        self._callbacks.clear()

    @property
    def closed(self):
        """Whether close() was called."""
        return self._handle is None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __del__(self):
        try:
            self.close()
        except Exception:
            pass

    # --- calls ----------------------------------------------------------------

    def _call(self, name, *args):
        if self._handle is None:
            raise Error(91, "the voucher is closed")
        self._callback_error = None
        rc = getattr(lib, name)(self._handle, *args)
        pending, self._callback_error = self._callback_error, None
        if pending is not None:
            raise pending
        if rc != 0:
            number = lib.fabrikon_co_last_error_number(self._handle) or rc
            raise Error(number, decode(lib.fabrikon_co_last_error(self._handle)))

    def _answer(self, name, *args):
        result = ctypes.c_char_p()
        self._call(name, *args, ctypes.byref(result))
        return decode(result.value)

    def _flag(self, name, *args):
        value = ctypes.c_int32()
        self._call(name, *args, ctypes.byref(value))
        return value.value

    # --- message boxes and trace ---------------------------------------------

    def _guarded(self, function, default):
        """A callback that keeps a Python exception for the end of the call."""
        def run(*args):
            try:
                return function(*args)
            except BaseException as e:  # raised again when the C call returns
                if self._callback_error is None:
                    self._callback_error = e
                return default
        return run

    def set_question_handler(self, handler):
        """Every Yes/No question asked during a call goes to
        ``handler(text, title)``; a true answer is Yes. Without a handler (or
        with None) the answer is No. An exception in the handler answers No
        and is raised again when the call returns. The handler must not use
        this Voucher."""
        if handler is None:
            callback = QUESTION_HANDLER()
        else:
            run = self._guarded(lambda text, title: 1 if handler(decode(text), decode(title)) else 0, 0)
            callback = QUESTION_HANDLER(lambda text, title, context: run(text, title))
        self._call("fabrikon_co_set_question_handler", callback, None)
        self._callbacks["question"] = callback  # kept alive while the library holds it

    def set_error_handler(self, handler):
        """Error boxes shown during a call go to ``handler(text, title)``
        (None: they are kept by the library instead)."""
        if handler is None:
            callback = ERROR_HANDLER()
        else:
            run = self._guarded(lambda text, title: handler(decode(text), decode(title)), None)
            callback = ERROR_HANDLER(lambda text, title, context: run(text, title))
        self._call("fabrikon_co_set_error_handler", callback, None)
        self._callbacks["error"] = callback

    def set_trace_callback(self, trace):
        """Every SQL batch the library sends goes to
        ``trace(sql, records_affected, milliseconds)`` after it ran
        (records_affected -1 when none, e.g. a SELECT or a failed batch);
        None stops the trace."""
        if trace is None:
            callback = TRACE_HANDLER()
        else:
            run = self._guarded(lambda sql, count, ms: trace(decode(sql), count, ms), None)
            callback = TRACE_HANDLER(lambda sql, count, ms, context: run(sql, count, ms))
        self._call("fabrikon_co_set_trace", callback, None)
        self._callbacks["trace"] = callback

    # --- the card -------------------------------------------------------------

    def parameters(self):
        """The card's tables, views and key columns as a dict (head_table,
        body_table, head_view, body_view, list_view, head_key, body_key,
        code_column)."""
        values = (ctypes.c_char_p * 8)()
        self._call("fabrikon_co_voucher_parameter", values)
        return {name: decode(value) for name, value in zip(PARAMETER_NAMES, values)}

    def default_vtid(self, printing=False):
        """The card's default template id (of the print template with printing=True)."""
        return self._answer("fabrikon_co_default_vtid_prn" if printing else "fabrikon_co_default_vtid")

    # --- loading and moving ---------------------------------------------------

    def load(self, id=None, where=None, locate=None):
        """Loads voucher ``id`` (its key; None: the highest key of the
        filtered set) of the vouchers matching ``where`` (a condition, or
        None for all); ``locate`` is a condition that picks the voucher
        instead of the key."""
        self._call("fabrikon_co_get_voucher_data", encode(where), encode(None if id is None else str(id)),
                   encode(locate))
        self._new = False

    def move(self, where):
        """Moves to fabrikon.FIRST, PREVIOUS, NEXT, LAST or REFRESH (reloads
        the current voucher)."""
        self._call("fabrikon_co_move", where)
        self._new = False

    def first(self):
        """Moves to the first voucher of the filtered set."""
        self.move(FIRST)

    def previous(self):
        """Moves to the previous voucher."""
        self.move(PREVIOUS)

    def next(self):
        """Moves to the next voucher."""
        self.move(NEXT)

    def last(self):
        """Moves to the last voucher."""
        self.move(LAST)

    def refresh(self):
        """Loads the current voucher again (new row versions after a change)."""
        self.move(REFRESH)

    @property
    def bof(self):
        """Whether a move went before the first voucher."""
        return bool(self._flag("fabrikon_co_bof"))

    @property
    def eof(self):
        """Whether a move went past the last voucher."""
        return bool(self._flag("fabrikon_co_eof"))

    # --- the documents --------------------------------------------------------

    @property
    def head_xml(self):
        """The head document as XML text (settable)."""
        return self._answer("fabrikon_co_get_head_xml")

    @head_xml.setter
    def head_xml(self, xml):
        self._call("fabrikon_co_set_head_xml", encode(xml))

    @property
    def body_xml(self):
        """The body document as XML text (settable)."""
        return self._answer("fabrikon_co_get_body_xml")

    @body_xml.setter
    def body_xml(self, xml):
        self._call("fabrikon_co_set_body_xml", encode(xml))

    @property
    def head(self):
        """The head row as a dict of column -> text (a NULL column is absent).

        Assigning a dict sets each field it names (the others keep their
        values), as set_head() does."""
        return _rowset.first_row(self.head_xml)

    @head.setter
    def head(self, fields):
        self.set_head(fields)

    def set_head(self, fields=None, **more):
        """Sets head fields from a dict and/or keyword arguments; values are
        turned into text (None: empty, True/False: 1/0, dates: YYYY-MM-DD)."""
        for name, value in dict(fields or {}, **more).items():
            self._call("fabrikon_co_set_head_field", encode(name), encode(_text(value)))

    def head_field(self, name):
        """One head field as text; None when the head row has no such field."""
        value, is_null = ctypes.c_char_p(), ctypes.c_int32()
        self._call("fabrikon_co_get_head_field", encode(name), ctypes.byref(value), ctypes.byref(is_null))
        return None if is_null.value else decode(value.value)

    @property
    def lines(self):
        """The body lines as a list of dicts, in order (line 1 first), each
        with its mark "editprop" ("" as loaded, "A" added, "M" modified, "D"
        deleted)."""
        return _rowset.rows(self.body_xml)

    @property
    def line_count(self):
        """The number of body lines (deleted ones included)."""
        return self._flag("fabrikon_co_line_count")

    def line(self, row):
        """Body line ``row`` (from 1) as a dict."""
        found = self.lines
        if not 1 <= row <= len(found):
            raise IndexError("no line %d (the voucher has %d)" % (row, len(found)))
        return found[row - 1]

    def line_field(self, row, name):
        """One field of line ``row`` as text; None when the line has no such field."""
        value, is_null = ctypes.c_char_p(), ctypes.c_int32()
        self._call("fabrikon_co_get_line_field", row, encode(name), ctypes.byref(value), ctypes.byref(is_null))
        return None if is_null.value else decode(value.value)

    def set_line(self, row, fields=None, **more):
        """Sets fields of line ``row`` (a loaded line becomes "M")."""
        for name, value in dict(fields or {}, **more).items():
            self._call("fabrikon_co_set_line_field", row, encode(name), encode(_text(value)))

    def add_line(self, fields=None, **more):
        """Appends a line marked "A" with the given fields; answers its number."""
        row = self._flag("fabrikon_co_add_line")
        self.set_line(row, fields, **more)
        return row

    def delete_line(self, row):
        """Marks line ``row`` "D" (a line added since loading is removed)."""
        self._call("fabrikon_co_delete_line", row)

    def clear_lines(self):
        """Empties the body."""
        self._call("fabrikon_co_clear_body")

    # --- a new voucher and its number -----------------------------------------

    def new(self):
        """Starts a new voucher: the card's preset head and no lines. Answers
        the library's text ("" on success); save() then inserts it."""
        answer = self.call("VoucherNew")
        if answer == "":
            self.clear_lines()
            self._new = True
        return answer

    def number_type(self):
        """The card's numbering: (answer, numbering type)."""
        result, no_type = ctypes.c_char_p(), ctypes.c_char_p()
        self._call("fabrikon_co_get_voucher_no_type", ctypes.byref(result), ctypes.byref(no_type))
        return decode(result.value), decode(no_type.value)

    def number(self, real=True):
        """A voucher number for the voucher on the form: the real one taken
        from the numbering (real=True) or a preview. Raises fabrikon.Error
        (number 0) with the library's message when it gives no number."""
        number, message = ctypes.c_char_p(), ctypes.c_char_p()
        self._call("fabrikon_co_get_voucher_no", 1 if real else 0, ctypes.byref(number), ctypes.byref(message))
        if not number.value and message.value:
            raise Error(0, decode(message.value))
        return decode(number.value)

    # --- checks ---------------------------------------------------------------

    def check_head(self, item=None):
        """Checks head field ``item`` as the screen does after an edit, or the
        whole head before saving (item None). Answers "" or the messages;
        the values the check hands back are in ``returned``."""
        return self._answer("fabrikon_co_head_check", encode(item), 0 if item else 1)

    def check_line(self, row=1, item=None):
        """Checks field ``item`` of line ``row``, or every line before saving
        (item None). Answers "" or the messages; see ``returned``."""
        return self._answer("fabrikon_co_body_check", row, encode(item), 0 if item else 1)

    def check(self):
        """The checks of a save: head and lines in save mode, their messages joined."""
        return self.check_head() + self.check_line()

    @property
    def returned_xml(self):
        """The last check's domReturn document as XML ("" when it gave none)."""
        return self._answer("fabrikon_co_dom_return")

    @property
    def returned(self):
        """The values the last check handed back (its domReturn row) as a dict."""
        return _rowset.first_row(self.returned_xml)

    def apply_return(self, row=0):
        """Takes the last check's returned values over into the head (row 0)
        or line ``row``, as a voucher screen does."""
        self._call("fabrikon_co_apply_return", row)

    # --- saving and the workflow ----------------------------------------------

    def save(self, state=None, reload=True):
        """Checks and saves the voucher in one transaction; answers "" or the
        messages (nothing is saved then). ``state`` is 2 (new) or 1 (edited);
        None takes 2 after new(), else 1. The saved key is in ``lastid``; with
        reload the saved voucher is loaded again (new row versions)."""
        if state is None:
            state = 2 if self._new else 1
        result, cur_id = ctypes.c_char_p(), ctypes.c_char_p()
        self._call("fabrikon_co_save2", state, ctypes.byref(result), ctypes.byref(cur_id))
        answer, self.lastid = decode(result.value), decode(cur_id.value)
        if answer == "" and self.lastid:
            self._new = False
            if reload:
                self.load(self.lastid)
        return answer

    def save1(self, state):
        """The host's other save (VoucherSave1): answers "" or the messages."""
        return self._answer("fabrikon_co_save1", state)

    def call(self, operation):
        """Runs an operation by name ("VoucherConfirm", ...); answers its text."""
        return self._answer("fabrikon_co_call", encode(operation))

    def approve(self):
        """Approves the loaded voucher (VoucherConfirm)."""
        return self.call("VoucherConfirm")

    def cancel_approval(self):
        """Cancels the approval (VoucherCancelconfirm)."""
        return self.call("VoucherCancelconfirm")

    def close_voucher(self):
        """Closes the loaded voucher (VoucherClose); may ask a question."""
        return self.call("VoucherClose")

    def reopen(self):
        """Reopens a closed voucher (VoucherOpen)."""
        return self.call("VoucherOpen")

    def delete(self):
        """Deletes the loaded voucher (VoucherDelete)."""
        return self.call("VoucherDelete")

    def allow_new(self):
        """Whether a new voucher may be started: "" or the reason."""
        return self.call("VoucherAllowNew")

    def allow_edit(self):
        """Whether the loaded voucher may be edited: "" or the reason."""
        return self.call("VoucherAllowEdit")

    def allow_delete(self):
        """Whether the loaded voucher may be deleted: "" or the reason."""
        return self.call("VoucherAllowDelete")

    # --- lists and the explosion preview -------------------------------------

    def list(self, where="", page=1, size=0, select=None, sum=None, order=None):
        """A page of the card's list: ``where`` a condition (with or without
        the WHERE keyword), ``size`` rows per page (0: every row), ``page``
        from 1; ``select``, ``sum`` and ``order`` SQL fragments of the column
        set (None: the card's default; sum="" gives no totals). Answers a
        ListPage; a list the library refuses raises fabrikon.Error (number 0)
        with its message."""
        where = (where or "").strip()
        if where and not where.upper().startswith("WHERE"):
            where = "WHERE " + where
        if where:
            where = " " + where  # the library appends it to "FROM view"
        ok, message = ctypes.c_int32(), ctypes.c_char_p()
        record_count, page_count = ctypes.c_int32(), ctypes.c_int32()
        list_xml, sum_xml = ctypes.c_char_p(), ctypes.c_char_p()
        self._call("fabrikon_co_list_data", encode(select), encode(sum), encode(order), encode(where), size, page,
                   ctypes.byref(ok), ctypes.byref(message), ctypes.byref(record_count), ctypes.byref(page_count),
                   ctypes.byref(list_xml), ctypes.byref(sum_xml))
        if not ok.value:
            raise Error(0, decode(message.value))
        return ListPage(_rowset.rows(decode(list_xml.value)), _rowset.first_row(decode(sum_xml.value)),
                        record_count.value, page_count.value)

    def explode(self, mainid, so_code=None):
        """The material-list preview of outsourcing product line ``mainid``
        (with sales order ``so_code``): an Explosion(bom_ids, materials)."""
        ids, rows_xml = ctypes.c_char_p(), ctypes.c_char_p()
        self._call("fabrikon_co_explode", encode(str(mainid)), encode(so_code), ctypes.byref(ids),
                   ctypes.byref(rows_xml))
        text = decode(ids.value)
        return Explosion([i for i in text.split(",") if i], _rowset.rows(decode(rows_xml.value)))

    def __repr__(self):
        return "<fabrikon.Voucher %s%s>" % (self.card, " closed" if self.closed else "")
