// The public classes by ProgID and CLSID, and the interface check of the
// objects made from them (see fabrikon/ClassRegistry.h). A class whose
// subsystem is not built into the library yet is "not registered".
#include "fabrikon/ClassRegistry.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "engine/BusinessObjectFactory.h"
#include "fabrikon/ComError.h"
#include "fabrikon/clsRefLink.h"
#include "fabrikon/clsSCDDOrder.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/clsWWSCDDOrder.h"
#include "fabrikon/clsWWSelectedBom.h"

namespace fabrikon {
namespace {

using Maker = std::function<std::shared_ptr<void>()>;

struct Entry {
  ClassInfo info;
  Maker make;
};

// The business class as its own type, so that the interface cast is exact.
template <class T>
std::shared_ptr<void> AsPublic(const BusinessObjectPtr& object) {
  return std::dynamic_pointer_cast<T>(object);
}

const std::vector<Entry>& Entries() {
  static const std::vector<Entry> entries = {
      {{"clsVoucherCO", "FABRIKON.clsVoucherCO", "{AA219276-CC99-4CCE-837C-E8831494A171}", "_clsVoucherCO",
        InterfaceOf<clsVoucherCO>::iid},
       [] { return std::static_pointer_cast<void>(std::make_shared<clsVoucherCO>()); }},
      {{"clsSCDDOrder", "FABRIKON.clsSCDDOrder", "{F00098BC-F5F9-46C4-9085-A8A42B74A0FD}", "_clsSCDDOrder",
        InterfaceOf<clsSCDDOrder>::iid},
       [] { return AsPublic<clsSCDDOrder>(BusinessObjectFactory::NewSCDDOrder()); }},
      {{"clsWWSCDDOrder", "FABRIKON.clsWWSCDDOrder", "{560881ED-7287-4BA4-A148-7E6376DD7BD8}", "_clsWWSCDDOrder",
        InterfaceOf<clsWWSCDDOrder>::iid},
       [] { return AsPublic<clsWWSCDDOrder>(BusinessObjectFactory::NewWWSCDDOrder()); }},
      {{"clsWWSelectedBom", "FABRIKON.clsWWSelectedBom", "{4911E6C3-04DA-486E-8BB6-67D5CC022FC4}",
        "_clsWWSelectedBom", InterfaceOf<clsWWSelectedBom>::iid},
       [] { return std::static_pointer_cast<void>(std::make_shared<clsWWSelectedBom>()); }},
      {{"clsRefLink", "FABRIKON.clsRefLink", "{28414472-0497-4CCF-97F7-A6ABAFC29749}", "_clsRefLink",
        InterfaceOf<clsRefLink>::iid},
       [] { return std::static_pointer_cast<void>(std::make_shared<clsRefLink>()); }},
  };
  return entries;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view WithoutBraces(std::string_view guid) {
  if (guid.size() >= 2 && guid.front() == '{' && guid.back() == '}') return guid.substr(1, guid.size() - 2);
  return guid;
}

const Entry* FindEntry(std::string_view name) {
  for (const Entry& entry : Entries()) {
    if (SameText(entry.info.progId, name) || ClassRegistry::SameGuid(entry.info.clsid, name)) return &entry;
  }
  return nullptr;
}

[[noreturn]] void NotRegistered(std::string_view name) {
  throw ComError(ErrorNumber::ClassNotRegistered, "Class not registered: " + std::string(name));
}

}  // namespace

std::shared_ptr<void> ComObject::QueryInterface(std::string_view iid) const {
  if (ClassRegistry::SameGuid(iid, InterfaceId::IUnknown) || ClassRegistry::SameGuid(iid, InterfaceId::IDispatch)) {
    return object_;
  }
  return QueryInterfaceStrict(iid);
}

std::shared_ptr<void> ComObject::QueryInterfaceStrict(std::string_view iid) const {
  if (!ClassRegistry::SameGuid(iid, info_->iid)) {
    throw ComError(ErrorNumber::NoInterface,
                   "No such interface supported: " + std::string(info_->className) + " " + std::string(iid));
  }
  return object_;
}

namespace ClassRegistry {

const std::vector<ClassInfo>& Classes() {
  static const std::vector<ClassInfo> classes = [] {
    std::vector<ClassInfo> list;
    for (const Entry& entry : Entries()) list.push_back(entry.info);
    return list;
  }();
  return classes;
}

const ClassInfo* FindByProgId(std::string_view progId) {
  for (const Entry& entry : Entries()) {
    if (SameText(entry.info.progId, progId)) return &entry.info;
  }
  return nullptr;
}

const ClassInfo* FindByClsid(std::string_view clsid) {
  for (const Entry& entry : Entries()) {
    if (SameGuid(entry.info.clsid, clsid)) return &entry.info;
  }
  return nullptr;
}

ComObjectPtr CreateObject(std::string_view progIdOrClsid) {
  const Entry* entry = FindEntry(progIdOrClsid);
  if (!entry) NotRegistered(progIdOrClsid);
  std::shared_ptr<void> object = entry->make();
  if (!object) NotRegistered(progIdOrClsid);
  return std::make_shared<ComObject>(entry->info, std::move(object));
}

bool SameGuid(std::string_view a, std::string_view b) { return SameText(WithoutBraces(a), WithoutBraces(b)); }

}  // namespace ClassRegistry
}  // namespace fabrikon
