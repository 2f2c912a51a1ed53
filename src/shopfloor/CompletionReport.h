// CompletionReport: the rules that progress completion reports (clsMOOrderRpt)
// and order completion reports (clsPORpt) share. The two kinds differ only in
// their table, key and code names, a few words of their messages and whether
// a line names a dispatch card; ReportKind carries those differences.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon::shopfloor {

struct ReportKind {
  const char* name;            // "进度完工汇报单"
  const char* table;           // head table of the state changes
  const char* deleteTable;     // the same table as the delete test spells it
  const char* key;             // numeric key of the head
  const char* code;            // code field of the head document
  const char* confirmColumn;   // code column in the approval's WHERE clause
  const char* cancelColumn;    // code column in the cancellation's WHERE clause
  const char* cardNumber;      // card number handed to the reference checks
  const char* changed;         // "修改" or "改变" in the failure answers
  bool dispatchCards;          // lines name dispatch cards that must be live
  bool lenientNumbers;         // field mode reads quantities as ToDbl does
};

class CompletionReport {
 public:
  explicit CompletionReport(const ReportKind& kind) : kind_(kind) {}

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) const;
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode) const;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode) const;
  std::string VoucherAllowEdit(const DOMDocumentPtr& domHead) const;
  std::string VoucherAllowDelete(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn) const;
  std::string VoucherConfirm(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn,
                             const LoginInfoPtr& Login) const;
  std::string VoucherCancelconfirm(const DOMDocumentPtr& domHead, const ConnectionPtr& Conn) const;

 private:
  std::string SaveModeLine(const XmlNode& row, long p, const ConnectionPtr& Conn) const;
  std::string DispatchCardState(const std::string& mosubid, long p, const ConnectionPtr& Conn) const;
  std::string FieldModeLine(const XmlNode& row, const ConnectionPtr& Conn, long R, const std::string& strItem,
                            DOMDocumentPtr& domReturn) const;
  std::string QuantityRule(const XmlNode& row, long R, const std::string& item, const std::string& value,
                           DOMDocumentPtr& domReturn) const;
  std::string LineNumber(long line) const;
  std::string Named(const std::string& code, const std::string& outcome) const;

  const ReportKind& kind_;
};

}  // namespace fabrikon::shopfloor
