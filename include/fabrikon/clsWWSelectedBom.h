// clsWWSelectedBom: one material chosen from a bill of materials for an
// outsourcing order line: its codes, free items and quantities. The explosion
// fills one per material; the material-list writer reads them back.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace fabrikon {

class clsWWSelectedBom {
 public:
  void cFree10(const std::string& vData) { cFree_[9] = vData; }
  const std::string& cFree10() const { return cFree_[9]; }
  void cFree9(const std::string& vData) { cFree_[8] = vData; }
  const std::string& cFree9() const { return cFree_[8]; }
  void cFree8(const std::string& vData) { cFree_[7] = vData; }
  const std::string& cFree8() const { return cFree_[7]; }
  void cFree7(const std::string& vData) { cFree_[6] = vData; }
  const std::string& cFree7() const { return cFree_[6]; }
  void cFree6(const std::string& vData) { cFree_[5] = vData; }
  const std::string& cFree6() const { return cFree_[5]; }
  void cFree5(const std::string& vData) { cFree_[4] = vData; }
  const std::string& cFree5() const { return cFree_[4]; }
  void cFree4(const std::string& vData) { cFree_[3] = vData; }
  const std::string& cFree4() const { return cFree_[3]; }
  void cFree3(const std::string& vData) { cFree_[2] = vData; }
  const std::string& cFree3() const { return cFree_[2]; }
  void cFree2(const std::string& vData) { cFree_[1] = vData; }
  const std::string& cFree2() const { return cFree_[1]; }
  void cFree1(const std::string& vData) { cFree_[0] = vData; }
  const std::string& cFree1() const { return cFree_[0]; }
  void iWasteRate(double vData) { iWasteRate_ = vData; }
  double iWasteRate() const { return iWasteRate_; }
  void iPSQuantity(double vData) { iPSQuantity_ = vData; }
  double iPSQuantity() const { return iPSQuantity_; }
  void cWhCode(const std::string& vData) { cWhCode_ = vData; }
  const std::string& cWhCode() const { return cWhCode_; }
  void cDepCode(const std::string& vData) { cDepCode_ = vData; }
  const std::string& cDepCode() const { return cDepCode_; }
  void fQuantity(double vData) { fQuantity_ = vData; }
  double fQuantity() const { return fQuantity_; }
  void cPScode(const std::string& vData) { cPScode_ = vData; }
  const std::string& cPScode() const { return cPScode_; }
  void fQuantityNoWaste(double vData) { fQuantityNoWaste_ = vData; }
  double fQuantityNoWaste() const { return fQuantityNoWaste_; }
  void AutoID(int32_t vData) { AutoID_ = vData; }
  int32_t AutoID() const { return AutoID_; }

  // Free item n (1 to 10); "" outside that range.
  std::string cFree(int n) const { return n >= 1 && n <= 10 ? cFree_[n - 1] : std::string(); }
  void cFree(int n, const std::string& vData) {
    if (n >= 1 && n <= 10) cFree_[n - 1] = vData;
  }

 private:
  std::string cFree_[10];
  double iWasteRate_ = 0;
  double iPSQuantity_ = 0;
  std::string cWhCode_;
  std::string cDepCode_;
  double fQuantity_ = 0;
  std::string cPScode_;
  double fQuantityNoWaste_ = 0;
  int32_t AutoID_ = 0;
};
using clsWWSelectedBomPtr = std::shared_ptr<clsWWSelectedBom>;

}  // namespace fabrikon
