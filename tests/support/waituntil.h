#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>

// Runs the event loop until `condition` holds or `bound` has passed; the condition's last
// value. Keeps a test from hanging when what it waits for never comes.
template <class Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds bound = std::chrono::seconds(10)) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > bound.count()) return condition();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return true;
}
