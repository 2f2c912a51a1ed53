// clsWWSCDDOrder material list: after a save, each product line's bill of
// materials is exploded into the order's material lines (om_podetails), the
// planning lines the order came from are recounted and over-release is
// refused. Runs inside the caller's transaction; a message means failure.
#include <climits>
#include <cstdint>

#include "engine/EngineErrors.h"
#include "fabrikon/clsWWSCDDOrder.h"
#include "fabrikon/modOutsourcing.h"
#include "fabrikon/modVoucher.h"
#include "production/modProduction.h"

namespace fabrikon {

namespace {

constexpr const char* kMaterialsFailed = "保存委外订单子件失败";

// A refusal with its own message (the failure exit returns it as it is).
struct Refusal {
  std::string message;
};

std::string ProductLinesQuery(int option, int64_t id) {
  std::string query =
      "SELECT OM_POMain.MainId, OM_POMain.cInvCode, SO_SODetails.cbomsocode,isnull(om_pomain.cfree1,'') as cfree1,"
      "isnull(om_pomain.cfree2,'') as cfree2,isnull(om_pomain.cfree3,'') as cfree3,isnull(om_pomain.cfree4,'') as "
      "cfree4,isnull(om_pomain.cfree5,'') as cfree5,isnull(om_pomain.cfree6,'') as cfree6,isnull(om_pomain.cfree7,'')"
      " as cfree7,isnull(om_pomain.cfree8,'') as cfree8,isnull(om_pomain.cfree9,'') as cfree9,"
      "isnull(om_pomain.cfree10,'') as cfree10";
  query += option == 1 ? " FROM" : "  FROM";
  return query +
         " OM_POMain RIGHT OUTER JOIN      OM_ProductPO ON OM_POMain.ID = OM_ProductPO.ID LEFT OUTER JOIN      "
         "SO_SODetails ON  OM_POMain.cSOsIDs=','+cast (iSOsID as varchar)+',' WHERE (OM_POMain.ID =" +
         std::to_string(id) + " )";
}

std::string FreeItem(const std::string& value) { return value.empty() ? "Null" : SqlStr(Variant(value)); }

std::string InsertStatement(const clsWWSelectedBom& line, const std::string& mainId, int64_t subId, int option) {
  std::string text =
      " insert into om_podetails(MainID,SubId,cCode,cInvCode,fQuantity,fOutQuantity,cDepCode,cWhCode,iPSQuantity,"
      "iWasteRate, cFree1,cFree2,cFree3,cFree4,cFree5,cFree6,cFree7,cFree8,cFree9,cFree10) values (";
  const double quantity = option == 1 ? line.fQuantity() : line.fQuantityNoWaste();
  text += mainId + "," + std::to_string(subId) + ",''," + SqlStr(Variant(line.cPScode())) + "," +
          production::QuantityLiteral(FormatNumber(quantity, QuantityFormat())) + ",0," +
          SqlStr(Variant(line.cDepCode())) + "," + SqlStr(Variant(line.cWhCode())) + "," +
          NumberText(line.iPSQuantity()) + "," + NumberText(line.iWasteRate());
  for (int n = 1; n <= 10; ++n) text += "," + FreeItem(line.cFree(n));
  return text + ") ";
}

// Explodes one product line and writes its material lines as one batch.
void WriteMaterials(const ConnectionPtr& Conn, const Recordset& line, int option, int64_t& subId) {
  const std::string mainId = SqlNumber(line.Fields("mainid").Value().ToText(), "mainid");
  const std::string invCode = NullToEmpty(line.Fields("cinvcode").Value());
  const std::string noComponents = "委外订单中的产品 " + invCode + " 没有子项,不能保存," + kMaterialsFailed;
  const std::string list =
      ExplodeProductLine(static_cast<long>(Val(mainId)), NullToEmpty(line.Fields("cbomsocode").Value()), Conn);
  if (list.empty()) throw Refusal{noComponents};
  RecordsetPtr bom = Conn->Open("select * from productstructures ps  where ps.autoid in (" + list + ")",
                                adOpenStatic, adLockReadOnly);
  if (bom->Eof()) throw Refusal{noComponents};
  if (!IsBomFreeItemsComplete(*bom, Conn)) {
    throw Refusal{"委外订单中的产品 " + invCode + " 所对应BOM的子项启用了自由项,请于物料清单中输入完整!"};
  }
  bom->Close();
  std::string batch;
  for (const clsWWSelectedBomPtr& material : SelectedBomLines()) {
    batch += InsertStatement(*material, mainId, ++subId, option);
  }
  Conn->Execute(batch);
}

std::string RecountText() {
  return " update pp_rmrpdetails set iinput=ISNULL((select sum(isnull(fquantity,0)) from pp_pomain where "
         "idatafrom=pp_rmrpdetails.nid),0)+ISNULL((select sum(isnull(fquantity,0)) from om_pomain where "
         "idatafrom=pp_rmrpdetails.nid),0) ";
}

// Recounts the planning lines of the order's lines and of the lines this
// save deleted.
void RecountPlanningLines(const ConnectionPtr& Conn, int64_t id, const DOMDocumentPtr& domBody) {
  Conn->Execute(RecountText() + " where pp_rmrpdetails.nid in (select idatafrom from om_pomain where om_pomain.id=" +
                std::to_string(id) + ") ");
  if (!domBody) return;
  for (const XmlNode& row : domBody->selectNodes("//z:row [@editprop='D']")) {
    const double plan = Val(NullToEmpty(row.getAttribute("idatafrom")));
    if (plan != 0) Conn->Execute(RecountText() + " where pp_rmrpdetails.nid=" + NumberText(plan));
  }
}

bool OverReleased(const ConnectionPtr& Conn, const DOMDocumentPtr& domBody) {
  if (!domBody) return false;
  const std::string d = std::to_string(QuantityDecimals());
  for (const XmlNode& row : domBody->selectNodes("//z:row [@editprop!='D']")) {
    const double plan = Val(NullToEmpty(row.getAttribute("idatafrom")));
    if (plan == 0) continue;
    RecordsetPtr rs = Conn->Open(" select count(cmpid) as cmpid from  pp_rmrpdetails where isnull(CONVERT(DECIMAL(20," +
                                     d + "),iinput),0)>isnull(CONVERT(DECIMAL(20," + d +
                                     "),icheck),0) and  (pp_rmrpdetails.nid=" + NumberText(plan) + ") ",
                                 adOpenStatic, adLockReadOnly);
    const bool over = !rs->Eof() && rs->Fields("cmpid").Value().ToDouble() > 0;
    rs->Close();
    if (over) return true;
  }
  return false;
}

// The material lines of product lines that this save deleted: the engine
// has removed the om_pomain rows already, so the order's lines no longer
// lead to them. Only keys that no product line holds any more are taken, so
// a crafted deleted row cannot reach a live line's materials. "" when the
// save deleted no line.
std::string DeletedLinesScope(const DOMDocumentPtr& domBody) {
  std::string deleted;
  if (domBody) {
    for (const XmlNode& row : domBody->selectNodes("//z:row [@editprop='D']")) {
      const std::string mainid = NullToEmpty(row.getAttribute("mainid"));
      if (IsNumeric(mainid)) deleted += (deleted.empty() ? "" : ",") + NumberText(Val(mainid));
    }
  }
  if (deleted.empty()) return "";
  return "mainid in (" + deleted + ") and mainid not in (select mainid from om_pomain where mainid is not null)";
}

// Material already issued to the vendor must never be thrown away by a
// rebuild, nor left behind by a deleted line.
bool HasIssuedMaterial(const ConnectionPtr& Conn, int64_t id, const std::string& deletedLines) {
  std::string query = "select top 1 mainid from om_podetails where isnull(foutquantity,0)>0 and ";
  const std::string ofOrder = "mainid in (select mainid from om_pomain where id=" + std::to_string(id) + ")";
  query += deletedLines.empty() ? ofOrder : "(" + ofOrder + " or (" + deletedLines + "))";
  RecordsetPtr rs = Conn->Open(query, adOpenStatic, adLockReadOnly);
  const bool issued = !rs->Eof();
  rs->Close();
  return issued;
}

std::string RebuildMaterials(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody, const ConnectionPtr& Conn) {
  const int64_t id = production::ToWholeNumber(GetHeadValue(domHead, "id"), INT32_MIN, INT32_MAX);
  const int option = production::WasteOption(Conn);
  int64_t subId = production::HighestSubId(Conn, "om_podetails");
  const std::string deletedLines = DeletedLinesScope(domBody);
  if (HasIssuedMaterial(Conn, id, deletedLines)) {
    return "委外订单[" + std::to_string(id) + "]已经有材料出库，不能重新生成子件，" + kMaterialsFailed;
  }
  long affected = 0;
  Conn->Execute("delete from om_podetails where mainid in (select mainid from om_pomain where id=" +
                    std::to_string(id) + ") ",
                affected);
  if (affected == -1) return kMaterialsFailed;
  if (!deletedLines.empty()) Conn->Execute("delete from om_podetails where " + deletedLines);

  RecordsetPtr lines = Conn->Open(ProductLinesQuery(option, id), adOpenStatic, adLockReadOnly);
  if (lines->Eof()) return kMaterialsFailed;
  for (; !lines->Eof(); lines->MoveNext()) WriteMaterials(Conn, *lines, option, subId);
  lines->Close();

  RecountPlanningLines(Conn, id, domBody);
  if (OverReleased(Conn, domBody)) return "委外订单的下达数量超过委外计划数量，请修改!";
  return "";
}

}  // namespace

std::string clsWWSCDDOrder::VoucherAfterSave(DOMDocumentPtr domHead, DOMDocumentPtr domBody, ConnectionPtr& Conn) {
  try {
    engine::Require(domBody);  // nothing is deleted for a form that handed no body
    return RebuildMaterials(domHead, domBody, Conn);
  } catch (const Refusal& refusal) {
    return refusal.message;
  } catch (const ComError& e) {
    return e.Description() + kMaterialsFailed;
  } catch (const std::exception& e) {
    return e.what() + std::string(kMaterialsFailed);
  }
}

}  // namespace fabrikon
