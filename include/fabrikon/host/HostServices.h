// HostServices: where the library gets the host components it creates itself.
// Each factory defaults to the embedded implementation; a host replaces any of
// them (per thread) to plug in its own.
#pragma once
#include <functional>

#include "fabrikon/host/CardNumberRegistry.h"
#include "fabrikon/host/FilterService.h"
#include "fabrikon/host/RefReport.h"
#include "fabrikon/host/RefWindow.h"
#include "fabrikon/host/ReferenceChecker.h"
#include "fabrikon/host/VoucherFormatService.h"
#include "fabrikon/host/VoucherNumberService.h"

namespace fabrikon::HostServices {

void SetNumberServiceFactory(std::function<VoucherNumberServicePtr()> factory);
void SetFormatServiceFactory(std::function<VoucherFormatServicePtr()> factory);
void SetReferenceCheckerFactory(std::function<ReferenceCheckerPtr()> factory);
void SetFilterServiceFactory(std::function<FilterServicePtr()> factory);
void SetCardNumberRegistry(CardNumberRegistryPtr registry);
void SetRefWindowFactory(std::function<RefWindowPtr()> factory);
void SetRefReportFactory(std::function<RefReportPtr()> factory);

VoucherNumberServicePtr CreateNumberService();
VoucherFormatServicePtr CreateFormatService();
ReferenceCheckerPtr CreateReferenceChecker();
FilterServicePtr CreateFilterService();
RefWindowPtr CreateRefWindow();
RefReportPtr CreateRefReport();
// The module-wide registry: one per thread, created on first use.
CardNumberRegistryPtr GetCardNumberRegistry();

}  // namespace fabrikon::HostServices
