#pragma once

// Root of the device-link classes; it holds nothing itself.
class hiddata {
 public:
  hiddata() = default;
  virtual ~hiddata() = default;
  hiddata(const hiddata&) = delete;
  hiddata& operator=(const hiddata&) = delete;
};
