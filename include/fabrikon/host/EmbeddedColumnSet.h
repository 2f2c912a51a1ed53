// EmbeddedColumnSet: the list columns of a list screen, filled by the program
// that runs the library (the host's column chooser is not available).
#pragma once
#include "fabrikon/Connection.h"
#include "fabrikon/host/ColumnSet.h"

namespace fabrikon {

class EmbeddedColumnSet : public ColumnSet {
 public:
  EmbeddedColumnSet() = default;
  EmbeddedColumnSet(std::string selectList, std::string sumList, std::string orderList = "");
  // The default columns of a card from the embedded table FabrikonListColumns:
  // every column in order, the summed ones as "sum(c) AS c" (a count of the
  // rows when none is summed), ordered by the sort columns. A card without
  // rows there gets an empty column set.
  static std::shared_ptr<EmbeddedColumnSet> ForCard(const ConnectionPtr& conn, const std::string& cardNumber);

  std::string SelectList() const override { return selectList_; }
  std::string SumList() const override { return sumList_; }
  std::string OrderList() const override { return orderList_; }

  void SelectList(std::string text) { selectList_ = std::move(text); }
  void SumList(std::string text) { sumList_ = std::move(text); }
  void OrderList(std::string text) { orderList_ = std::move(text); }

 private:
  std::string selectList_;
  std::string sumList_;
  std::string orderList_;
};

}  // namespace fabrikon
