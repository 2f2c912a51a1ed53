// clsVoucherCommon: the generic voucher engine behind the façade. It reads a
// voucher kind's tables, views and key columns from the host table Vouchers,
// loads one voucher at a time into the host's head and body documents, moves
// between the vouchers of the kind in key order (keeping the navigation state
// from call to call), and wraps the host's number service. Saving, deleting
// and list data of the same kinds live here too, in their own source files.
//
// EOF is a C macro, so the navigation flags are read through Bof()/Eof().
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"
#include "fabrikon/Variant.h"
#include "fabrikon/host/ColumnSet.h"
#include "fabrikon/host/LoginInfo.h"

namespace fabrikon {

// The eight columns of a card's Vouchers row, under the names the engine
// hands them out; "" where the row has NULL or there is no row.
struct VoucherParameters {
  std::string strTableNameMain;    // BTTblName: head table
  std::string strTableNameSub;     // BWTblName: body table
  std::string strViewNameMain;     // BTQName: head view
  std::string strViewNameSub;      // BWQName: body view ("" = no body)
  std::string strViewNameList;     // VchListQName: list view
  std::string strFieldNameMainID;  // SelfDef1: head key (also the body's reference to it)
  std::string strFieldNameSubID;   // SelfDef2: body key
  std::string strFieldNameCode;    // SelfDef3: voucher code
};

class clsVoucherCommon {
 public:
  // --- Voucher kind: parameters and templates ---------------------------------

  // Fills the eight outputs from the card's Vouchers row (left untouched when
  // there is none). Answers false in every case, as the host has always seen.
  bool GetVoucherParameter(const ConnectionPtr& Conn, const std::string& strCardNum,
                           std::string& strTableNameMain, std::string& strTableNameSub,
                           std::string& strViewNameMain, std::string& strViewNameSub,
                           std::string& strViewNameList, std::string& strFieldNameMainID,
                           std::string& strFieldNameSubID, std::string& strFieldNameCode);
  bool GetVoucherParameter(const ConnectionPtr& Conn, const std::string& strCardNum,
                           VoucherParameters& params);

  // Default screen / print template of the card; "" when it has none.
  std::string GetDefaultVTID(const ConnectionPtr& Conn, const std::string& strCardNumber);
  std::string GetDefaultVTIDPRN(const ConnectionPtr& Conn, const std::string& strCardNumber);

  // The host's format service answers, passed through unchanged.
  RecordsetPtr GetVoucherFormat(const ConnectionPtr& Conn, const std::string& strCardNum,
                                const std::string& strVTID);
  RecordsetPtr GetVoucherFixed(const ConnectionPtr& Conn, const std::string& strVTID);

  // --- Loading and navigation --------------------------------------------------
  // The documents are refilled in place. The variant results are always
  // Empty: the host learns the outcome from the documents and Bof()/Eof().

  // Loads the voucher varVoucherID, or without it the highest key of the
  // filtered set (narrowed by strLocateWhere). A non-empty strWhere replaces
  // the sticky filter. strLocateWhere comes back with its " WHERE "/" AND "
  // prefix. Traps every error: a failed load reports nothing.
  Variant GetVoucherData(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                         const DOMDocumentPtr& domBody, const std::string& strViewNameMain,
                         const std::string& strPrimaryKey, const std::string& strViewNameSub,
                         const std::string& strForeignKey, const std::string& strWhere,
                         const std::optional<Variant>& varVoucherID, std::string& strLocateWhere);
  Variant GetVoucherData(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                         const DOMDocumentPtr& domBody, const std::string& strViewNameMain,
                         const std::string& strPrimaryKey, const std::string& strViewNameSub,
                         const std::string& strForeignKey, const std::string& strWhere = "",
                         const std::optional<Variant>& varVoucherID = std::nullopt);

  // The moves and Refresh let database errors reach the caller.
  Variant MoveFirst(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody);
  Variant MovePrevious(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody);
  Variant MoveNext(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody);
  Variant MoveLast(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody);
  // Reloads the current voucher, else the next one in key order, else the last.
  Variant Refresh(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody);

  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  // The key of the voucher now loaded ("" when none) and the sticky filter.
  const std::string& CurrentID() const { return currentId_; }
  const std::string& Filter() const { return filter_; }

  // --- Numbering -------------------------------------------------------------

  // How the card is numbered: strNoType becomes "自动编号不许手工修改",
  // "自动编号允许手工修改" or "非自动编号" (unchanged when both rule flags are
  // true). domFormat receives the rule (a document is made when it is null).
  // "" on success, otherwise the message; errors are trapped.
  std::string GetVoucherNOType(const ConnectionPtr& Conn, const std::string& strCardNum,
                               DOMDocumentPtr& domFormat, std::string& strNoType);

  // A voucher code for the head, or "" with the reason in strErrMsg. Errors
  // are trapped into strErrMsg. strVoucherNO is only read (synchronisation).
  std::string GetVoucherNO(const ConnectionPtr& Conn, const std::string& strCardNum,
                           const DOMDocumentPtr& domHead, std::string& strErrMsg,
                           bool bGetRealNo = false, bool bSynchronization = false,
                           const std::string& strTableName = "", const std::string& strFieldNameCode = "",
                           const std::string& strVoucherNO = "");

  // --- Saving and deleting (clsVoucherCommonSave.cpp) --------------------------

  // Writes the head rows only (iState 1 update, 2 insert); no transaction.
  std::string VoucherSave1(const ConnectionPtr& Conn, const DOMDocumentPtr& domHead,
                           const std::string& strTableName, const std::string& strKeyField, int16_t iState);
  // Writes head and marked lines inside the caller's transaction; varCurID
  // receives the head key.
  std::string VoucherSave2(ConnectionPtr& Conn, const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                           const std::string& strTableNameMain, const std::string& strTableNameSub,
                           const std::string& strFieldNameMainID, const std::string& strFieldNameSubID,
                           const std::string& strFieldNameCode, int16_t iState, Variant& varCurID);
  // Deletes the voucher and its dependent rows in one transaction.
  std::string VoucherDelete(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody, ConnectionPtr& Conn,
                            const std::string& strTableNameMain, const std::string& strTableNameSub,
                            const std::string& strFieldNameMainID, const std::string& strFieldNameCode);
  // Sales-order write-back for the pushed-down lines of a deleted voucher.
  std::string DoWriteBackVoucherD(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                  const ConnectionPtr& Conn);

  // --- List data and filters (clsVoucherCommonList.cpp) ------------------------

  bool GetVchListData(const ConnectionPtr& Conn, const std::string& strCardNum, const ColumnSetPtr& objColSet,
                      RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum, const std::string& strWhere,
                      std::string& strErrMsg, bool bShowAll, long& nRecordCount, long nPageSize,
                      long& nPageCount, long nCurrentPage);
  std::string GetFilterString(const ConnectionPtr& Conn, LoginInfoPtr objLogin, const std::string& strCardNum,
                              std::string& strFilter, bool& bCancel);
  // The temporary list table of a card in paged mode ("TempDB..TMPQX_" + the
  // card number as given + the connection's SessionTableSuffix, so that two
  // server sessions never share one): the one place its name is made. Card
  // numbers (and suffixes) that are not plain words raise ComError.
  static std::string TempListTableName(const ConnectionPtr& Conn, const std::string& strCardNum);

 private:
  RecordsetPtr OpenIntoDocument(const ConnectionPtr& Conn, const std::string& sql,
                                const DOMDocumentPtr& document) const;
  Variant MoveTo(const ConnectionPtr& Conn, const std::string& headSql, const DOMDocumentPtr& domHead,
                 const DOMDocumentPtr& domBody);
  void DeriveNavigationState(const ConnectionPtr& Conn, const RecordsetPtr& head);
  std::string W1(bool joined = false) const;
  std::string W2() const;
  std::string BodyByKeySql(const std::string& key) const;

  std::string filter_;
  std::string currentId_;
  std::string headKey_;
  std::string bodyKey_;
  std::string headView_;
  std::string bodyView_;
  bool bof_ = false;
  bool eof_ = false;
};

}  // namespace fabrikon
