// clsBaseFile: the business object of the shop floor's base files: work
// centres ("pp08"), resources ("pp09"), operations ("pp10") and routings
// ("pp11"), told apart by the card number the façade hands over. It defaults
// a new record and checks head and routing lines; base files have no state.
#pragma once
#include <string>

#include "fabrikon/BusinessObject.h"

namespace fabrikon {

class clsBaseFile : public BusinessObject {
 public:
  const char* ClassName() const override { return "clsBaseFile"; }

  std::string VoucherNew(VoucherFormPtr& VO, LoginInfoPtr& Login) override;
  std::string HeadCheck(VoucherFormPtr VO, ConnectionPtr& Conn, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
  std::string BodyCheck(VoucherFormPtr VO, ConnectionPtr& Conn, long R, const std::string& strItem,
                        DOMDocumentPtr& domReturn, bool bSaveMode, std::string& strCardNum) override;
};

}  // namespace fabrikon
