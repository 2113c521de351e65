#pragma once

#include "board/devmem_port.h"

namespace gestalon::sim {

class VirtualBoard;

// DEVMEM of a virtual board: each record written or read goes straight to the board.
class VirtualDevmemPort final : public core::DevmemPort {
 public:
  // `board` must outlive the port.
  explicit VirtualDevmemPort(VirtualBoard& board) : board_(board) {}

  bool WriteRecord(const core::DevmemRecord& record) override;
  bool ReadRecord(core::DevmemRecord& record) override;

 private:
  VirtualBoard& board_;
};

}  // namespace gestalon::sim
