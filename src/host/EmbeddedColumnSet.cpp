// EmbeddedColumnSet: plain holder of the three column lists.
#include "fabrikon/host/EmbeddedColumnSet.h"

namespace fabrikon {

EmbeddedColumnSet::EmbeddedColumnSet(std::string selectList, std::string sumList, std::string orderList)
    : selectList_(std::move(selectList)), sumList_(std::move(sumList)), orderList_(std::move(orderList)) {}

}  // namespace fabrikon
