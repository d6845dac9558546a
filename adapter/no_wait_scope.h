// Whether the calling thread may wait for a driver. The window's thread runs
// under a NoWaitScope: its item reads through the adapter list are served
// from what the background fetch has already fetched, and a value not there
// yet is asked for and reported as not available. Every other thread (the
// hypertext worker, the SNMP threads, the headless run) reads as it always
// has, waiting for the driver within its own deadlines.
//
// A window command that needs the adapter's own answer before it can go on
// (an export, a firmware upgrade) runs on a thread of its own, and printing
// waits for the fetched values with the event loop running.
// Scopes nest. A scope belongs to the thread that made it and must end on
// that thread, innermost first.
#pragma once

namespace quivera {

class NoWaitScope {
 public:
  NoWaitScope();
  ~NoWaitScope();
  NoWaitScope(const NoWaitScope&) = delete;
  NoWaitScope& operator=(const NoWaitScope&) = delete;

 private:
  bool outer_;
};

// True inside a NoWaitScope of the calling thread.
bool NoWaitRequested();

}  // namespace quivera
