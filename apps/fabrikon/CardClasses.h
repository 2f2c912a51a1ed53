// The card numbers a host passes to Init, with the voucher kind and the
// business class behind each, as `fabrikon --help` lists them.
#pragma once
#include <string>
#include <vector>

namespace fabrikon::cli {

struct CardClass {
  std::string card;       // "pp25"
  std::string className;  // "clsSCDDOrder"; "" for a card without a business object
  std::string voucher;    // what the card's vouchers are
};

// In the façade's order; om01 and om02 are the card number registry's
// defaults (a database may name the outsourcing cards otherwise).
const std::vector<CardClass>& CardClasses();

}  // namespace fabrikon::cli
