"""Reading rowset documents (the library's XML for heads, lines, lists).

A row is an element z:row (namespace "#RowsetSchema") whose attributes are
its columns; a NULL column has no attribute. The library declares its
prefixes, so the standard namespace-aware parser reads every document.
"""

import xml.etree.ElementTree as ElementTree

ROW = "{#RowsetSchema}row"


def rows(xml):
    """The rows of a rowset document as a list of dicts (column -> text)."""
    if not xml:
        return []
    root = ElementTree.fromstring(xml)
    found = [root] if root.tag == ROW else []
    found.extend(root.iter(ROW) if root.tag != ROW else [])
    return [dict(row.attrib) for row in found]


def first_row(xml):
    """The first row of a rowset document as a dict ({} when it has none)."""
    found = rows(xml)
    return found[0] if found else {}
