// The outsourcing commands of `fabrikon shell`: `explode MAINID [SOCODE]`
// previews the bill-of-materials explosion of one product line, and
// `msgbox yes|no` chooses the answer of later Yes/No message boxes.
#include <stdexcept>

#include "ShellSession.h"
#include "fabrikon/modOutsourcing.h"
#include "fabrikon/modVoucher.h"

namespace fabrikon::cli {
namespace {

// One selected material as NAME="value" pairs; free items only when set.
std::string MaterialFields(const clsWWSelectedBom& line) {
  auto pair = [](const std::string& name, const std::string& value) {
    return name + "=" + ShellOutput::Quote(value);
  };
  std::string text = pair("cPScode", line.cPScode()) + " " + pair("fQuantity", NumberText(line.fQuantity())) + " " +
                     pair("fQuantityNoWaste", NumberText(line.fQuantityNoWaste())) + " " +
                     pair("iPSQuantity", NumberText(line.iPSQuantity())) + " " +
                     pair("iWasteRate", NumberText(line.iWasteRate())) + " " + pair("cDepCode", line.cDepCode()) +
                     " " + pair("cWhCode", line.cWhCode());
  for (int n = 1; n <= 10; ++n) {
    if (!line.cFree(n).empty()) text += " " + pair("cFree" + std::to_string(n), line.cFree(n));
  }
  return text;
}

long MainId(const std::string& text) {
  size_t used = 0;
  const long id = std::stol(text, &used);
  if (used != text.size()) throw std::invalid_argument("not a product line id: " + text);
  return id;
}

}  // namespace

void ShellSession::RegisterOutsourcing() {
  Register("explode", "explode MAINID [SOCODE]", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    if (args.empty()) throw std::invalid_argument("explode needs a product line id");
    const long mainid = MainId(args[0]);
    const std::string ids = ExplodeProductLine(mainid, args.size() > 1 ? args[1] : "", conn_);
    out_.ResultText(ids);
    if (ids.empty()) return;
    for (const clsWWSelectedBomPtr& material : SelectedBomLines()) out_.Item(MaterialFields(*material));
  });
  Register("msgbox", "msgbox yes|no  (the answer of later Yes/No message boxes)", [this](const ShellLine& line) {
    std::vector<std::string> args = line.Args();
    if (args.size() != 1 || (args[0] != "yes" && args[0] != "no")) {
      throw std::invalid_argument("msgbox takes yes or no");
    }
    messageBoxes_->Answer(args[0] == "yes");
    out_.ResultText("");
  });
}

void ShellSession::PrintMessageBoxes() {
  for (const std::string& text : messageBoxes_->Take()) out_.OutText("msgbox", text);
}

}  // namespace fabrikon::cli
