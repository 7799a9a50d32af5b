// Ctrl-C while a plug-in works: the first sets the run's cancel flag, which the plug-in polls
// after its progress steps; a second ends the host as Ctrl-C normally would.
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

}  // namespace orvane
