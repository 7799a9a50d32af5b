// The checks of an instance's life without injected memory faults: XfmSetup's handles, the
// exports on a parameter block that cannot be locked, dialogs that confirm themselves, and the
// results dialog's commands with the clipboard free, busy or failing to close.
#include <cstdint>
#include <cstring>

#include "frame/param_types.h"
#include "host/report/block_decode.h"
#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

const char* exportName(BlockExport which) {
  switch (which) {
    case BlockExport::Init:
      return "XfmInit";
    case BlockExport::Destroy:
      return "XfmDestroy";
    case BlockExport::Setup:
      return "XfmSetup";
    case BlockExport::Do:
      return "XfmDo";
  }
  return "?";
}

// Offsets where the 32-bit value `value` lies in the block.
std::vector<size_t> offsetsOf(const std::vector<unsigned char>& block, uint32_t value) {
  std::vector<size_t> offsets;
  for (size_t i = 0; i + 4 <= block.size(); ++i) {
    uint32_t v;
    std::memcpy(&v, block.data() + i, 4);
    if (v == value) offsets.push_back(i);
  }
  return offsets;
}

// Offsets at which paramTypes starts an `h` field.
std::vector<size_t> handleFields(const std::string& types) {
  std::vector<size_t> offsets;
  size_t at = 0;
  for (char letter : types) {
    if (letter == 'h') offsets.push_back(at);
    at += paramTypeWidth(letter);
  }
  return offsets;
}

std::string offsetsText(const std::vector<size_t>& offsets) {
  std::string t;
  for (size_t o : offsets) t += (t.empty() ? "" : ", ") + std::to_string(o);
  return t;
}

std::string resourcesText(const TrialLog& log) {
  std::string t;
  for (const DialogEvent& d : log.dialogs)
    t += (t.empty() ? "" : ", ") + std::to_string(d.resource);
  return t.empty() ? "none" : t;
}

CheckOutcome handlesInChild(const CheckContext& c, Heartbeat& heartbeat) {
  CheckOutcome out;
  out.what = "XfmSetup stores the host window and module instance";
  Trial t(c.plugin, standardSetup(2, true));
  int setup = initAndSetUp(t, heartbeat);
  std::vector<unsigned char> block = t.blockBytes();
  heartbeat.phase("XfmDestroy");
  t.destroy();

  Problems problems;
  std::vector<size_t> handles = handleFields(c.plugin.info().paramTypes);
  auto inHandleField = [&](const std::vector<size_t>& found) {
    for (size_t o : found)
      for (size_t h : handles)
        if (o == h) return o;
    return SIZE_MAX;
  };
  size_t window = SIZE_MAX, module = SIZE_MAX;
  if (setup == 0) {
    problems.add("XfmSetup returned 0 with every dialog confirming itself");
  } else {
    auto windowAt =
        offsetsOf(block, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(t.hostWindow())));
    auto moduleAt =
        offsetsOf(block, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(c.plugin.module())));
    window = inHandleField(windowAt);
    module = inHandleField(moduleAt);
    if (windowAt.empty())
      problems.add("the host window is nowhere in the block");
    else if (window == SIZE_MAX)
      problems.add("the host window lies at " + offsetsText(windowAt) + ", not in an h field");
    if (moduleAt.empty())
      problems.add("the module instance is nowhere in the block");
    else if (module == SIZE_MAX)
      problems.add("the module instance lies at " + offsetsText(moduleAt) + ", not in an h field");
  }
  out.passed = !problems.any();
  out.why = problems.text();
  if (out.passed)
    out.what +=
        " in h fields (offsets " + std::to_string(window) + ", " + std::to_string(module) + ")";
  return out;
}

CheckOutcome unlockableInChild(const CheckContext& c, BlockExport which, Heartbeat& heartbeat) {
  CheckOutcome out;
  const char* name = exportName(which);
  out.what = std::string(name) + " on a parameter block that cannot be locked";
  MemoryCounters base = memoryCounters();
  Problems problems;
  int result = 0;
  {
    Trial t(c.plugin, standardSetup(2, true));
    // A host calls the others only on an initialised and set-up instance.
    if (which != BlockExport::Init) {
      initAndSetUp(t, heartbeat);
    }
    std::vector<unsigned char> bytes = t.blockBytes();
    const size_t dialogsBefore = t.log().dialogs.size();
    const size_t messagesBefore = t.log().messages.size();
    MemoryCounters before = memoryCounters();
    failLocksOf(t.block(), true);
    heartbeat.phase(std::string(name) + " on a block that cannot be locked");
    switch (which) {
      case BlockExport::Init:
        result = t.init();
        break;
      case BlockExport::Destroy:
        result = t.destroy();
        break;
      case BlockExport::Setup:
        result = t.setup();
        break;
      case BlockExport::Do:
        result = t.run();
        break;
    }
    failLocksOf(t.block(), false);
    MemoryCounters after = memoryCounters();

    if ((which == BlockExport::Init || which == BlockExport::Destroy) && result != 0)
      problems.add(std::string(name) + " returned " + std::to_string(result) + ", not 0");
    if (which == BlockExport::Do && result != 1)
      problems.add("XfmDo returned " + std::to_string(result) + ", not 1");
    if (t.log().messages.size() > messagesBefore)
      problems.add("it showed the message box \"" + t.log().messages[messagesBefore].caption +
                   "\"");
    for (size_t i = dialogsBefore; i < t.log().dialogs.size(); ++i) {
      const DialogEvent& d = t.log().dialogs[i];
      if (which != BlockExport::Setup || d.resource != kSettingsDialogResource)
        problems.add("it showed dialog " + std::to_string(d.resource));
      else if (d.waited)
        problems.add("its settings dialog waited for the person without a parameter block");
    }
    if (which == BlockExport::Do && (t.log().reads > 0 || t.log().progressBegins > 0))
      problems.add("XfmDo went on without its parameter block");
    if (t.blockBytes() != bytes) problems.add("the parameter block changed");
    judgeCleanUp(before, after, t.block(), &problems);
    judgeConduct(t, &problems);
    if (which != BlockExport::Destroy) {
      heartbeat.phase("XfmDestroy");
      t.destroy();
    }
  }
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  out.passed = !problems.any();
  out.why = problems.text();
  if (out.passed) out.what += " (" + std::to_string(result) + ")";
  return out;
}

CheckOutcome autoConfirmInChild(const CheckContext& c, int channels, Heartbeat& heartbeat) {
  CheckOutcome out;
  out.what =
      std::string("a whole run, every dialog confirming itself (") + channelsName(channels) + ")";
  Problems problems;
  MemoryCounters base = memoryCounters();
  int done = -1;
  std::string facts;
  {
    Trial t(c.plugin, standardSetup(channels, true));
    heartbeat.phase("XfmInit");
    int init = t.init();
    if (init != 1) problems.add("XfmInit returned " + std::to_string(init) + ", not 1");
    heartbeat.phase("XfmSetup");
    int setup = t.setup();
    if (setup == 0) problems.add("XfmSetup returned 0");
    if (lockCountOf(t.block()) != 0) problems.add("XfmSetup left the parameter block locked");
    if (setup != 0) {
      MemoryCounters before = memoryCounters();
      heartbeat.phase("XfmDo");
      done = t.run();
      judgeResult("XfmDo", done, &problems);
      judgeCleanUp(before, memoryCounters(), t.block(), &problems);
      if (done == 0 && !t.resultsShown()) problems.add("a completed run showed no results dialog");
    }
    heartbeat.phase("XfmDestroy");
    int destroy = t.destroy();
    if (destroy != 1) problems.add("XfmDestroy returned " + std::to_string(destroy) + ", not 1");
    bool sawSettings = false;
    for (const DialogEvent& d : t.log().dialogs) {
      if (d.resource == kSettingsDialogResource) sawSettings = true;
      if (d.waited) problems.add("dialog " + std::to_string(d.resource) + " waited for the person");
    }
    if (!sawSettings) problems.add("XfmSetup showed no settings dialog");
    judgeConduct(t, &problems);
    facts = "dialogs " + resourcesText(t.log()) + "; XfmDo " + std::to_string(done);
    if (!t.log().messages.empty()) {
      facts += "; message box \"" + t.log().messages.front().caption + "\"";
    }
  }
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  out.passed = !problems.any();
  out.why = problems.text();
  if (out.passed) out.what += ": " + facts;
  return out;
}

const char* modeName(ClipboardMode mode) {
  switch (mode) {
    case ClipboardMode::Free:
      return "clipboard free";
    case ClipboardMode::Busy:
      return "clipboard busy";
    case ClipboardMode::CloseFails:
      return "clipboard failing to close";
  }
  return "?";
}

CheckOutcome commandsInChild(const CheckContext& c, ClipboardMode mode, Heartbeat& heartbeat) {
  CheckOutcome out;
  out.what = std::string("results dialog: every command button pressed once, ") + modeName(mode);
  Problems problems;
  MemoryCounters base = memoryCounters();
  std::string facts;
  {
    TrialSetup setup = standardSetup(2, false);
    setup.person.pressEveryCommand = true;
    setup.person.resultsCloser = 0;
    Trial t(c.plugin, setup);
    clipboardBusy(mode == ClipboardMode::Busy);
    clipboardCloseFails(mode == ClipboardMode::CloseFails);
    heartbeat.phase("XfmInit");
    t.init();
    heartbeat.phase("XfmSetup (OK pressed)");
    int setupResult = t.setup();
    if (setupResult == 0) problems.add("XfmSetup returned 0 after OK");
    if (setupResult != 0) {
      MemoryCounters before = memoryCounters();
      heartbeat.phase("XfmDo, pressing every command of the results dialog");
      int done = t.run();
      judgeResult("XfmDo", done, &problems);
      judgeCleanUp(before, memoryCounters(), t.block(), &problems);
      if (done == 0 && !t.resultsShown()) problems.add("a completed run showed no results dialog");
    }
    clearFaults();
    heartbeat.phase("XfmDestroy");
    t.destroy();
    judgeConduct(t, &problems);
    const size_t boxes = t.log().messages.size();
    facts = std::to_string(boxes) + (boxes == 1 ? " message box" : " message boxes");
    if (t.log().saveDialogs > 0) facts += ", save dialog cancelled";
  }
  clipboardEmpty();
  judgeCleanUp(base, memoryCounters(), nullptr, &problems);
  out.passed = !problems.any();
  out.why = problems.text();
  if (out.passed) out.what += " (" + facts + ")";
  return out;
}

}  // namespace

CheckOutcome checkHandlesStored(const CheckContext& c) {
  return runIsolated("XfmSetup stores the host window and module instance", c.isolation,
                     [&](Heartbeat& h) { return handlesInChild(c, h); });
}

CheckOutcome checkUnlockableBlock(const CheckContext& c, BlockExport which) {
  return runIsolated(std::string(exportName(which)) + " on a parameter block that cannot be locked",
                     c.isolation, [&](Heartbeat& h) { return unlockableInChild(c, which, h); });
}

CheckOutcome checkAutoConfirm(const CheckContext& c, int channels) {
  return runIsolated(
      std::string("a whole run, every dialog confirming itself (") + channelsName(channels) + ")",
      c.isolation, [&](Heartbeat& h) { return autoConfirmInChild(c, channels, h); });
}

CheckOutcome checkCommands(const CheckContext& c, ClipboardMode mode) {
  return runIsolated(
      std::string("results dialog: every command button pressed once, ") + modeName(mode),
      c.isolation, [&](Heartbeat& h) { return commandsInChild(c, mode, h); });
}

}  // namespace orvane
