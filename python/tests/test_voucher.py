"""The Python package against a real demo database: an outsourcing order's
whole life, the question and error handlers, the trace, errors, and every
document the library hands out read by ElementTree."""

import datetime
import re
import xml.etree.ElementTree as ElementTree

import pytest

import fabrikon

ROW = "{#RowsetSchema}row"


def parsed(xml):
    """The rows of a document, read by the namespace-aware parser (which
    rejects a prefix that is not declared)."""
    root = ElementTree.fromstring(xml)
    return [root] if root.tag == ROW else list(root.iter(ROW))


def test_version_is_the_library_version():
    assert re.fullmatch(r"\d+\.\d+\.\d+", fabrikon.version())
    assert fabrikon.version().split(".")[0] == "6"


def test_create_database_refuses_an_existing_file_unless_forced(tmp_path):
    path = tmp_path / "plant.db"
    fabrikon.create_database(path)
    with pytest.raises(fabrikon.Error) as refused:
        fabrikon.create_database(str(path), demo=True)
    assert refused.value.number == 0x80004005
    assert "already exists" in refused.value.description
    fabrikon.create_database(path, demo=True, force=True)
    with fabrikon.Voucher(path, "om01", "demo", "演示员") as orders:
        assert orders.list().record_count == 3


def new_order(orders):
    """A new outsourcing order of 10 P200 (the head and line values the
    checks hand back taken over), checked and saved; answers its number."""
    assert orders.new() == ""
    assert orders.lines == []
    code = orders.number()
    orders.head = {"ccode": code, "dplandate": datetime.date(2024, 3, 31), "cvencode": "V001", "cdepcode": "D03",
                   "cpersoncode": "P003"}
    for item, name in [("cvencode", "华东精工焊接有限公司"), ("cdepcode", "采购部")]:
        assert orders.check_head(item) == ""
        assert ElementTree.fromstring(orders.returned_xml) is not None
        orders.apply_return()
    row = orders.add_line(cinvcode="P200", fquantity=10, imakecharge=5, dstartdate="2024-03-12",
                          denddate="2024-03-31")
    assert orders.check_line(row, "cinvcode") == ""
    assert orders.returned == {"cinvcode": "P200", "cinvname": "城市电动自行车"}
    orders.apply_return(row)
    assert orders.head["cvenname"] == "华东精工焊接有限公司"
    assert orders.head["cdepname"] == "采购部"
    assert orders.lines == [{"editprop": "A", "cinvcode": "P200", "fquantity": "10", "imakecharge": "5",
                             "dstartdate": "2024-03-12", "denddate": "2024-03-31", "cinvname": "城市电动自行车"}]
    assert orders.check_head() == ""
    assert orders.check_line() == ""
    assert orders.save() == ""
    return code


def test_an_outsourcing_order_from_new_to_reopened(orders):
    code = new_order(orders)
    # save() loaded the order back: keys, row versions and view columns.
    head = orders.head
    assert (head["ccode"], head["cstatename"], head["cpersonname"]) == (code, "录入", "王强")
    assert head["id"] == orders.lastid
    [line] = orders.lines
    assert (line["cinvcode"], line["fquantity"], line["editprop"]) == ("P200", "10", "")

    explosion = orders.explode(line["mainid"])
    assert [m["cPScode"] for m in explosion.materials] == ["S210", "S220", "M231", "M232"]
    assert len(explosion.bom_ids) == 4
    assert explosion.materials[1]["fQuantity"] == "20"

    assert orders.approve() == "委外订单[%s]审核成功！" % orders.lastid
    orders.refresh()
    asked = []
    orders.set_question_handler(lambda text, title: asked.append((text, title)) or True)
    assert orders.close_voucher() == "委外订单[%s]关闭成功！" % orders.lastid
    assert asked == [("委外订单没有全部入库，是否继续？", "委外管理")]
    orders.refresh()
    assert orders.reopen() == "委外订单[%s]打开成功！" % orders.lastid

    page = orders.list(where="ccode='%s'" % code)
    assert (page.record_count, len(page), page.page_count) == (1, 1, 0)
    assert page[0]["ccode"] == code
    assert page.totals["fquantity"] == "10"
    everything = orders.list(size=2, page=2)
    assert (everything.record_count, everything.page_count, len(everything)) == (4, 2, 2)
    assert float(everything.totals["fquantity"]) == 60


@pytest.mark.parametrize("yes, answer", [(True, "委外订单[2]关闭成功！"), (False, "委外订单[2] 关闭失败！"),
                                         (None, "委外订单[2] 关闭失败！")])
def test_closing_asks_the_question_handler(orders, yes, answer):
    orders.load(2)
    assert orders.approve() == "委外订单[2]审核成功！"
    orders.refresh()
    asked = []
    if yes is not None:
        orders.set_question_handler(lambda text, title: asked.append(text) or yes)
    assert orders.close_voucher() == answer
    assert asked == ([] if yes is None else ["委外订单没有全部入库，是否继续？"])


def test_an_exception_in_a_handler_answers_no_and_is_raised_after_the_call(orders):
    orders.load(2)
    orders.approve()
    orders.refresh()

    def refuse(text, title):
        raise KeyError("host")

    orders.set_question_handler(refuse)
    with pytest.raises(KeyError):
        orders.close_voucher()
    orders.refresh()
    assert orders.head["cstatename"] == "审核"
    orders.set_question_handler(None)
    assert orders.close_voucher() == "委外订单[2] 关闭失败！"


def test_the_trace_sees_every_batch_and_the_error_handler_the_error_boxes(plant):
    batches, boxes = [], []
    with fabrikon.Voucher(plant, "pp25", "demo", "演示员", "2024-03-10") as production:
        production.set_trace_callback(lambda sql, count, ms: batches.append((sql, count, ms)))
        production.set_error_handler(lambda text, title: boxes.append(text))
        production.load(1)
        assert batches and all(ms >= 0 for _, _, ms in batches)
        production.head = {"iproperty": "12; drop table pp_productpo"}
        production.save1(1)
        assert any("Public:ConvertFieldByType" in text for text in boxes)
        production.set_trace_callback(None)
        seen = len(batches)
        production.refresh()
        assert len(batches) == seen


@pytest.mark.parametrize("call, number", [
    (lambda v: v.call("Frobnicate"), 438),
    (lambda v: v.move(42), 5),
    (lambda v: v.set_line(9, cmemo="x"), 0x800A0BB9),
    (lambda v: v.line_field(0, "cmemo"), 0x800A0BB9),
    (lambda v: v.save(70000), 5),
    (lambda v: v.explode("x"), 5),
])
def test_errors_carry_the_number_and_the_description(orders, call, number):
    orders.load(2)
    with pytest.raises(fabrikon.Error) as failed:
        call(orders)
    assert failed.value.number == number
    assert failed.value.description
    assert "0x%08X" % number in str(failed.value)


def test_errors_of_opening_and_of_a_closed_voucher(tmp_path):
    with pytest.raises(fabrikon.Error) as failed:
        fabrikon.Voucher("Provider=nothing", "om01")
    assert failed.value.number != 0 and failed.value.description
    fabrikon.create_database(tmp_path / "empty.db")
    orders = fabrikon.Voucher(tmp_path / "empty.db", "om01")
    orders.close()
    orders.close()
    assert orders.closed
    with pytest.raises(fabrikon.Error):
        orders.load()


def test_a_refused_list_raises_with_the_message(orders):
    with pytest.raises(fabrikon.Error) as refused:
        orders.list(select="no_such_column")
    assert refused.value.number == 0
    assert "no_such_column" in refused.value.description


def test_every_document_handed_out_parses(orders, plant):
    orders.load(2)
    documents = {"loaded head": orders.head_xml, "loaded body": orders.body_xml}
    orders.check_line(1, "cinvcode")
    documents["domReturn"] = orders.returned_xml
    orders.set_line(1, cmemo="edited")
    orders.add_line(cinvcode="P100", fquantity=1)
    documents["edited body"] = orders.body_xml
    orders.new()
    documents["new head"] = orders.head_xml
    documents["new body"] = orders.body_xml
    orders.check_head("cvencode")
    with fabrikon.Voucher(plant, "om02", "demo", "演示员", "2024-03-10") as lines:
        lines.load(2)
        assert lines.check_line(1, "ipsquantity") == ""
        documents["domReturn of a component line"] = lines.returned_xml
    for name, xml in documents.items():
        assert parsed(xml) or name == "new body", name
    assert parsed(documents["domReturn of a component line"])[0].attrib == {"fquantity": "20.00"}
    assert len(parsed(documents["edited body"])) == 2


def test_moves_and_the_card_parameters(orders):
    orders.load()
    assert orders.head["id"] == "3"
    orders.first()
    assert orders.head["id"] == "1"
    orders.previous()
    assert orders.bof
    orders.last()
    orders.next()
    assert orders.eof
    orders.first()
    assert orders.head_field("ccode") == "WW000001"
    assert orders.head_field("nothing") is None
    assert orders.parameters()["body_table"] == "om_pomain"
