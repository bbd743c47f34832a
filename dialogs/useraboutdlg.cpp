#include "dialogs/useraboutdlg.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <array>

#include "device/usbchannel.h"
#include "resources/artwork.h"
#include "resources/useraboutemplate.h"

namespace {

using namespace resources::userabout;

struct HistoryColumn {
  const char* heading;
  int width;
};

constexpr std::array<HistoryColumn, 8> kHistoryColumns = {{
    {"序号", 60},
    {"时间", 100},
    {"应用程序版本", 100},
    {"修订内容", 200},
    {"固件版本", 100},
    {"修订内容", 200},
    {"BootLoader版本", 120},
    {"修订内容", 200},
}};

using HistoryRow = std::array<const char*, 8>;

// Oldest first; each is put on top of the list, so the newest shows first.
constexpr std::array<HistoryRow, 8> kHistory = {{
    {"1", "2013.02.12", "NA", "NA", "V0.0.0.6", "初始版本发布", "V0.0.0.1", "初始版本发布"},
    {"2", "2013.02.14", "V1.0.0.1", "初始版本发布", "V0.0.0.7", "增加看门狗", "V0.0.0.1", "无"},
    {"3", "2013.02.15", "V1.0.0.2", "增加稳定性", "V0.0.0.7", "无", "V0.0.0.1", "无"},
    {"4", "2013.02.16", "V1.0.0.3", "增加参数保存与载入", "V0.0.0.7", "无", "V0.0.0.1", "无"},
    {"5", "2013.03.15", "V1.0.0.4", "增加视频窗口", "V0.0.0.7", "无", "V0.0.0.1", "无"},
    {"6", "2013.03.17", "V1.0.0.5", "修正扩展状态读取采样错误问题", "V0.0.0.7", "无", "V0.0.0.1", "无"},
    {"7", "2013.06.05", "V1.0.0.6", "提升速度,修正错误X", "V0.0.0.7", "无", "V0.0.0.1", "无"},
    {"8", "2013.07.24", "V1.0.0.7", "修正错误", "V0.0.0.8", "无", "V0.0.0.1", "无"},
}};

struct BrandLogo {
  const char* code;
  int bitmap;
};

constexpr std::array<BrandLogo, 5> kBrandLogos = {{
    {"", kLogoDefault},
    {"SAVIREN", kLogoSaviren},
    {"TELMARS", kLogoTelmars},
    {"PELDRAWISKO", kLogoPeldrawisko},
    {"ORBENKA", kLogoOrbenka},
}};

std::uint16_t U16At(const CUSBChannel::FirmwareInfo& info, std::size_t offset) {
  return static_cast<std::uint16_t>(info[offset] | (info[offset + 1] << 8));
}

// "1.2.3.4" for 0x1234: the four nibbles, most significant first, in lower-case hexadecimal.
QString NibblesText(std::uint16_t word) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg((word >> 12) & 0xF, 0, 16)
      .arg((word >> 8) & 0xF, 0, 16)
      .arg((word >> 4) & 0xF, 0, 16)
      .arg(word & 0xF, 0, 16);
}

void TileBackground(QWidget* dialog, int bitmap) {
  const QPixmap tile = resources::Bitmap(bitmap);
  if (tile.isNull()) return;
  QPalette palette = dialog->palette();
  palette.setBrush(QPalette::Window, QBrush(tile));
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);
}

// The report-view list that takes the place of the template's list item.
QTableWidget* ReplaceWithTable(QWidget* item) {
  auto* table = new QTableWidget(item->parentWidget());
  table->setGeometry(item->geometry());
  table->stackUnder(item);
  delete item;
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->horizontalHeader()->setHighlightSections(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  return table;
}

}  // namespace

CUserAboutDlg::CUserAboutDlg(CUSBChannel& device, QWidget* parent)
    : QDialog(parent), m_device(device), m_builder(resources::Dialog(kDialog)) {
  m_builder.Build(this);
  setFixedSize(m_builder.ClientSize());
  m_historyList = ReplaceWithTable(m_builder.Item(kHistoryList));
  for (int id : {kFirmwareType, kFirmwareVersion, kFirmwareDate, kBootloaderVersion, kProgramVersion}) {
    if (QLineEdit* field = Field(id)) field->setReadOnly(true);
  }
  if (auto* ok = qobject_cast<QPushButton*>(m_builder.Item(kOk))) {
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
  if (auto* cancel = qobject_cast<QPushButton*>(m_builder.Item(kCancel))) {
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  }
}

void CUserAboutDlg::showEvent(QShowEvent* event) {
  OnInitDialog();
  QDialog::showEvent(event);
}

void CUserAboutDlg::OnInitDialog() {
  if (m_initialised) return;
  m_initialised = true;
  TileBackground(this, kBackground);
  ShowFirmwareInfo();
  ShowText(kProgramVersion, GetSoftwareVersion());
  FillHistoryList();
  ShowBrandLogo(m_brandCode);
}

void CUserAboutDlg::ShowFirmwareInfo() {
  const CUSBChannel::FirmwareInfo info = m_device.GetFirmwareInfo();
  ShowText(kFirmwareType, QStringLiteral("%1.%2").arg(info[0] >> 4, 0, 16).arg(info[0] & 0xF, 0, 16));
  ShowText(kFirmwareVersion, NibblesText(U16At(info, 1)));
  ShowText(kFirmwareDate, QStringLiteral("%1年-%2月-%3日")
                              .arg(U16At(info, 3), 4, 10, QLatin1Char('0'))
                              .arg(info[5], 2, 10, QLatin1Char('0'))
                              .arg(info[6], 2, 10, QLatin1Char('0')));
  ShowText(kBootloaderVersion, NibblesText(U16At(info, 7)));
}

QString CUserAboutDlg::GetSoftwareVersion() { return QStringLiteral(VARNO_PROGRAM_VERSION); }

void CUserAboutDlg::FillHistoryList() {
  m_historyList->setShowGrid(true);
  m_historyList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_historyList->setColumnCount(static_cast<int>(kHistoryColumns.size()));
  for (int column = 0; column < static_cast<int>(kHistoryColumns.size()); ++column) {
    const HistoryColumn& request = kHistoryColumns[static_cast<std::size_t>(column)];
    m_historyList->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(request.heading)));
    m_historyList->setColumnWidth(column, request.width);
  }
  for (const HistoryRow& row : kHistory) {
    m_historyList->insertRow(0);
    for (int column = 0; column < static_cast<int>(row.size()); ++column) {
      m_historyList->setItem(0, column, new QTableWidgetItem(QString::fromUtf8(row[static_cast<std::size_t>(column)])));
    }
  }
}

int CUserAboutDlg::LogoOf(const QString& brandCode) {
  const QString code = brandCode.toUpper();
  for (const BrandLogo& logo : kBrandLogos) {
    if (code == QLatin1String(logo.code)) return logo.bitmap;
  }
  return kLogoDefault;
}

void CUserAboutDlg::ShowBrandLogo(const QString& brandCode) {
  if (auto* picture = qobject_cast<QLabel*>(m_builder.Item(kLogo))) {
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(resources::Bitmap(LogoOf(brandCode)));
  }
}

QLineEdit* CUserAboutDlg::Field(int id) const { return qobject_cast<QLineEdit*>(m_builder.Item(id)); }

void CUserAboutDlg::ShowText(int id, const QString& text) {
  if (QLineEdit* field = Field(id)) field->setText(text);
}
