// orvane room: the parameters of the measured response against Schroeder's integration of the
// true one, band by band; a response too short for T30; the refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "host/host_test_support.h"
#include "host/room/room_acoustics.h"
#include "room_signals.h"

using namespace roomtest;

TEST(RoomParameters, MatchSchroederOnTheTrueResponse) {
  const SweepMeasurement& s = sweepMeasurement();
  const orvane::RoomParameters room = orvane::analyseRoom(s.measured.h, kRate, "measured");
  ASSERT_EQ(room.bands.size(), 8u);
  for (const orvane::BandParameters& band : room.bands) {
    if (*band.nominalHz < 250 || *band.nominalHz > 4000) continue;
    SCOPED_TRACE(*band.nominalHz);
    const Reference truth = schroeder(s.room, band.midbandHz);
    ASSERT_TRUE(band.edt.seconds && band.t20.seconds && band.t30.seconds);
    EXPECT_NEAR(*band.edt.seconds / truth.edtS, 1.0, 0.10);
    EXPECT_NEAR(*band.t20.seconds / truth.t20S, 1.0, 0.05);
    EXPECT_NEAR(*band.t30.seconds / truth.t30S, 1.0, 0.05);
    EXPECT_NEAR(*band.c50Db, truth.c50Db, 1.0);
    EXPECT_NEAR(*band.c80Db, truth.c80Db, 1.0);
    EXPECT_LT(*band.t30.correlation, -0.99);
    EXPECT_TRUE(band.notes.empty()) << band.notes.front();
  }
}

TEST(RoomCommand, ATooShortResponseGivesNoT30AndSaysWhy) {
  hosttest::ScratchDir dir;
  // 0.15 s of a room that takes 0.4 s to fall by 60 dB: some 20 dB of decay.
  std::vector<double> h = trueRoom(std::vector<double>(8, 0.4), 0.15);
  hosttest::writeWav(dir.file("short.wav"), 1, kRate, h, true);
  const auto r = hosttest::runOrvane({"room", "short.wav", "--json"}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  const orvane::Json band = orvane::Json::parse(r.out)["room"]["bands"][4];
  ASSERT_EQ(band["hz"], 1000);
  EXPECT_TRUE(band["t30_s"].is_null());
  EXPECT_TRUE(band["t20_s"].is_null());
  EXPECT_TRUE(band["c50_db"].is_number());
  const std::string notes = band["notes"].dump();
  EXPECT_NE(notes.find("T30: the decay falls"), std::string::npos) << notes;
  EXPECT_NE(notes.find("45 dB needed"), std::string::npos) << notes;
}

TEST(RoomCommand, RefusesBadInput) {
  hosttest::ScratchDir dir;
  std::vector<double> h = trueRoom(std::vector<double>(8, 0.2), 0.1);
  hosttest::writeWav(dir.file("stereo.wav"), 2, kRate, std::vector<double>(400, 0.1), true);
  hosttest::writeWav(dir.file("zeros.wav"), 1, kRate, std::vector<double>(400, 0.0), true);
  h[50] = INFINITY;
  hosttest::writeWav(dir.file("inf.wav"), 1, kRate, h, true);
  for (const auto& [file, mustSay] : {std::pair<const char*, const char*>{"stereo.wav", "mono"},
                                      {"zeros.wav", "silent"},
                                      {"inf.wav", "inf.wav: frame 50"}}) {
    const auto r = hosttest::runOrvane({"room", file}, dir.path());
    EXPECT_EQ(r.status, 2) << file;
    const auto lines = hosttest::lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    EXPECT_NE(lines[0].find(mustSay), std::string::npos) << lines[0];
  }
}
