// clsVoucherCO: the one class through which a host works with every voucher
// kind of the library. Init picks the business object of the card number;
// generic operations (parameters, formats, loading, moves, numbering, saving,
// deleting, list data) go to the engine clsVoucherCommon, document-specific
// ones (new, checks, allow-*, approval, closing) go to the business object.
//
// Errors are not trapped here (VoucherSave2 excepted): a database or
// component failure, a missing business object or a business object without
// the requested operation reaches the caller as a ComError.
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

class clsVoucherCO {
 public:
  clsVoucherCO();
  ~clsVoucherCO();
  clsVoucherCO(const clsVoucherCO&) = delete;
  clsVoucherCO& operator=(const clsVoucherCO&) = delete;

  // Keeps login, connection and card number, reads the quantity precision and
  // creates the card's business object (a card without one keeps the
  // previous object). Answers false in every case, as the host has always seen.
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
  std::string GetVoucherNO(const VoucherFormPtr& VO, std::string& strErrMsg, bool bGetRealNo = false,
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
  std::string VoucherNew(VoucherFormPtr& VO);
  std::string VoucherAllowNew(const VoucherFormPtr& VO);
  std::string VoucherAllowEdit(const VoucherFormPtr& VO);
  std::string VoucherAllowDelete(const VoucherFormPtr& VO);
  // strItem "" with bSaveMode true checks the whole voucher before saving.
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem = "");
  std::string HeadCheck(const VoucherFormPtr& VO, const std::string& strItem, DOMDocumentPtr& domReturn,
                        bool bSaveMode = false);
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem = "");
  std::string BodyCheck(const VoucherFormPtr& VO, long R, const std::string& strItem, DOMDocumentPtr& domReturn,
                        bool bSaveMode = false);
  std::string VoucherClose(const VoucherFormPtr& VO);
  std::string VoucherOpen(const VoucherFormPtr& VO);
  std::string VoucherConfirm(const VoucherFormPtr& VO);
  std::string VoucherCancelconfirm(const VoucherFormPtr& VO);

  // --- Saving and deleting (clsVoucherCOSave.cpp) ---------------------------------
  std::string VoucherSave1(const VoucherFormPtr& VO, int16_t iState);
  std::string VoucherSave2(const VoucherFormPtr& VO, int16_t iState, Variant& varCurID);
  std::string VoucherDelete(const VoucherFormPtr& VO);
  std::string DoWriteBackVoucherM(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                  ConnectionPtr& Conn);
  std::string DoWriteBackVoucherA(const DOMDocumentPtr& domHead, const DOMDocumentPtr& domBody,
                                  ConnectionPtr& Conn);

  // --- List data and filters (clsVoucherCOList.cpp) -------------------------------
  bool GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                      const std::string& strWhere, std::string& strErrMsg, bool bShowAll,
                      long& nRecordCount, long nPageSize, long& nPageCount, long nCurrentPage);
  // Show-all list with its totals; strErrMsg receives the reason of a false answer.
  bool GetVchListData(const ColumnSetPtr& objColSet, RecordsetPtr& rstRetList, RecordsetPtr& rstRetSum,
                      const std::string& strWhere, std::string& strErrMsg);
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
