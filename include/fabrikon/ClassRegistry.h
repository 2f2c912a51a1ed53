// ClassRegistry: the entry points a host has always used to reach the
// library's public classes, without COM: create a class by its ProgID
// ("FABRIKON.clsVoucherCO") or CLSID, and ask the object for its interface by
// IID. The type library's name, version and LIBID stay as constants so that
// hosts keep their identifiers. ProgIDs and GUIDs compare without regard to
// case; GUIDs may be written with or without braces.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fabrikon {

class clsVoucherCO;
class clsSCDDOrder;
class clsWWSCDDOrder;
class clsWWSelectedBom;
class clsRefLink;

namespace TypeLibrary {
inline constexpr std::string_view Name = "FABRIKON";
inline constexpr unsigned short MajorVersion = 5;
inline constexpr unsigned short MinorVersion = 0;
inline constexpr std::string_view LibId = "{59A8BF68-7931-43C9-BFB8-CD8A2BB1E969}";
}  // namespace TypeLibrary

// Interfaces every object answers besides its own.
namespace InterfaceId {
inline constexpr std::string_view IUnknown = "{00000000-0000-0000-C000-000000000046}";
inline constexpr std::string_view IDispatch = "{00020400-0000-0000-C000-000000000046}";
}  // namespace InterfaceId

struct ClassInfo {
  std::string_view className;      // "clsVoucherCO"
  std::string_view progId;         // "FABRIKON.clsVoucherCO"
  std::string_view clsid;          // "{AA219276-...}"
  std::string_view interfaceName;  // "_clsVoucherCO"
  std::string_view iid;            // the interface's IID
};

// The IID of the interface a C++ class stands for.
template <class T>
struct InterfaceOf;
template <>
struct InterfaceOf<clsVoucherCO> {
  static constexpr std::string_view iid = "{2808CE93-E99F-4E15-91A8-420119D2C8D6}";
};
template <>
struct InterfaceOf<clsSCDDOrder> {
  static constexpr std::string_view iid = "{E955AFE8-C79E-45D3-B0C9-EA38A1C6CCBC}";
};
template <>
struct InterfaceOf<clsWWSCDDOrder> {
  static constexpr std::string_view iid = "{2C8C8FBA-9863-4EFA-823C-40D382385E6E}";
};
template <>
struct InterfaceOf<clsWWSelectedBom> {
  static constexpr std::string_view iid = "{513B6050-EF28-4A21-BCC1-77B4D33FF5E2}";
};
template <>
struct InterfaceOf<clsRefLink> {
  static constexpr std::string_view iid = "{D92E6C6B-0B51-4DD6-91D3-80242E56B0D7}";
};

// An instance of a public class, as CreateObject hands it out.
class ComObject {
 public:
  ComObject(const ClassInfo& info, std::shared_ptr<void> object) : info_(&info), object_(std::move(object)) {}
  const ClassInfo& Class() const { return *info_; }

  // The object when it offers the interface (its own, IUnknown or
  // IDispatch); raises ComError E_NOINTERFACE (0x80004002) otherwise.
  std::shared_ptr<void> QueryInterface(std::string_view iid) const;

  // The object as T, through T's interface IID.
  template <class T>
  std::shared_ptr<T> QueryInterface() const {
    return std::static_pointer_cast<T>(QueryInterfaceStrict(InterfaceOf<T>::iid));
  }

 private:
  std::shared_ptr<void> QueryInterfaceStrict(std::string_view iid) const;  // own interface only
  const ClassInfo* info_;
  std::shared_ptr<void> object_;
};
using ComObjectPtr = std::shared_ptr<ComObject>;

namespace ClassRegistry {

// The public classes, in the order of the type library.
const std::vector<ClassInfo>& Classes();
const ClassInfo* FindByProgId(std::string_view progId);
const ClassInfo* FindByClsid(std::string_view clsid);

// A new instance of the class a ProgID or CLSID names. Unknown names and
// classes not built into this library raise ComError REGDB_E_CLASSNOTREG
// (0x80040154).
ComObjectPtr CreateObject(std::string_view progIdOrClsid);

// Shortcut: CreateObject(progIdOrClsid)->QueryInterface<T>().
template <class T>
std::shared_ptr<T> Create(std::string_view progIdOrClsid) {
  return CreateObject(progIdOrClsid)->QueryInterface<T>();
}

// Whether two GUID texts name the same GUID (case and braces ignored).
bool SameGuid(std::string_view a, std::string_view b);

}  // namespace ClassRegistry
}  // namespace fabrikon
