// Ctrl-C while a plug-in works: the first sets the run's cancel flag, which the plug-in polls
// after its progress steps; a second ends the host as Ctrl-C normally would. Outside the
// plug-in's run, InterruptsNoted keeps it from cutting the host's work short.
#pragma once

namespace orvane {

class CancelOnInterrupt {
 public:
  // `flag` is the int behind the instance record's cancelFlag; it must outlive this guard.
  explicit CancelOnInterrupt(int* flag);
  ~CancelOnInterrupt();
  // Whether Ctrl-C came while this guard stood, whatever the plug-in made of it.
  bool interrupted() const;
  CancelOnInterrupt(const CancelOnInterrupt&) = delete;
  CancelOnInterrupt& operator=(const CancelOnInterrupt&) = delete;

 private:
  void (*previous_)(int);
};

// Ctrl-C or a request to terminate outside the plug-in's run, while this guard stands: the
// first is noted, not acted on, so that the host leaves its output folder as it was (before a
// commit) or ends moving a set in (during one); a second ends the host. One guard at a time.
class InterruptsNoted {
 public:
  InterruptsNoted();
  ~InterruptsNoted();
  bool came() const;
  InterruptsNoted(const InterruptsNoted&) = delete;
  InterruptsNoted& operator=(const InterruptsNoted&) = delete;

 private:
  void (*previousInterrupt_)(int);
  void (*previousTerminate_)(int);
};

}  // namespace orvane
