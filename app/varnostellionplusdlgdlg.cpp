#include "app/varnostellionplusdlgdlg.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <array>

#include "dialogs/aboutdlg.h"
#include "display/gdifont.h"
#include "platform/devicenotifier.h"
#include "platform/operatorprompts.h"
#include "resources/artwork.h"
#include "resources/dialogbuilder.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"

std::atomic<std::int32_t> s_frameCount{0};
std::atomic<std::int32_t> s_frameCountExpansion{0};

namespace {

constexpr int kStatusBarHeight = 30;
constexpr int kRepaintPeriodMs = 5;
constexpr int kTopLevelMenus = 4;

// Height 24 is the whole text cell, ascent plus descent, as the platform's fonts count it.
QFont StatusFont() {
  QFont font = GdiFont({QStringLiteral("微软雅黑"), 24, 0, 0, 400}).Font();
  font.setStyleStrategy(QFont::PreferDefault);  // the status text may be smoothed
  return font;
}

}  // namespace

CVarnostellionPlusDlgDlg::CVarnostellionPlusDlgDlg(plat::HidBus& bus,
                                                   plat::DeviceNotifier* notifier, QWidget* parent)
    : QDialog(parent),
      m_hIcon(resources::Icon(resources::IDR_MAINFRAME)),
      m_device(bus),
      m_notifier(notifier) {
  m_worker.AddEntry({&m_evMeasure, &CVarnostellionPlusDlgDlg::MeasureLoop, this});
  m_worker.AddEntry({&m_evMeasureExpansion, &CVarnostellionPlusDlgDlg::MeasureExpansionLoop, this});
  m_worker.AddEntry({&m_evIdentify, &CVarnostellionPlusDlgDlg::IdentifyBoard, this});
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
}

CVarnostellionPlusDlgDlg::~CVarnostellionPlusDlgDlg() {
  // No dispatcher may touch the controller once its members start to go.
  while (!m_worker.Stop()) {
  }
}

// --- initialisation -----------------------------------------------------------------------

void CVarnostellionPlusDlgDlg::OnInitDialog() {
  m_client = new QWidget(this);
  m_menuBar = new QMenuBar(this);
  auto* frame = new QVBoxLayout(this);
  frame->setContentsMargins(0, 0, 0, 0);
  frame->setSpacing(0);
  frame->setMenuBar(m_menuBar);
  frame->addWidget(m_client);
  m_layout = std::make_unique<resources::DialogBuilder>(resources::Dialog(resources::IDD_MAIN));
  m_layout->Build(this, m_client);
  m_gridItem = m_layout->Item(resources::IDC_GRID);
  m_client->installEventFilter(this);
  BuildMenus();
  BuildSystemMenu();

  setWindowIcon(m_hIcon);
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) setGeometry(screen->availableGeometry());
  showMaximized();
  RegisterBoardNotifications();
  InitLayout();
  SetTopLevelMenusEnabled(false);
  m_worker.Start();

  const bool absent = m_device.Connect();
  if (!absent) {
    setWindowTitle(QStringLiteral("USB设备已经插入"));
    ShowProgress();
    m_statusBar.m_progress.setValue(0);
    m_evIdentify.Set();
  } else {
    setWindowTitle(QStringLiteral("设备已经断开"));
    SetTopLevelMenusEnabled(false);
  }
}

void CVarnostellionPlusDlgDlg::RegisterBoardNotifications() {
  if (m_notifier == nullptr) return;
  if (!m_notifier->IsWatching()) {
    plat::Prompts().ShowMessage(nullptr, QStringLiteral("RegisterDeviceNotification   failed"), QString(),
                                plat::MessageIcon::Warning, plat::MessageButtons::Ok);
    return;
  }
  connect(m_notifier, &plat::DeviceNotifier::deviceChange, this,
          [this](unsigned eventCode, unsigned deviceType) { OnDeviceChange(eventCode, deviceType); });
}

void CVarnostellionPlusDlgDlg::BuildMenus() {
  m_menus.BuildBar(m_menuBar, resources::Menu(resources::IDR_MAIN_MENU));
  const auto menus = m_menuBar->findChildren<QMenu*>();
  for (QMenu* menu : menus) {
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { OnInitMenuPopup(menu); });
  }
  connect(m_menuBar, &QMenuBar::triggered, this,
          [this](QAction* action) { OnCommand(action->data().toInt()); });
}

// There is no system menu on every platform; Alt+Space opens one of our own at the window's
// top-left corner, where the system menu would be, with the about item.
void CVarnostellionPlusDlgDlg::BuildSystemMenu() {
  const QString aboutText = resources::String(resources::IDS_ABOUTBOX);
  if (aboutText.isEmpty()) return;
  auto* systemMenu = new QMenu(this);
  systemMenu->addSeparator();
  QAction* about = systemMenu->addAction(aboutText);
  connect(about, &QAction::triggered, this, [this] {
    CAboutDlg dialog(this);
    dialog.exec();
  });
  auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(shortcut, &QShortcut::activated, this,
          [this, systemMenu] { systemMenu->popup(mapToGlobal(QPoint(0, 0))); });
}

void CVarnostellionPlusDlgDlg::InitLayout() {
  m_statusBar.setParent(m_client);
  const std::array<int, 3> indicators = {resources::IDS_PANE_0, resources::IDS_PANE_1,
                                         resources::IDS_PANE_2};
  if (!m_statusBar.SetPaneCount(indicators)) return;
  m_statusBar.m_progress.setRange(0, 100);
  m_statusBar.m_progress.setValue(50);
  m_statusBar.SetPaneInfo(0, resources::IDS_PANE_0, false, 120);
  m_statusBar.SetPaneInfo(1, resources::IDS_PANE_1, false, 460);
  m_statusBar.SetPaneInfo(2, resources::IDS_PANE_2, true, 200);
  for (int pane = 0; pane < 3; ++pane) {
    m_statusBar.SetPaneTextOwnerDraw(pane, resources::String(indicators[static_cast<std::size_t>(pane)]));
  }
  m_statusBar.setGeometry(0, m_client->height() - kStatusBarHeight, m_client->width(), kStatusBarHeight);
  m_statusBar.setFont(StatusFont());
  m_statusBar.show();

  m_grid.setAttribute(Qt::WA_TransparentForMouseEvents);
  m_grid.AttachToItem(m_gridItem);
  m_grid.StartRepaintTimer(kRepaintPeriodMs);
  m_grid.m_cols = 0;
  m_grid.m_rows = 0;
  SetTopLevelMenusEnabled(false);
  ShowNotConnected();
  OnSize();
}

void CVarnostellionPlusDlgDlg::ShowNotConnected() {
  m_statusBar.m_paneText[0] = QStringLiteral("设备未插入");
  m_statusBar.PaneChanged(0);
  m_statusBar.m_paneTextColor[0] = QColor(255, 255, 255);
  m_statusBar.PaneChanged(0);
  m_statusBar.m_paneBackColor[0] = QColor(255, 0, 0);
  m_statusBar.PaneChanged(0);
  m_statusBar.m_paneStyle[0] = PANE_FILLED;
  m_statusBar.PaneChanged(0);
  m_statusBar.SetPaneTextOwnerDraw(1, QString());
  m_statusBar.m_paneStyle[1] = PANE_HATCHED;
  m_statusBar.PaneChanged(1);
  m_statusBar.m_paneText[2] = QStringLiteral("设备未插入");
  m_statusBar.PaneChanged(2);
  m_statusBar.m_paneAlign[2] = TEXT_LEFT;
  m_statusBar.PaneChanged(2);
  m_grid.m_rows = 0;
  m_grid.m_cols = 0;
}

// The status bar runs along the bottom; the grid starts near the client's top-left corner,
// placed from the window frame as the original window did, and never reaches under the
// status bar.
void CVarnostellionPlusDlgDlg::OnSize() {
  if (m_client == nullptr) return;
  const int width = m_client->width();
  const int height = m_client->height();
  m_statusBar.setGeometry(0, height - kStatusBarHeight, width, kStatusBarHeight);
  if (m_gridItem == nullptr) return;
  const QRect frame = frameGeometry();
  const QPoint topLeft = m_client->mapFromGlobal(frame.topLeft());
  const QPoint bottomRight = m_client->mapFromGlobal(frame.bottomRight() + QPoint(1, 1));
  const int x = topLeft.x() + 5;
  const int y = std::max(0, topLeft.y() + 55);
  const int gridWidth = std::min(bottomRight.x() - 5, width - x);
  const int gridHeight = std::min(bottomRight.y() - 40, height - kStatusBarHeight - y);
  m_gridItem->setGeometry(x, y, std::max(0, gridWidth), std::max(0, gridHeight));
}

QMenu* CVarnostellionPlusDlgDlg::TopLevelMenu(int position) const {
  const auto& menus = m_menus.TopLevel();
  if (position < 0 || position >= static_cast<int>(menus.size())) return nullptr;
  return menus[static_cast<std::size_t>(position)];
}

void CVarnostellionPlusDlgDlg::SetTopLevelMenusEnabled(bool enabled) {
  for (int position = 0; position < kTopLevelMenus; ++position) {
    if (QMenu* menu = TopLevelMenu(position)) menu->menuAction()->setEnabled(enabled);
  }
}

void CVarnostellionPlusDlgDlg::SetMenuItemEnabled(int id, bool enabled) {
  if (QAction* action = m_menus.Action(id)) action->setEnabled(enabled);
}

// --- window events ------------------------------------------------------------------------

bool CVarnostellionPlusDlgDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_client && event->type() == QEvent::Resize) OnSize();
  // The grid passes pointer input through, so its right-clicks arrive at the client widget.
  if (watched == m_client && event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::RightButton)
      OnRButtonDown(press->buttons(), press->modifiers(), press->position().toPoint());
  }
  if (watched == m_client && event->type() == QEvent::ContextMenu) return OnContextMenu();
  return QDialog::eventFilter(watched, event);
}

// Enter, Caps Lock and Escape never end the main window; only closing it does.
void CVarnostellionPlusDlgDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_CapsLock:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void CVarnostellionPlusDlgDlg::reject() {}

void CVarnostellionPlusDlgDlg::closeEvent(QCloseEvent* event) {
  if (!m_closing) OnClose();
  event->accept();
  QDialog::done(QDialog::Rejected);
}

// --- posting to the user-interface thread -------------------------------------------------

void CVarnostellionPlusDlgDlg::PostToUi(std::function<void()> change) {
  QMetaObject::invokeMethod(this, std::move(change), Qt::QueuedConnection);
}

void CVarnostellionPlusDlgDlg::PostTitle(const QString& title) {
  PostToUi([this, title] { setWindowTitle(title); });
}

// At most one frame title waits in the queue; it shows the newest count when it runs.
void CVarnostellionPlusDlgDlg::PostFrameTitle(std::int32_t frame) {
  m_latestFrame.store(frame, std::memory_order_relaxed);
  if (m_frameTitlePending.exchange(true)) return;
  PostToUi([this] {
    m_frameTitlePending.store(false);
    setWindowTitle(QStringLiteral("当前帧=%1").arg(m_latestFrame.load(std::memory_order_relaxed)));
  });
}

void CVarnostellionPlusDlgDlg::PostPane(int pane, std::function<void(CStatusBarEx&)> edit) {
  PostToUi([this, pane, edit = std::move(edit)] {
    edit(m_statusBar);
    m_statusBar.PaneChanged(pane);
  });
}

void CVarnostellionPlusDlgDlg::ShowProgress() {
  if (m_statusBar.m_progressShown) return;
  m_statusBar.m_progress.show();
  m_statusBar.m_progressShown = 1;
  m_statusBar.PlaceProgress(0, 1);
  m_statusBar.repaint();
}

void CVarnostellionPlusDlgDlg::HideProgress() {
  if (!m_statusBar.m_progressShown) return;
  m_statusBar.m_progress.hide();
  m_statusBar.m_progressShown = 0;
}

void CVarnostellionPlusDlgDlg::PostProgressRange(int maximum) {
  PostToUi([this, maximum] {
    m_statusBar.m_progress.setRange(0, maximum);
    m_statusBar.m_progress.setValue(0);
  });
}

void CVarnostellionPlusDlgDlg::PostProgressStep() {
  PostToUi([this] {
    QProgressBar& progress = m_statusBar.m_progress;
    progress.setValue(std::min(progress.value() + 1, progress.maximum()));
  });
}

void CVarnostellionPlusDlgDlg::PostModelMenus(bool known, bool settings, bool expansion) {
  PostToUi([this, known, settings, expansion] {
    SetTopLevelMenusEnabled(known);
    SetMenuItemEnabled(resources::ID_FILE_SAVE_LEGACY, known);
    if (!known) return;
    SetMenuItemEnabled(resources::ID_EDIT_SETTINGS, settings);
    SetMenuItemEnabled(resources::ID_EXPANSION_SETTINGS, expansion);
  });
}
