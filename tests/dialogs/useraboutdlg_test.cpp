// The device information dialog: firmware fields, program version, history and brand logo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include "dialogs/useraboutdlg.h"
#include "resources/artwork.h"
#include "resources/useraboutemplate.h"
#include "tests/app/testerfixture.h"
#include "tests/device/linkfixture.h"

namespace {

using namespace resources::userabout;

QString FieldText(const CUserAboutDlg& dialog, int id) { return dialog.Field(id)->text(); }

QImage LogoShown(const QDialog& dialog) {
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->pixmap().size() == QSize(380, 420)) return label->pixmap().toImage();
  }
  return {};
}

class FirmwareFieldsTest : public LinkFixture {};

TEST_F(FirmwareFieldsTest, ShowsTheLocalCopyInItsFormats) {
  struct Case {
    std::array<std::uint8_t, 9> info;
    const char* type;
    const char* version;
    const char* date;
    const char* bootloader;
  };
  const Case cases[] = {
      {{0x12, 0x08, 0x01, 0xDD, 0x07, 7, 24, 0x01, 0x00}, "1.2", "0.1.0.8", "2013年-07月-24日", "0.0.0.1"},
      {{0xAB, 0x34, 0x12, 0x09, 0x00, 12, 3, 0xAB, 0x00}, "a.b", "1.2.3.4", "0009年-12月-03日", "0.0.a.b"},
      {{0x00, 0xEF, 0xCD, 0xE8, 0x07, 1, 1, 0x34, 0x12}, "0.0", "c.d.e.f", "2024年-01月-01日", "1.2.3.4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    board::EmulatedBoard::Page page{};
    std::copy(c.info.begin(), c.info.end(), page.begin());
    board.SetFirmwareInfo(page);
    link.LoadFirmwareInfo();
    board.ClearLog();

    CUserAboutDlg dialog(link);
    dialog.OnInitDialog();
    EXPECT_EQ(FieldText(dialog, kFirmwareType), QString::fromUtf8(c.type));
    EXPECT_EQ(FieldText(dialog, kFirmwareVersion), QString::fromUtf8(c.version));
    EXPECT_EQ(FieldText(dialog, kFirmwareDate), QString::fromUtf8(c.date));
    EXPECT_EQ(FieldText(dialog, kBootloaderVersion), QString::fromUtf8(c.bootloader));
    EXPECT_TRUE(board.ReceivedReports().empty()) << "the dialog asks the board nothing";
  }
}

TEST_F(FirmwareFieldsTest, ShowsTheProgramVersionAndTheHistoryNewestFirst) {
  CUserAboutDlg dialog(link);
  dialog.OnInitDialog();
  EXPECT_EQ(FieldText(dialog, kProgramVersion), QStringLiteral("1.0.0.7"));

  const QTableWidget& history = *dialog.m_historyList;
  ASSERT_EQ(history.rowCount(), 8);
  ASSERT_EQ(history.columnCount(), 8);
  for (int row = 0; row < 8; ++row) EXPECT_EQ(history.item(row, 0)->text(), QString::number(8 - row));
  const QStringList newest{"8", "2013.07.24", "V1.0.0.7", "修正错误", "V0.0.0.8", "无", "V0.0.0.1", "无"};
  const QStringList oldest{"1", "2013.02.12", "NA", "NA", "V0.0.0.6", "初始版本发布", "V0.0.0.1", "初始版本发布"};
  for (int column = 0; column < 8; ++column) {
    EXPECT_EQ(history.item(0, column)->text(), newest[column]);
    EXPECT_EQ(history.item(7, column)->text(), oldest[column]);
  }
  EXPECT_EQ(history.item(1, 3)->text(), QStringLiteral("提升速度,修正错误X"));
  const QStringList headings{"序号", "时间", "应用程序版本", "修订内容", "固件版本", "修订内容", "BootLoader版本", "修订内容"};
  const int widths[] = {60, 100, 100, 200, 100, 200, 120, 200};
  for (int column = 0; column < 8; ++column) {
    EXPECT_EQ(history.horizontalHeaderItem(column)->text(), headings[column]);
    EXPECT_EQ(history.columnWidth(column), widths[column]);
  }
}

TEST_F(FirmwareFieldsTest, BrandCodeChoosesTheLogo) {
  struct Case {
    const char* brand;
    int bitmap;
  };
  for (const Case& c : {Case{"", kLogoDefault}, Case{"SAVIREN", kLogoSaviren}, Case{"TELMARS", kLogoTelmars},
                        Case{"PELDRAWISKO", kLogoPeldrawisko}, Case{"ORBENKA", kLogoOrbenka},
                        Case{"orbenka", kLogoOrbenka}, Case{"ACME", kLogoDefault},
                        Case{"PELDRAWISKOABCDE", kLogoDefault}, Case{"ORBENKA ", kLogoDefault}}) {
    SCOPED_TRACE(c.brand);
    CUserAboutDlg dialog(link);
    dialog.m_brandCode = QString::fromUtf8(c.brand);
    dialog.OnInitDialog();
    const QImage expected = resources::Bitmap(c.bitmap).toImage();
    ASSERT_FALSE(expected.isNull());
    EXPECT_EQ(LogoShown(dialog), expected);
  }
}

TEST(BrandLogos, EveryBrandHasItsOwnPictureOfTheStatedSize) {
  const int logos[] = {kLogoTelmars, kLogoDefault, kLogoOrbenka, kLogoPeldrawisko, kLogoSaviren};
  for (int a : logos) {
    const QImage image = resources::Bitmap(a).toImage();
    EXPECT_EQ(image.size(), QSize(380, 420)) << a;
    for (int b : logos) {
      if (a < b) {
        EXPECT_NE(image, resources::Bitmap(b).toImage()) << a << " and " << b;
      }
    }
  }
}

// The opener reads the brand from the identity page and hands it over upper-cased.
class AboutOpenerTest : public TesterFixture {
 protected:
  QString OpenAndReadBrand(QImage* logo) {
    QString brand;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<CUserAboutDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      brand = dialog->m_brandCode;
      *logo = LogoShown(*dialog);
      dialog->accept();
    });
    window->OnCommand(resources::ID_HELP_ABOUT);
    return brand;
  }
};

TEST_F(AboutOpenerTest, LowerCaseBrandGetsTheUpperCaseLogoAndAFullFieldMatchesNothing) {
  struct Case {
    const char* boardBrand;
    const char* handedOver;
    int bitmap;
  };
  for (const Case& c : {Case{"telmars", "TELMARS", kLogoTelmars},
                        Case{"PELDRAWISKOABCDE", "PELDRAWISKOABCDE", kLogoDefault}}) {
    SCOPED_TRACE(c.boardBrand);
    boards.clear();
    window.reset();
    board::EmulatedBoard& board = AddBoard({.brand = c.boardBrand});
    board::EmulatedBoard::Page info{};
    info[0] = 0x21;
    board.SetFirmwareInfo(info);
    board.Plug();
    StartWindow();
    ASSERT_TRUE(WaitIdentified());

    QImage logo;
    EXPECT_EQ(OpenAndReadBrand(&logo), QString::fromUtf8(c.handedOver));
    EXPECT_EQ(logo, resources::Bitmap(c.bitmap).toImage());
    EXPECT_EQ(window->m_device.GetFirmwareInfo()[0], 0x21);
  }
}

}  // namespace
