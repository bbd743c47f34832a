#include "app/indication.h"

#include "device/globalblock.h"

namespace indication {
namespace {

std::uint8_t LowByte(std::int32_t failCount) { return static_cast<std::uint8_t>(failCount & 0xFF); }
std::uint8_t AllPass(std::int32_t failCount) { return failCount == 0 ? 1 : 0; }

}  // namespace

std::uint8_t BuzzerLevel(std::uint8_t flags, std::int32_t failCount) {
  if ((flags & GlobalBlock::BUZZERENABLE) == 0) return 0;
  return (flags & GlobalBlock::BUZZERINVERT) == 0 ? LowByte(failCount) : AllPass(failCount);
}

std::uint8_t LampALevel(std::uint8_t flags, std::int32_t failCount) {
  if ((flags & GlobalBlock::LEDENABLE) == 0) return 0;
  return (flags & GlobalBlock::LEDINVERT) == 0 ? LowByte(failCount) : AllPass(failCount);
}

std::uint8_t LampBLevel(std::uint8_t flags, std::int32_t failCount) {
  if ((flags & GlobalBlock::LEDENABLE) == 0) return 0;
  return (flags & GlobalBlock::LEDINVERT) == 0 ? AllPass(failCount) : LowByte(failCount);
}

}  // namespace indication
