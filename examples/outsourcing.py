#!/usr/bin/env python3
"""outsourcing.py: an outsourcing order's whole life through the Python
package fabrikon, the same steps as outsourcing.cpp and outsourcing.c: a new
order gets its fields, a number and its checks, is saved and loaded back,
previews the explosion of its bill of materials, is approved, closed (the
library asks whether to close an order that is not fully received: a Python
callable answers Yes), reopened, and shown on a page of the order list with
its totals.

    fabrikon init-db plant.db --demo && python3 outsourcing.py plant.db

From a checkout, without the package installed:
PYTHONPATH=python FABRIKON_LIBRARY=build/dev/libfabrikon.so.

Every step prints one line with the library's answer. An error (a
fabrikon.Error), or an answer other than the expected one, ends the program
with status 1 and the message.
"""

import sys

import fabrikon


class Unexpected(Exception):
    """An answer that was not the expected one."""


def quoted(text):
    """A text as the shell shows it: quoted, with carriage returns visible
    (check messages end with one)."""
    return '"' + text.replace("\r", "\\r").replace("\n", "\\n") + '"'


def fields(row):
    """The columns of a row as NAME="value" ..."""
    return " ".join("%s=%s" % (name, quoted(value)) for name, value in row.items())


def expect(step, answer, expected=""):
    """Prints STEP => "ANSWER" and stops unless the answer is the expected
    one ("" for the checks, the save and the other operations that answer
    nothing on success)."""
    print("%s => %s" % (step, quoted(answer)))
    if answer != expected:
        raise Unexpected("%s answered %s, expected %s" % (step, quoted(answer), quoted(expected)))


def require(ok, what):
    if not ok:
        raise Unexpected(what)


def check_field(order, row, item):
    """A field check while the user types (row 0: the head, else that line);
    the values it hands back (a name looked up from a code) go into the row,
    as a voucher screen takes them over."""
    if row == 0:
        expect("check_head " + item, order.check_head(item))
    else:
        expect("check_line %d %s" % (row, item), order.check_line(row, item))
    returned = order.returned
    if returned:
        print("  returned:", fields(returned))
    order.apply_return(row)


def reload(order, id):
    """Loads the order again (a state change needs the row version the last
    one left)."""
    order.load(id)
    head = order.head
    require(head.get("id") == id, "the order %s did not load back" % id)
    print("load %s => istate=%s cstatename=%s cverifier=%s" % (
        id, quoted(head.get("istate", "")), quoted(head.get("cstatename", "")), quoted(head.get("cverifier", ""))))


def fill(order, code):
    """The head and one product line, checked field by field."""
    order.head = {"ccode": code, "cvencode": "V002", "cdepcode": "D03", "cpersoncode": "P003",
                  "dplandate": "2024-03-29"}
    check_field(order, 0, "cvencode")  # hands back the vendor's name, which the save check requires
    check_field(order, 0, "cdepcode")
    row = order.add_line(cinvcode="P100", cfree1="黑", fquantity=0, imakecharge=40, totalmoney=480,
                         dstartdate="2024-03-12", denddate="2024-03-29")
    check_field(order, row, "cinvcode")
    expect("check_line %d fquantity (typed 0)" % row, order.check_line(row, "fquantity"),
           "表体：第1行[fquantity]不能为空或小于等于零，请检查！\r")
    order.set_line(row, fquantity=12)
    check_field(order, row, "fquantity")


def run(database):
    print("fabrikon.version() =>", quoted(fabrikon.version()))
    with fabrikon.Voucher(database, "om01", "lina", "李娜", "2024-03-11") as order:
        print("Voucher om01 => opened on", database)

        # New: the card presets the head; the body starts empty.
        expect("new", order.new())
        head = order.head
        print("  head: ddate=%s cmaker=%s" % (quoted(head.get("ddate", "")), quoted(head.get("cmaker", ""))))
        code = order.number()
        print("number =>", quoted(code))
        require(code, "no voucher number")
        fill(order, code)

        # The whole voucher, as the save checks it.
        expect("check_head (save mode)", order.check_head())
        expect("check_line (save mode)", order.check_line())

        expect("save (new)", order.save(reload=False))
        id = order.lastid
        print("  lastid:", quoted(id))
        require(id, "the save gave no key")
        reload(order, id)
        line = order.line(1)
        print("  line 1:", fields({name: line.get(name, "") for name in ("mainid", "cinvcode", "cinvname",
                                                                        "fquantity")}))

        # The explosion of the line's bill of materials, from which the save
        # built the order's material lines.
        explosion = order.explode(line["mainid"])
        print("explode %s => %s" % (line["mainid"], quoted(",".join(explosion.bom_ids))))
        require(explosion.bom_ids, "the explosion found no product line " + line["mainid"])
        for material in explosion.materials:
            print("  material:", fields(material))

        name = "委外订单[%s]" % id
        expect("approve", order.approve(), name + "审核成功！")
        reload(order, id)

        # Closing asks a question: a Python callable answers it.
        asked = []

        def answer_yes(text, title):
            asked.append(text)
            print("  question (%s): %s -> Yes" % (title, quoted(text)))
            return True

        order.set_question_handler(answer_yes)
        try:
            expect("close_voucher", order.close_voucher(), name + "关闭成功！")
        finally:
            order.set_question_handler(None)
        require(len(asked) == 1, "close_voucher asked %d questions, not 1" % len(asked))
        reload(order, id)
        require(order.head_field("istate") == "3", "the closed order has istate %s" % order.head_field("istate"))

        expect("reopen", order.reopen(), name + "打开成功！")
        reload(order, id)

        # The list screen: one page of ten rows, the totals over the whole list.
        page = order.list(select="ccode,cinvcode,fquantity,totalmoney,cstatename",
                          sum="sum(fquantity) AS fquantity, sum(totalmoney) AS totalmoney", order="id,mainid",
                          size=10, page=1)
        print("list page 1 (10 rows a page) => %d rows, %d page(s)" % (page.record_count, page.page_count))
        for row in page:
            print("  row:", fields(row))
        print("  totals:", fields(page.totals))
        print("done: outsourcing order %s saved, approved, closed and reopened" % code)


def main(argv):
    try:
        run(argv[1] if len(argv) > 1 else "plant.db")
        return 0
    except fabrikon.Error as e:
        if e.number == 0:  # a refusal with the library's message (no number, no list page)
            message = "failed: %s" % e.description
        else:  # the database or a component failed
            message = "error 0x%08X: %s" % (e.number, e.description)
    except Unexpected as e:
        message = "failed: %s" % e
    sys.stdout.flush()  # the steps before the message when both go to one file
    print(message, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
