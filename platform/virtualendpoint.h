#pragma once

#include "platform/hidbus.h"
#include "platform/virtualhandshake.h"

#include <chrono>
#include <memory>

namespace plat {

// The board behind a VirtualServer: it names itself to every new connection and handles the
// reports each connection sends. Called only from the server's thread.
class VirtualEndpoint {
 public:
  // What the server does after one received report.
  struct Outcome {
    bool reply = false;                   // send `reply` back on the same connection
    std::chrono::nanoseconds replyDelay{};  // extra time before the reply goes out
    bool vanish = false;                  // drop every connection and remove the socket now
  };

  // The state of one connection (a command that spans several reports belongs to it).
  class Session {
   public:
    virtual ~Session() = default;
    virtual Outcome OnReport(const Report& received, Report& reply) = 0;
  };

  virtual ~VirtualEndpoint() = default;
  virtual VirtualHandshake Handshake() = 0;
  virtual std::unique_ptr<Session> OpenSession() = 0;
};

}  // namespace plat
