#include "virtual_devmem.h"

#include "virtual_board.h"

namespace gestalon::sim {

bool VirtualDevmemPort::WriteRecord(const core::DevmemRecord& record) {
  return board_.WriteDevmemRecord(record);
}

bool VirtualDevmemPort::ReadRecord(core::DevmemRecord& record) {
  return board_.ReadDevmemRecord(record);
}

}  // namespace gestalon::sim
