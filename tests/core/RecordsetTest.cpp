// Recordset: ADO's cursor rules on a materialised snapshot: navigation and
// its errors at both ends, case-insensitive field lookup, paging, clones and
// closing.
#include <gtest/gtest.h>

#include <functional>

#include "fabrikon/ComError.h"
#include "fabrikon/Recordset.h"

using namespace fabrikon;

namespace {

Recordset Numbers(int count) {
  std::vector<FieldInfo> fields = {{"MaxID", AdoType::Integer, 4}, {"cName", AdoType::VarChar, 20}};
  fields[0].isAutoIncrement = true;
  std::vector<std::vector<Variant>> rows;
  for (int i = 1; i <= count; ++i) rows.push_back({Variant(i), Variant("n" + std::to_string(i))});
  return Recordset(fields, rows);
}

int32_t ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ComError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace

TEST(RecordsetNavigation, WalksForwardAndBackWithAdoErrorsAtTheEnds) {
  Recordset rs = Numbers(3);
  EXPECT_FALSE(rs.Bof());
  EXPECT_FALSE(rs.Eof());
  EXPECT_EQ(rs.Fields("maxid").Value().ToInt(), 1);
  rs.MoveNext();
  rs.MoveNext();
  EXPECT_EQ(rs.Fields("MAXID").Value().ToInt(), 3);
  rs.MoveNext();
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(ErrorOf([&] { rs.Fields("MaxID").Value(); }), ErrorNumber::NoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }), ErrorNumber::NoCurrentRecord);
  rs.MovePrevious();  // from EOF back to the last row
  EXPECT_EQ(rs.Fields("MaxID").Value().ToInt(), 3);
  rs.MoveFirst();
  rs.MovePrevious();
  EXPECT_TRUE(rs.Bof());
  EXPECT_EQ(ErrorOf([&] { rs.MovePrevious(); }), ErrorNumber::NoCurrentRecord);
  rs.MoveNext();  // from BOF to the first row
  EXPECT_EQ(rs.Fields("MaxID").Value().ToInt(), 1);
  rs.MoveLast();
  EXPECT_EQ(rs.Fields("cname").Value().ToText(), "n3");
  EXPECT_EQ(rs.AbsolutePosition(), 3);
}

TEST(RecordsetNavigation, AnEmptyRecordsetIsAtBothEnds) {
  Recordset rs = Numbers(0);
  EXPECT_TRUE(rs.Bof());
  EXPECT_TRUE(rs.Eof());
  EXPECT_EQ(rs.RecordCount(), 0);
  rs.MoveFirst();
  rs.MoveLast();
  EXPECT_TRUE(rs.Bof() && rs.Eof());
  EXPECT_EQ(ErrorOf([&] { rs.MoveNext(); }), ErrorNumber::NoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs.MovePrevious(); }), ErrorNumber::NoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs.Fields("MaxID").Value(); }), ErrorNumber::NoCurrentRecord);
}

TEST(RecordsetFields, LookupIgnoresCaseAndKnowsTheMetadata) {
  Recordset rs = Numbers(1);
  EXPECT_EQ(rs.Fields("MAXid").Name(), "MaxID");
  EXPECT_EQ(rs.Fields("cName").Type(), AdoType::VarChar);
  EXPECT_EQ(rs.Fields("cName").DefinedSize(), 20);
  EXPECT_EQ(rs.FieldCount(), 2u);
  EXPECT_TRUE(rs.Fields("maxid").Properties("ISAUTOINCREMENT").ToBool());
  EXPECT_FALSE(rs.Fields(1).Properties("IsAutoIncrement").ToBool());
  EXPECT_EQ(ErrorOf([&] { rs.Fields("nosuch"); }), ErrorNumber::ItemNotFound);
  EXPECT_EQ(ErrorOf([&] { rs.Fields(2); }), ErrorNumber::ItemNotFound);
  EXPECT_EQ(ErrorOf([&] { rs.Fields(0).Properties("BASETABLENAME"); }), ErrorNumber::ItemNotFound);
}

TEST(RecordsetFields, TheFirstOfTwoEqualNamesWins) {
  Recordset rs({{"editprop", AdoType::VarChar}, {"EditProp", AdoType::VarChar}}, {{Variant("first"), Variant("second")}});
  EXPECT_EQ(rs.Fields("EDITPROP").Value().ToText(), "first");
}

TEST(RecordsetPaging, FollowsAdoPageArithmetic) {
  Recordset rs = Numbers(25);
  EXPECT_EQ(rs.PageSize(), 10);
  EXPECT_EQ(rs.PageCount(), 3);
  rs.PageSize(5);
  EXPECT_EQ(rs.PageCount(), 5);
  rs.AbsolutePage(3);
  EXPECT_EQ(rs.Fields("MaxID").Value().ToInt(), 11);
  EXPECT_EQ(rs.AbsolutePage(), 3);
  rs.MoveLast();
  EXPECT_EQ(rs.AbsolutePage(), 5);
  rs.PageSize(7);
  EXPECT_EQ(rs.PageCount(), 4);
  rs.AbsolutePage(4);
  EXPECT_EQ(rs.Fields("MaxID").Value().ToInt(), 22);
  EXPECT_EQ(ErrorOf([&] { rs.AbsolutePage(5); }), ErrorNumber::InvalidArgument);
  EXPECT_EQ(ErrorOf([&] { rs.AbsolutePage(0); }), ErrorNumber::InvalidArgument);
  EXPECT_EQ(ErrorOf([&] { rs.PageSize(0); }), ErrorNumber::InvalidArgument);
  rs.MoveLast();
  rs.MoveNext();
  EXPECT_LT(rs.AbsolutePage(), 0);  // at EOF there is no page

  Recordset empty = Numbers(0);
  EXPECT_EQ(empty.PageCount(), 0);
  EXPECT_EQ(ErrorOf([&] { empty.AbsolutePage(1); }), ErrorNumber::InvalidArgument);
}

TEST(RecordsetClone, IsAnIndependentCursorOverTheSameRows) {
  Recordset rs = Numbers(3);
  rs.MoveLast();
  RecordsetPtr clone = rs.Clone();
  EXPECT_EQ(clone->Fields("MaxID").Value().ToInt(), 1);
  clone->MoveNext();
  EXPECT_EQ(rs.Fields("MaxID").Value().ToInt(), 3);
  rs.Close();
  EXPECT_EQ(clone->State(), adStateOpen);
  EXPECT_EQ(clone->Fields("MaxID").Value().ToInt(), 2);
  EXPECT_EQ(clone->RecordCount(), 3);
}

TEST(RecordsetClose, AClosedRecordsetRefusesEverything) {
  Recordset rs = Numbers(2);
  EXPECT_EQ(rs.State(), adStateOpen);
  rs.Close();
  EXPECT_EQ(rs.State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { rs.Eof(); }), ErrorNumber::ObjectClosed);
  EXPECT_EQ(ErrorOf([&] { rs.Fields("MaxID"); }), ErrorNumber::ObjectClosed);
  EXPECT_EQ(ErrorOf([&] { rs.Save(DOMDocument::Create()); }), ErrorNumber::ObjectClosed);
  EXPECT_EQ(ErrorOf([&] { rs.Close(); }), ErrorNumber::ObjectClosed);
}
