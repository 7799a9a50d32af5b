// The checks of what a plug-in declares: its export table, QueryXfm's answer, and the layout
// its paramTypes letters describe.
#include <cstring>

#include "frame/xfm.h"
#include "frame/param_types.h"
#include "host/report/block_decode.h"
#include "host/validator/validator_checks.h"

namespace orvane {

namespace {

struct ExpectedExport {
  const char* name;
  int ordinal;
};

const ExpectedExport kExports[] = {
    {"QueryXfm", kOrdQueryXfm},
    {"XfmInit", kOrdXfmInit},
    {"XfmSetup", kOrdXfmSetup},
    {"XfmDo", kOrdXfmDo},
    {"XfmDestroy", kOrdXfmDestroy},
    {"_DisplayCallback@20", kOrdDisplayCallback},
    {"DIALOGMsgProc", kOrdSettingsDialog},
    {"DIALOGMsgProc2", kOrdResultsDialog},
};

// The info block sits inside a larger buffer of a known pattern, so that bytes written past
// its end, or into the two bytes no plug-in writes, can be seen.
constexpr size_t kGuardBytes = 256;
constexpr unsigned char kPattern = 0xA5;

struct StringField {
  const char* name;
  size_t offset;
  size_t size;
};

const StringField kStringFields[] = {
    {"name", offsetof(XFMINFO, name), sizeof(XFMINFO::name)},
    {"notice", offsetof(XFMINFO, notice), sizeof(XFMINFO::notice)},
    {"description", offsetof(XFMINFO, description), sizeof(XFMINFO::description)},
    {"paramTypes", offsetof(XFMINFO, paramTypes), sizeof(XFMINFO::paramTypes)},
    {"paramFlags", offsetof(XFMINFO, paramFlags), sizeof(XFMINFO::paramFlags)},
};

CheckOutcome queryInChild(HMODULE module, Heartbeat& heartbeat) {
  CheckOutcome out;
  out.what = "QueryXfm";
  auto query = reinterpret_cast<QueryXfmProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "QueryXfm")));
  std::vector<unsigned char> buffer(sizeof(XFMINFO) + kGuardBytes, kPattern);
  heartbeat.phase("QueryXfm");
  short answer = query(reinterpret_cast<XFMINFO*>(buffer.data()));

  Problems problems;
  if (answer != kXfmVersion) {
    char text[64];
    std::snprintf(text, sizeof text, "answered 0x%X, not 0x%X",
                  static_cast<unsigned>(static_cast<unsigned short>(answer)),
                  static_cast<unsigned>(kXfmVersion));
    problems.add(text);
  }
  std::string name, types, flags;
  for (const StringField& f : kStringFields) {
    const char* start = reinterpret_cast<const char*>(buffer.data() + f.offset);
    const void* end = std::memchr(start, 0, f.size);
    if (!end) {
      problems.add(std::string(f.name) + " is not terminated within its " + std::to_string(f.size) +
                   " characters");
      continue;
    }
    std::string value(start, static_cast<const char*>(end) - start);
    if (f.offset == offsetof(XFMINFO, name)) name = value;
    if (f.offset == offsetof(XFMINFO, paramTypes)) types = value;
    if (f.offset == offsetof(XFMINFO, paramFlags)) flags = value;
  }
  if (flags != std::string(types.size(), 'y'))
    problems.add("paramFlags is not one \"y\" per letter of paramTypes");
  const size_t unused = offsetof(XFMINFO, infoWord) + sizeof(WORD);
  if (buffer[unused] != kPattern || buffer[unused + 1] != kPattern)
    problems.add("it wrote bytes 242 and 243, which belong to the host");
  for (size_t i = sizeof(XFMINFO); i < buffer.size(); ++i) {
    if (buffer[i] != kPattern) {
      problems.add("it wrote beyond the " + std::to_string(sizeof(XFMINFO)) +
                   "-byte info block (byte " + std::to_string(i) + ")");
      break;
    }
  }
  out.passed = !problems.any();
  out.why = problems.text();
  if (out.passed)
    out.what = "QueryXfm: answers 0x489, \"" + name + "\", every string within its field";
  return out;
}

}  // namespace

CheckOutcome checkExports(HMODULE module) {
  CheckOutcome out;
  Problems problems;
  std::string list;
  for (const ExpectedExport& e : kExports) {
    list += (list.empty() ? "" : ", ") + std::string(e.name) + " @" + std::to_string(e.ordinal);
    FARPROC byName = GetProcAddress(module, e.name);
    FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal));
    if (!byName && !byOrdinal) {
      problems.add(std::string("no ") + e.name + " and no ordinal " + std::to_string(e.ordinal));
    } else if (!byName) {
      problems.add(std::string("no export named ") + e.name);
    } else if (!byOrdinal) {
      problems.add(std::string(e.name) + " has no ordinal " + std::to_string(e.ordinal));
    } else if (byName != byOrdinal) {
      problems.add("ordinal " + std::to_string(e.ordinal) + " is not " + e.name);
    }
  }
  out.what = "exports: " + list;
  out.passed = !problems.any();
  out.why = problems.text();
  return out;
}

CheckOutcome checkQueryXfm(HMODULE module, const IsolationSettings& isolation) {
  return runIsolated("QueryXfm", isolation,
                     [&](Heartbeat& heartbeat) { return queryInChild(module, heartbeat); });
}

CheckOutcome checkLayout(const PluginInfo& info) {
  CheckOutcome out;
  Problems problems;
  unsigned long covered = 0;
  size_t fields = 0;
  for (size_t i = 0; i < info.paramTypes.size(); ++i) {
    unsigned width = paramTypeWidth(info.paramTypes[i]);
    if (width == 0) {
      problems.add(std::string("unknown letter '") + info.paramTypes[i] + "' at position " +
                   std::to_string(i + 1) + " of paramTypes");
      continue;
    }
    covered += width;
    ++fields;
  }
  if (info.paramSize == 0) problems.add("paramSize is 0");
  if (covered > info.paramSize) {
    problems.add("the " + std::to_string(fields) + " fields of paramTypes take " +
                 std::to_string(covered) + " bytes, more than paramSize " +
                 std::to_string(info.paramSize));
  }
  if (fields == 0) problems.add("paramTypes describes no field");
  out.what = "paramTypes: " + std::to_string(fields) + " fields cover ";
  if (covered == info.paramSize) {
    out.what += "all " + std::to_string(covered) + " bytes of paramSize";
  } else {
    out.what +=
        std::to_string(covered) + " of " + std::to_string(info.paramSize) + " bytes of paramSize";
    if (covered < info.paramSize)
      out.what += " (" + std::to_string(info.paramSize - covered) + " bytes untyped)";
  }
  out.passed = !problems.any();
  out.why = problems.text();
  return out;
}

}  // namespace orvane
