#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <random>

#include "board/emulatedboard.h"
#include "device/usbchannel.h"
#include "display/colorbar.h"
#include "display/statusbarex.h"
#include "files/configfile.h"
#include "files/legacyexport.h"
#include "platform/virtualbus.h"
#include "tests/support/scriptedprompts.h"

inline board::BoardConfig SingleBoard() { return {}; }


// Everything a board keeps that a configuration file can reach: pages 0xF9..0xFE and the
// memory of the expansion table and of the first cell blocks.
struct BoardState {
  std::vector<board::EmulatedBoard::Page> pages;
  std::vector<std::uint8_t> memory;
  friend bool operator==(const BoardState&, const BoardState&) = default;
};

// The file commands on a device link to one emulated board (no wire time), a grid and a
// status bar of their own, the dispatcher's pause and resume counted, every prompt scripted.
class FilesFixture : public ::testing::Test {
 protected:
  static constexpr int kStateCells = 6;

  void Attach(const board::BoardConfig& config) {
    boardConfig = config;
    board = std::make_unique<board::EmulatedBoard>(dir.path().toStdString(), "board", config);
    board->SetReportPeriod({});
    ASSERT_TRUE(board->Plug());
    ASSERT_FALSE(link.Connect());
    link.LoadGlobalBlock();
    link.LoadExpansionTable();
    const bool single = config.model == board::Model::Single;
    grid.m_rows = single ? 1 : config.rows;
    grid.m_cols = single ? 1 : config.cols;
  }

  FileCommandContext Context() {
    return {.owner = nullptr,
            .device = link,
            .grid = grid,
            .statusBar = statusBar,
            .readDeviceType = [this] { return DeviceType(); },
            .pauseDispatcher = [this] { ++pauses; },
            .resumeDispatcher = [this] { ++resumes; }};
  }

  QString DeviceType() {
    std::lock_guard channel(link.ChannelLock());
    CUSBChannel::Block page{};
    link.ReadPage(CUSBChannel::PAGE_IDENTITY, page);
    const char* code = reinterpret_cast<const char*>(page.data() + 48);
    return QString::fromLatin1(code, static_cast<qsizetype>(strnlen(code, 16))).toUpper();
  }

  void Save(const QString& path) {
    prompts.files.push_back(path);
    CConfigFile(Context()).OnSaveConfigFile();
  }
  void Load(const QString& path) {
    prompts.files.push_back(path);
    CConfigFile(Context()).OnLoadConfigFile();
    Settle();
  }
  void Export(const QString& path) {
    prompts.files.push_back(path);
    CLegacyExport(Context()).OnSaveLegacyConfigFile();
  }

  // A reply comes only after every earlier report was taken, writes included.
  void Settle() {
    std::lock_guard channel(link.ChannelLock());
    CUSBChannel::Block page{};
    link.ReadPage(CUSBChannel::PAGE_IDENTITY, page);
  }

  BoardState State() const {
    BoardState state;
    for (int page = 0xF9; page <= 0xFE; ++page) state.pages.push_back(board->ReadPage(static_cast<std::uint8_t>(page)));
    state.memory = board->ReadMemory(0, (kStateCells + 1) * 0x100);
    return state;
  }

  // Every byte of pages 0xF9..0xFD and of the table and cell memory set at random, keeping the
  // layout bytes of page 0xF9 so the board stays the model it is.
  void Scramble(unsigned seed) {
    std::mt19937 random(seed);
    auto randomPage = [&] {
      board::EmulatedBoard::Page page;
      for (auto& byte : page) byte = static_cast<std::uint8_t>(random());
      return page;
    };
    board::EmulatedBoard::Page global = randomPage();
    const board::EmulatedBoard::Page factory = board->ReadPage(CUSBChannel::PAGE_GLOBAL);
    global[GlobalBlock::EXPANDBOARDCOL] = factory[GlobalBlock::EXPANDBOARDCOL];
    global[GlobalBlock::EXPANDBOARDROW] = factory[GlobalBlock::EXPANDBOARDROW];
    board->WritePage(CUSBChannel::PAGE_GLOBAL, global);
    for (int page = 0xFA; page <= 0xFD; ++page) board->WritePage(static_cast<std::uint8_t>(page), randomPage());
    std::vector<std::uint8_t> memory((kStateCells + 1) * 0x100);
    for (auto& byte : memory) byte = static_cast<std::uint8_t>(random());
    board->WriteMemory(0, memory);
    link.LoadGlobalBlock();
    link.LoadExpansionTable();
  }

  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  ScriptedPrompts::Message LastMessage() const {
    return prompts.messages.empty() ? ScriptedPrompts::Message{} : prompts.messages.back();
  }

  QTemporaryDir dir;
  plat::VirtualBus bus{dir.path().toStdString()};
  CUSBChannel link{bus};
  CColorBar grid;
  CStatusBarEx statusBar;
  ScriptedPrompts prompts;
  board::BoardConfig boardConfig;
  std::unique_ptr<board::EmulatedBoard> board;
  int pauses = 0;
  int resumes = 0;
};
