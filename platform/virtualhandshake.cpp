#include "platform/virtualhandshake.h"

#include <algorithm>
#include <array>

namespace plat {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'V', 'N', 'H', '1'};
constexpr std::size_t kFixedSize = 11;
constexpr std::uint8_t kManufacturerReadable = 0x01;
constexpr std::uint8_t kProductReadable = 0x02;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::u16string Clipped(const std::optional<std::u16string>& text) {
  if (!text) return {};
  return text->substr(0, VirtualHandshake::kMaxStringUnits);
}

std::u16string ReadUnits(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t units) {
  std::u16string text(units, u'\0');
  for (std::size_t i = 0; i < units; ++i) text[i] = static_cast<char16_t>(GetU16(bytes, offset + 2 * i));
  return text;
}

}  // namespace

std::vector<std::uint8_t> VirtualHandshake::Encode() const {
  const std::u16string manufacturerUnits = Clipped(manufacturer);
  const std::u16string productUnits = Clipped(product);
  std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
  PutU16(out, vendorId);
  PutU16(out, productId);
  out.push_back((manufacturer ? kManufacturerReadable : 0) | (product ? kProductReadable : 0));
  out.push_back(static_cast<std::uint8_t>(manufacturerUnits.size()));
  out.push_back(static_cast<std::uint8_t>(productUnits.size()));
  for (char16_t unit : manufacturerUnits) PutU16(out, unit);
  for (char16_t unit : productUnits) PutU16(out, unit);
  return out;
}

std::optional<VirtualHandshake> VirtualHandshake::Decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kFixedSize || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) return std::nullopt;
  const std::uint8_t flags = bytes[8];
  const std::size_t manufacturerUnits = bytes[9];
  const std::size_t productUnits = bytes[10];
  const bool manufacturerReadable = flags & kManufacturerReadable;
  const bool productReadable = flags & kProductReadable;
  if (manufacturerUnits > kMaxStringUnits || productUnits > kMaxStringUnits) return std::nullopt;
  if ((!manufacturerReadable && manufacturerUnits) || (!productReadable && productUnits)) return std::nullopt;
  if (bytes.size() != kFixedSize + 2 * (manufacturerUnits + productUnits)) return std::nullopt;

  VirtualHandshake handshake;
  handshake.vendorId = GetU16(bytes, 4);
  handshake.productId = GetU16(bytes, 6);
  if (manufacturerReadable) handshake.manufacturer = ReadUnits(bytes, kFixedSize, manufacturerUnits);
  if (productReadable) handshake.product = ReadUnits(bytes, kFixedSize + 2 * manufacturerUnits, productUnits);
  return handshake;
}

}  // namespace plat
