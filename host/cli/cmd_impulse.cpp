// orvane impulse: reads a measurement (one stereo file, or the excitation and the response as
// two mono files), checks it before anything is deconvolved, and prints the impulse
// response's figures; with --out it also keeps impulse.wav, impulse.json and the pictures as
// one set.
#include <ostream>

#include "host/assess/assessment.h"
#include "host/cli/commands.h"
#include "host/cli/files_written.h"
#include "host/errors.h"
#include "host/pictures/dialog_picture_names.h"
#include "host/report/output_set.h"
#include "host/room/impulse_response.h"
#include "host/room/room_pictures.h"
#include "host/session/audio.h"
#include "host/system/file_writing.h"

namespace orvane {

namespace {

// One channel of a file at full scale 1 (the host reads 16-bit scale).
std::vector<double> channelOf(const Audio& audio, int channel) {
  std::vector<double> samples(static_cast<std::size_t>(audio.frames));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = audio.samples[i * audio.channels + channel] / kHostSampleScale;
  return samples;
}

// The measurement, refused in one line when its shape or its samples do not fit.
ImpulseInput readMeasurement(const ImpulseOptions& o, std::string* name) {
  ImpulseInput in;
  if (o.recordings.size() == 1) {
    const std::string& path = o.recordings[0];
    *name = path;
    if (probeAudio(path).channels != 2) {
      throw badInput(path +
                     " is mono: the excitation belongs on the left and the response on the "
                     "right of a stereo recording (or give them as two mono files)");
    }
    const Audio audio = readAudio(path);
    in.sampleRate = audio.sampleRate;
    in.excitation = channelOf(audio, 0);
    in.response = channelOf(audio, 1);
    checkFinite({in.excitation, in.response}, path);
    return in;
  }
  const std::string& excitation = o.recordings[0];
  const std::string& response = o.recordings[1];
  *name = response;
  const Audio x = probeAudio(excitation), y = probeAudio(response);
  for (const Audio* a : {&x, &y}) {
    if (a->channels != 1) {
      throw badInput(a->path +
                     " has two channels: an excitation and a response given apart are "
                     "mono files");
    }
  }
  if (x.sampleRate != y.sampleRate) {
    throw badInput(response + ": its sample rate (" + std::to_string(y.sampleRate) +
                   " Hz) is not that of " + excitation + " (" + std::to_string(x.sampleRate) +
                   " Hz)");
  }
  if (x.frames != y.frames) {
    throw badInput(response + ": " + std::to_string(y.frames) + " frames, " + excitation + ": " +
                   std::to_string(x.frames) +
                   ": the excitation and the response must be of one length");
  }
  in.sampleRate = x.sampleRate;
  in.excitation = channelOf(readAudio(excitation), 0);
  checkFinite({in.excitation}, excitation);
  in.response = channelOf(readAudio(response), 0);
  checkFinite({in.response}, response);
  return in;
}

// The impulse response as a mono 32-bit float WAV in the system's own units.
void writeImpulse(const std::string& path, const std::string& shown, const ImpulseResponse& r) {
  Audio audio;
  audio.channels = 1;
  audio.sampleRate = static_cast<int>(r.sampleRate);
  audio.frames = static_cast<long>(r.h.size());
  audio.samples.reserve(r.h.size());
  for (double v : r.h) audio.samples.push_back(static_cast<float>(v * kHostSampleScale));
  writeWaveform(path, audio, shown);
}

}  // namespace

int impulseCommand(const ImpulseOptions& options, std::ostream& out) {
  // A folder that cannot take the outputs is refused before the files are read.
  if (options.outDir) checkOutputFolder(*options.outDir);
  std::string name;
  ImpulseInput in = readMeasurement(options, &name);
  if (options.bandHighHz && *options.bandHighHz > in.sampleRate / 2.0) {
    throw badInput("--band reaches above half the sample rate (" +
                   std::to_string(static_cast<int>(in.sampleRate / 2.0)) + " Hz) of " + name);
  }
  in.bandLowHz = options.bandLowHz;
  in.bandHighHz = options.bandHighHz;
  const std::string problem = measurementProblem(in);
  if (!problem.empty()) throw badInput(name + ": " + problem);

  const ImpulseResponse r = deconvolve(in, name);
  const Json json = impulseJson(r);
  // Made only now: input refused above leaves no folder behind.
  std::vector<std::string> written;
  if (options.outDir) {
    OutputSet set(*options.outDir);
    const std::string wav = pictureInDirectory(set.target(), "impulse.wav");
    writeImpulse(set.staged(wav), wav, r);
    const std::string report = pictureInDirectory(set.target(), "impulse.json");
    writeTextFile(set.staged(report), dumpJson(json) + "\n");
    const std::vector<RoomGraph> graphs = impulseGraphs(r);
    writeRoomPictures(set.staged(set.target()), graphs);
    written = {wav, report};
    for (const std::string& path : roomPicturePaths(set.target(), graphs)) written.push_back(path);
    set.commit();
  }
  if (options.json) {
    out << dumpJson(json) << "\n";
  } else {
    out << impulseText(r);
    if (options.outDir) writeFilesWritten(out, *options.outDir, written, true);
  }
  out.flush();
  return kExitOk;
}

}  // namespace orvane
