// CardClasses: see the header. The shell's `init CARD` prints the class the
// façade really made; the command-line tests hold this table to it.
#include "CardClasses.h"

namespace fabrikon::cli {

const std::vector<CardClass>& CardClasses() {
  static const std::vector<CardClass> cards = {
      {"pp01", "clsForecast", "demand forecast"},
      {"pp02", "clsROPOrder", "reorder-point plan"},
      {"pp08", "clsBaseFile", "work centre"},
      {"pp09", "clsBaseFile", "resource"},
      {"pp10", "clsBaseFile", "operation"},
      {"pp11", "clsBaseFile", "routing"},
      {"pp13", "clsMOOrder", "dispatch order"},
      {"pp14", "clsMOOrderRpt", "progress completion report"},
      {"pp15", "clsPORpt", "order completion report"},
      {"pp16", "clsPODetails", "production order materials"},
      {"pp17", "", "production orders awaiting completion (engine operations only)"},
      {"pp25", "clsSCDDOrder", "production order"},
      {"om01", "clsWWSCDDOrder", "outsourcing order (the registry's WWOrderCardNumber)"},
      {"om02", "clsWWPODetails", "outsourcing order materials (the registry's WWPODetailsCardNumber)"},
  };
  return cards;
}

}  // namespace fabrikon::cli
