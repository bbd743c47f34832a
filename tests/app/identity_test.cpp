#include <gtest/gtest.h>

#include <cstring>

#include "app/identity.h"
#include "resources/stringtable.h"

namespace {

CUSBChannel::Block PageWith(const char* brand, const char* type, std::size_t typeLength) {
  CUSBChannel::Block page{};
  for (int i = 0; i < 16; ++i) page[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 17);
  std::memcpy(page.data() + identity::kBrandOffset, brand, std::strlen(brand));
  std::memcpy(page.data() + identity::kDeviceTypeOffset, type, typeLength);
  return page;
}

TEST(IdentityTest, CodesAreCutAtZeroUpperCasedAndMayFillTheField) {
  const auto page = PageWith("orbenka", "VARNOSTELLIONPLU", 16);  // no terminator
  EXPECT_EQ(identity::CodeAt(page, identity::kBrandOffset), "ORBENKA");
  EXPECT_EQ(identity::CodeAt(page, identity::kDeviceTypeOffset), "VARNOSTELLIONPLU");
  EXPECT_EQ(identity::ModelOf(identity::CodeAt(page, identity::kDeviceTypeOffset)),
            identity::BoardModel::Expansion);
}

TEST(IdentityTest, ModelsAreMatchedExactly) {
  EXPECT_EQ(identity::ModelOf("VARNOSTELLION"), identity::BoardModel::SingleBoard);
  EXPECT_EQ(identity::ModelOf("VARNOSTELLIONPLU"), identity::BoardModel::Expansion);
  EXPECT_EQ(identity::ModelOf("VARNOSTELLIONP"), identity::BoardModel::Unrecognised);
  EXPECT_EQ(identity::ModelOf(""), identity::BoardModel::Unrecognised);
}

TEST(IdentityTest, BrandChoosesTheVendorLine) {
  EXPECT_EQ(identity::VendorLine("ORBENKA"), resources::VendorLine1());
  EXPECT_EQ(identity::VendorLine("TELMARS"), resources::VendorLine2());
  EXPECT_EQ(identity::VendorLine("ACME"), resources::GenericSystemTitle());
  EXPECT_NE(resources::VendorLine1(), resources::VendorLine2());
}

TEST(IdentityTest, DeviceIdIsFourGroupsOfEightUpperCaseHexDigits) {
  const auto page = PageWith("", "", 0);
  EXPECT_EQ(identity::DeviceIdText(page),
            QStringLiteral("设备ID=00112233-44556677-8899AABB-CCDDEEFF"));
}

}  // namespace
