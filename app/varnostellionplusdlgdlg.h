#pragma once

#include <QDialog>
#include <QIcon>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "app/workerthread.h"
#include "device/usbchannel.h"
#include "display/colorbar.h"
#include "display/statusbarex.h"
#include "platform/autoresetevent.h"
#include "resources/menubuilder.h"

class QMenu;
class QMenuBar;
struct FileCommandContext;

namespace plat {
class DeviceNotifier;
}

namespace resources {
class DialogBuilder;
}

// Cycles of the single-board and of the expansion measurement loop since the program started.
extern std::atomic<std::int32_t> s_frameCount;
extern std::atomic<std::int32_t> s_frameCountExpansion;

// The main window and test controller: it owns the link to the bridge board, the grid with the
// tester state, the status bar and the dispatcher threads that identify the board and measure.
//
// Dispatcher threads never touch a widget: they post every window, menu, status-bar and
// progress change to the user-interface thread, in order, and never wait for it.
class CVarnostellionPlusDlgDlg : public QDialog {
  Q_OBJECT

 public:
  // `bus` lists the HID interfaces (real and emulated) the board is searched among; the
  // notifier (if any) delivers their arrivals and removals.
  CVarnostellionPlusDlgDlg(plat::HidBus& bus, plat::DeviceNotifier* notifier,
                           QWidget* parent = nullptr);
  ~CVarnostellionPlusDlgDlg() override;

  // Dialog initialisation: layout, notices are expected through OnDeviceChange, the first
  // dispatcher and the first search for the board.
  void OnInitDialog();
  // A device notice: event code and device type.
  int OnDeviceChange(unsigned eventCode, unsigned deviceType);
  // The close sequence; afterwards the window closes.
  void OnClose();

  // Menu commands by id, as the menu bar and the context menu deliver them.
  void OnCommand(int id);
  // Check marks of a popup about to open, from the local copy of the global parameter block.
  void OnInitMenuPopup(QMenu* popup);
  // The file commands: configuration file save and load, and the legacy export.
  void OnSaveConfigFile();
  void OnLoadConfigFile();
  void OnSaveLegacyConfigFile();
  // The reference dialog for cell (0, 0), and for the cell of the last right-click.
  void OnSettings();
  void OnCellSettings();
  // The expansion-board dialog; on "确定" the grid follows the board's new layout.
  void OnExpansionSettings();
  // The device information dialog for the attached board's brand.
  void OnAbout();
  // Opens one more independent camera window; it is destroyed when closed.
  void OnCamera();
  // A right-button press at `point` in the client widget's coordinates: the cell's context menu.
  void OnRButtonDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint point);
  // The platform's own context-menu request; consumed, the right-button press shows ours.
  bool OnContextMenu();

  QWidget* Client() const { return m_client; }
  QMenuBar* MenuBar() const { return m_menuBar; }
  QAction* MenuAction(int id) const { return m_menus.Action(id); }
  // Top-level menu at `position` (0 文件, 1 编辑, 2 扩展板设定, 3 帮助).
  QMenu* TopLevelMenu(int position) const;

  // Members in the order of construction.
  QIcon m_hIcon;
  CStatusBarEx m_statusBar;
  CUSBChannel m_device;
  CColorBar m_grid;
  CWorkerThread m_worker;
  plat::AutoResetEvent m_evMeasure;
  plat::AutoResetEvent m_evMeasureExpansion;
  plat::AutoResetEvent m_evIdentify;
  std::recursive_mutex m_lockMeasure;
  std::recursive_mutex m_lockMeasureExpansion;
  std::recursive_mutex m_lockIdentify;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  // Dispatcher-thread callbacks of the wait table.
  static void MeasureLoop(void* context);
  static void MeasureExpansionLoop(void* context);
  static void IdentifyBoard(void* context);

  void RegisterBoardNotifications();
  void InitLayout();
  void ShowNotConnected();
  void OnSize();
  void BuildMenus();
  void BuildSystemMenu();
  void SetTopLevelMenusEnabled(bool enabled);
  void SetMenuItemEnabled(int id, bool enabled);

  void RunMeasureLoop(std::recursive_mutex& loopLock, std::atomic<std::int32_t>& counter,
                      void (CVarnostellionPlusDlgDlg::*cycle)());
  void MeasureOnce();
  void MeasureExpansionOnce();
  void LoadExpansionParameters();
  bool LoadExpansionCell(int row, int col, int cols);
  void DriveOutputs();
  void RunIdentification();
  bool StartupPulse();
  void LoadSingleBoardParameters();
  void ReloadSingleCell();
  CUSBChannel::Block ReadIdentityPage();
  QString ReadDeviceType();

  void ToggleIndication();
  void ToggleFlag(std::uint8_t bit);
  FileCommandContext FileContext();

  // Posting to the user-interface thread from any thread, in order.
  void PostToUi(std::function<void()> change);
  void PostTitle(const QString& title);
  void PostFrameTitle(std::int32_t frame);
  void PostPane(int pane, std::function<void(CStatusBarEx&)> edit);
  void ShowProgress();
  void HideProgress();
  void PostProgressRange(int maximum);
  void PostProgressStep();
  void PostModelMenus(bool known, bool settings, bool expansion);

  plat::DeviceNotifier* m_notifier;
  QMenuBar* m_menuBar = nullptr;
  QWidget* m_client = nullptr;
  QWidget* m_gridItem = nullptr;
  resources::MenuBuilder m_menus;
  std::unique_ptr<resources::DialogBuilder> m_layout;
  std::atomic<std::int32_t> m_latestFrame{0};
  std::atomic<bool> m_frameTitlePending{false};
  bool m_closing = false;
};
