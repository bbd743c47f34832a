#pragma once

#include <QVideoSink>
#include <deque>

#include "camera/videoinputs.h"

class FakeVideoInput;

// What happened to one device a fake opened.
struct FakeDevice {
  int index = -1;
  QVideoSink* sink = nullptr;  // set once started
  bool alive = true;           // false once stopped and released
  FakeVideoInput* input = nullptr;  // while alive
};

class FakeVideoInput final : public VideoInput {
 public:
  FakeVideoInput(FakeDevice& device, StartResult result) : m_device(device), m_result(result) {
    m_device.input = this;
  }
  ~FakeVideoInput() override {
    m_device.alive = false;
    m_device.input = nullptr;
  }
  StartResult Start(QVideoSink* sink) override {
    if (m_result == StartResult::Running) m_device.sink = sink;
    return m_result;
  }
  void Fail() { emit failed(); }

 private:
  FakeDevice& m_device;
  StartResult m_result;
};

// Named capture devices in place of the machine's; installed for its lifetime.
class FakeVideoInputs final : public VideoInputs {
 public:
  explicit FakeVideoInputs(QStringList deviceNames = {}) : names(std::move(deviceNames)) {
    InstallInputs(this);
  }
  ~FakeVideoInputs() override { InstallInputs(nullptr); }
  FakeVideoInputs(const FakeVideoInputs&) = delete;
  FakeVideoInputs& operator=(const FakeVideoInputs&) = delete;

  QStringList Names() const override { return names; }
  std::unique_ptr<VideoInput> Open(int index) const override {
    if (index < 0 || index >= names.size()) return nullptr;
    opened.push_back({index});
    return std::make_unique<FakeVideoInput>(opened.back(), startResult);
  }

  QStringList names;
  VideoInput::StartResult startResult = VideoInput::StartResult::Running;
  mutable std::deque<FakeDevice> opened;  // stable addresses
};
