// HostServices: the factories through which the library creates its host
// components. Each thread starts with the embedded implementations; a host
// that brings its own components installs factories on its thread.
#include "fabrikon/host/HostServices.h"

#include "host/EmbeddedCardNumberRegistry.h"
#include "fabrikon/host/EmbeddedFilterService.h"
#include "fabrikon/host/EmbeddedRefReport.h"
#include "fabrikon/host/EmbeddedRefWindow.h"
#include "host/EmbeddedReferenceChecker.h"
#include "host/EmbeddedVoucherFormatService.h"
#include "host/EmbeddedVoucherNumberService.h"

namespace fabrikon::HostServices {
namespace {
thread_local std::function<VoucherNumberServicePtr()> tNumberFactory;
thread_local std::function<VoucherFormatServicePtr()> tFormatFactory;
thread_local std::function<ReferenceCheckerPtr()> tCheckerFactory;
thread_local std::function<FilterServicePtr()> tFilterFactory;
thread_local CardNumberRegistryPtr tRegistry;
thread_local std::function<RefWindowPtr()> tRefWindowFactory;
thread_local std::function<RefReportPtr()> tRefReportFactory;

// A factory that answers null would crash the caller later; fall back to the
// embedded component instead.
template <typename Ptr, typename Embedded>
Ptr Create(const std::function<Ptr()>& factory) {
  if (factory) {
    if (Ptr made = factory()) return made;
  }
  return std::make_shared<Embedded>();
}
}  // namespace

void SetNumberServiceFactory(std::function<VoucherNumberServicePtr()> factory) {
  tNumberFactory = std::move(factory);
}
void SetFormatServiceFactory(std::function<VoucherFormatServicePtr()> factory) {
  tFormatFactory = std::move(factory);
}
void SetReferenceCheckerFactory(std::function<ReferenceCheckerPtr()> factory) {
  tCheckerFactory = std::move(factory);
}
void SetFilterServiceFactory(std::function<FilterServicePtr()> factory) {
  tFilterFactory = std::move(factory);
}
void SetCardNumberRegistry(CardNumberRegistryPtr registry) { tRegistry = std::move(registry); }
void SetRefWindowFactory(std::function<RefWindowPtr()> factory) { tRefWindowFactory = std::move(factory); }
void SetRefReportFactory(std::function<RefReportPtr()> factory) { tRefReportFactory = std::move(factory); }

VoucherNumberServicePtr CreateNumberService() {
  return Create<VoucherNumberServicePtr, EmbeddedVoucherNumberService>(tNumberFactory);
}
VoucherFormatServicePtr CreateFormatService() {
  return Create<VoucherFormatServicePtr, EmbeddedVoucherFormatService>(tFormatFactory);
}
ReferenceCheckerPtr CreateReferenceChecker() {
  return Create<ReferenceCheckerPtr, EmbeddedReferenceChecker>(tCheckerFactory);
}
FilterServicePtr CreateFilterService() {
  return Create<FilterServicePtr, EmbeddedFilterService>(tFilterFactory);
}

RefWindowPtr CreateRefWindow() { return Create<RefWindowPtr, EmbeddedRefWindow>(tRefWindowFactory); }
RefReportPtr CreateRefReport() { return Create<RefReportPtr, EmbeddedRefReport>(tRefReportFactory); }

CardNumberRegistryPtr GetCardNumberRegistry() {
  if (!tRegistry) tRegistry = std::make_shared<EmbeddedCardNumberRegistry>();
  return tRegistry;
}

}  // namespace fabrikon::HostServices
