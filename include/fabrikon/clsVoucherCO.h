// clsVoucherCO: the one class through which a host works with every voucher
// kind of the library. Init picks the business object of the card number;
// generic operations (parameters, formats, loading, moves, numbering, saving,
// deleting, list data) go to the engine clsVoucherCommon, document-specific
// ones (new, checks, allow-*, approval, closing) go to the business object.
//
// Which operations raise. Business outcomes are answers, never exceptions:
// every operation that returns a string answers "" on success and otherwise
// a message for the user (approval and closing answer a message on success
// too). Failures of the database or of a component are not trapped here
// (VoucherSave2 excepted): a database error, a missing business object (a
// card such as "pp17" has none; error 91) or a business object without the
// requested operation (error 438) reaches the caller as a ComError, from any
// operation. VoucherSave2 answers every failure as a message; the loading
// operations answer a failed load with an Empty variant, and the move after
// it raises the database's error. A host therefore wraps its calls in
// try/catch (const ComError&).
//
// Out-parameters. The by-reference parameters are the host interface's; each
// operation that has them also has an overload for hosts that do not want
// the out-value, so temporaries, literals and derived smart pointers
// (std::make_shared<EmbeddedVoucherForm>()) can be passed.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "fabrikon/BusinessObject.h"
#include "fabrikon/Connection.h"
#include "fabrikon/DOMDocument.h"
#include "fabrikon/Recordset.h"
#include "fabrikon/Variant.h"
#include "fabrikon/clsVoucherCommon.h"
#include "fabrikon/host/ColumnSet.h"
#include "fabrikon/host/LoginInfo.h"
#include "fabrikon/host/VoucherForm.h"

namespace fabrikon {

// What GetVchListData hands back, for hosts that want it as one value.
struct VchListPage {
  bool bOk = false;          // GetVchListData's answer
  std::string strErrMsg;     // the reason of a false answer
  RecordsetPtr rstRetList;   // the rows of the page
  RecordsetPtr rstRetSum;    // the totals (null when the sum list is empty)
  long nRecordCount = 0;
  long nPageCount = 0;
};

class clsVoucherCO {
 public:
  clsVoucherCO();
  ~clsVoucherCO();
  clsVoucherCO(const clsVoucherCO&) = delete;
  clsVoucherCO& operator=(const clsVoucherCO&) = delete;

  // Keeps login, connection and card number, reads the quantity precision and
  // creates the card's business object (a card without one leaves the façade
  // without one, as a fresh façade). Answers false in every case, as the host
  // has always seen.
  bool Init(LoginInfoPtr objLogin, ConnectionPtr Conn, const std::string& strCardNum);

  // --- Voucher kind -----------------------------------------------------------
  std::string GetDefaultVTID();
  std::string GetDefaultVTIDPRN();
  RecordsetPtr GetVoucherFormat(const std::string& strVTID);
  RecordsetPtr GetVoucherFixed(const std::string& strVTID);
  bool GetVoucherParameter(std::string& strTableNameMain, std::string& strTableNameSub,
                           std::string& strViewNameMain, std::string& strViewNameSub,
                           std::string& strViewNameList, std::string& strFieldNameMainID,
                           std::string& strFieldNameSubID, std::string& strFieldNameCode);
  bool GetVoucherParameter(VoucherParameters& params);

  // --- Numbering --------------------------------------------------------------
  std::string GetVoucherNOType(DOMDocumentPtr& domFormat, std::string& strNoType);
  // The numbering type without the format document.
  std::string GetVoucherNOType(std::string& strNoType);
  std::string GetVoucherNO(const VoucherFormPtr& VO, std::string& strErrMsg, bool bGetRealNo = false,
                           bool bSynchronization = false, const std::string& strVoucherNO = "");
  // The same without the message out-parameter (pass "" or std::string()).
  std::string GetVoucherNO(const VoucherFormPtr& VO, std::string&& strErrMsg, bool bGetRealNo = false,
                           bool bSynchronization = false, const std::string& strVoucherNO = "");

  // --- Loading and navigation (documents refilled in place) ---------------------
  Variant GetVoucherData(const VoucherFormPtr& VO, const std::string& strWhere = "",
                         const std::optional<Variant>& varVoucherID = std::nullopt,
                         const std::string& strLocateWhere = "");
  Variant MoveFirst(const VoucherFormPtr& VO);
  Variant MovePrevious(const VoucherFormPtr& VO);
  Variant MoveNext(const VoucherFormPtr& VO);
  Variant MoveLast(const VoucherFormPtr& VO);
  Variant Refresh(const VoucherFormPtr& VO);
  bool Bof();
  bool Eof();

  // --- Forwarded to the business object -----------------------------------------
  // VO receives the form the business object hands back.
  std::string VoucherNew(VoucherFormPtr& VO);
  // For a temporary or derived pointer: the documents are filled in place and
  // a replacement form, if the business object made one, is dropped.
  std::string VoucherNew(const VoucherFormPtr& VO);
  std::string VoucherAllowNew(const VoucherFormPtr& VO);
  std::string VoucherAllowEdit(const VoucherFormPtr& VO);
  std::string VoucherAllowDelete(const VoucherFormPtr& VO);
  // strItem "" with bSaveMode true checks the whole voucher before saving.
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem = "");
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, DOMDocumentPtr& domReturn,
                        bool bSaveMode = false);
  // domReturn not wanted: pass nullptr (or call the bSaveMode overload).
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, DOMDocumentPtr&& domReturn,
                        bool bSaveMode = false);
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, bool bSaveMode);
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem = "");
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem, DOMDocumentPtr& domReturn,
                        bool bSaveMode = false);
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem, DOMDocumentPtr&& domReturn,
                        bool bSaveMode = false);
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem, bool bSaveMode);
  std::string VoucherClose(const VoucherFormPtr& VO);
  std::string VoucherOpen(const VoucherFormPtr& VO);
  std::string VoucherConfirm(const VoucherFormPtr& VO);
  std::string VoucherCancelconfirm(const VoucherFormPtr& VO);

  // --- Saving and deleting (clsVoucherCOSave.cpp) ---------------------------------
  std::string VoucherSave1(const VoucherFormPtr& VO, int16_t iState);
  // varCurID receives the saved voucher's key; it is Empty when the save
  // fails (nothing was saved).
  std::string VoucherSave2(const VoucherFormPtr& VO, int16_t iState, Variant& varCurID);
  // The same without the key (pass Variant() or nothing).
  std::string VoucherSave2(const VoucherFormPtr& VO, int16_t iState, Variant&& varCurID);
  std::string VoucherSave2(const VoucherFormPtr& VO, int16_t iState);
  std::string VoucherDelete(const VoucherFormPtr& VO);
  std::string DoWriteBackVoucherM(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                  ConnectionPtr& Conn);
  std::string DoWriteBackVoucherA(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                  ConnectionPtr& Conn);

  // --- List data and filters (clsVoucherCOList.cpp) -------------------------------
  // An empty (or blank) sum list of the column set asks for no totals:
  // rstRetSum is then null.
  bool GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                      const std::string& strWhere, std::string& strErrMsg, bool bShowAll,
                      long& nRecordCount, long nPageSize, long& nPageCount, long nCurrentPage);
  // Show-all list with its totals; strErrMsg receives the reason of a false answer.
  bool GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                      const std::string& strWhere, std::string& strErrMsg);
  // One page of the list as a result (nPageSize 0: all rows, the totals too).
  VchListPage GetVchListPage(const ColumnSetPtr& objColSet, const std::string& strWhere = "",
                             long nPageSize = 0, long nCurrentPage = 1);
  std::string GetFilterString(std::string& strFilter, bool& bCancel);

  // --- What Init left (not operations of the host interface) ----------------------
  // Class name of the business object ("" when there is none).
  std::string BusinessClassName() const;
  const std::string& CardNumber() const { return cardNumber_; }

 private:
  clsVoucherCommon& Engine();
  BusinessObject& Business();
  VoucherParameters ReadParameters();
  // The part of VoucherSave2 after the engine wrote the voucher (clsVoucherCOSave.cpp).
  std::string FinishSave(const DOMDocumentPtr& head, const DOMDocumentPtr& body, int16_t iState);
  void InitModule();
  BusinessObjectPtr CreateForCard(const std::string& card);

  LoginInfoPtr login_;
  ConnectionPtr conn_;
  std::string cardNumber_;
  BusinessObjectPtr business_;
  std::unique_ptr<clsVoucherCommon> engine_;
};

}  // namespace fabrikon
