#pragma once
#include <cstdint>

namespace qs {

class Timer;
class Trace;

// The run's one clock and scheduler as the services beside the forms see it
// (the sound, the score file): the time, the trace, the hold of a waiting
// sound and timers that belong to no form. The runtime is the one clock of a
// run; a test may stand in for it.
class RunClock {
 public:
  virtual ~RunClock() = default;
  virtual std::int64_t now() const = 0;
  virtual Trace& trace() = 0;
  // Holds every timer and input for `ms` of the run's clock.
  virtual void hold(std::int64_t ms) = 0;
  // True once the program has ended: its code talks to no device any more.
  virtual bool programEnded() const = 0;

  // Timers of no form (see Timer::attach).
  virtual void attachTimer(Timer& t) = 0;
  virtual void detachTimer(Timer& t) = 0;
  virtual void timerChanged(Timer& t) = 0;
};

}  // namespace qs
