// The simulated machine's MIDI sequencer: how long a MIDI file plays, and
// the MCI commands on the simulated clock, with their errors and their log.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "os/events.h"
#include "os/mci.h"
#include "os/resources.h"
#include "os/sim/mci_devices.h"
#include "os/sim/midi_length.h"
#include "tests/support/sim_machine.h"

namespace {

using os::sim::MidiLengthMs;

std::string Be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Midi(uint16_t format, uint16_t division, const std::vector<std::string>& tracks) {
  std::string out = "MThd" + Be32(6);
  for (uint16_t v : {format, static_cast<uint16_t>(tracks.size()), division}) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
  }
  for (const std::string& t : tracks) out += "MTrk" + Be32(static_cast<uint32_t>(t.size())) + t;
  return out;
}

const std::string kEnd("\x00\xFF\x2F\x00", 4);
std::string Tempo(uint32_t us) { return std::string("\x00\xFF\x51\x03", 4) + Be32(us).substr(1); }

TEST(MidiLength, TheProgramsOwnTuneLasts12800Milliseconds) {
  auto tune = os::LoadResourceData(101, "CUSTOM");
  ASSERT_TRUE(tune);
  EXPECT_EQ(12800u, MidiLengthMs(*tune).value_or(0));
}

TEST(MidiLength, TempoChangesRunningStatusAndTheLongestTrackCount) {
  // 480 ticks a quarter: one quarter at 120 bpm (500 ms), then the tempo
  // halves and one more quarter lasts 1000 ms.
  std::string notes = Tempo(500000) + std::string("\x00\x90\x3C\x40", 4) + std::string("\x83\x60\x3C\x00", 4) +
                      Tempo(1000000) + std::string("\x83\x60\x80\x3C\x00", 5) + kEnd;
  EXPECT_EQ(1500u, MidiLengthMs(Midi(0, 480, {notes})).value_or(0));
  // Format 1: the tempo track and a longer second track.
  std::string longer = std::string("\x00\xC0\x05\x8F\x00\x90\x40\x40", 8) + kEnd;  // program change, then 1920 ticks
  EXPECT_EQ(2000u, MidiLengthMs(Midi(1, 480, {Tempo(500000) + kEnd, longer})).value_or(0));
  // SMPTE: 25 frames of 40 ticks a second.
  std::string smpte = std::string("\x00\x90\x3C\x40\x87\x68\x80\x3C\x00", 9) + kEnd;  // 1000 ticks
  EXPECT_EQ(1000u, MidiLengthMs(Midi(0, static_cast<uint16_t>((256 - 25) << 8 | 40), {smpte})).value_or(0));
}

TEST(MidiLength, AnythingElseIsNoTune) {
  std::string good = Midi(0, 480, {Tempo(500000) + kEnd});
  EXPECT_TRUE(MidiLengthMs(good));
  EXPECT_FALSE(MidiLengthMs(""));
  EXPECT_FALSE(MidiLengthMs("RIFF....WAVEfmt "));
  EXPECT_FALSE(MidiLengthMs(good.substr(0, good.size() - 2)));          // a track cut short
  EXPECT_FALSE(MidiLengthMs(Midi(3, 480, {kEnd})));                     // no such format
  EXPECT_FALSE(MidiLengthMs(Midi(0, 0, {kEnd})));                       // no division
  EXPECT_FALSE(MidiLengthMs(Midi(0, 480, {std::string("\x00\x3C\x40", 3) + kEnd})));  // data without status
  EXPECT_FALSE(MidiLengthMs(Midi(0, 480, {std::string("\xFF\xFF\xFF\xFF\x7F", 5)})));  // a delta of five bytes
}

class SimMci : public ::testing::Test {
 protected:
  void SetUp() override {
    m.WriteFile("C:\\Windows\\Temp\\music.res", *os::LoadResourceData(101, "CUSTOM"));
    m.WriteFile("C:\\Windows\\Temp\\text.mid", "not a tune");
  }
  std::string Log() {
    std::ifstream in(m.Folder() + "/mci.log");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  test::SimMachine m{[](os::sim::Machine& mm) { mm.timeScale = 10; }};
};

TEST_F(SimMci, ASequencerPlaysOnTheSimulatedClockAndStopsAtTheEnd) {
  std::string reply = "old";
  ASSERT_EQ(0u, os::MciSendString("open \"C:\\Windows\\Temp\\music.res\" alias Tune type sequencer", &reply));
  EXPECT_EQ("", reply);
  ASSERT_EQ(0u, os::MciSendString("status tune length", &reply));
  EXPECT_EQ("12800", reply);
  os::MciSendString("status TUNE mode", &reply);
  EXPECT_EQ("stopped", reply);
  ASSERT_EQ(0u, os::MciSendString("play tune"));
  os::WaitForEvents(2000);
  os::MciSendString("status tune position", &reply);
  EXPECT_GE(std::stoi(reply), 2000);
  os::MciSendString("status tune mode", &reply);
  EXPECT_EQ("playing", reply);  // 2 of 12.8 seconds
  os::WaitForEvents(11000);
  os::MciSendString("status tune position", &reply);
  EXPECT_EQ("12800", reply);
  os::MciSendString("status tune mode", &reply);
  EXPECT_EQ("stopped", reply);
  EXPECT_EQ(0u, os::MciSendString("close tune"));
  EXPECT_FALSE(os::sim::FindMciDevice("tune"));
  EXPECT_NE(std::string::npos, Log().find("status tune length\t0\t12800\n"));
}

TEST_F(SimMci, ErrorsOfTheCommands) {
  EXPECT_EQ(256u + 19, os::MciSendString("open C:\\Windows\\Temp\\none.mid alias a"));       // no such file
  EXPECT_EQ(256u + 25, os::MciSendString("open C:\\Windows\\Temp\\music.res alias a"));     // no type, no .mid
  EXPECT_EQ(256u + 40, os::MciSendString("open C:\\Windows\\Temp\\text.mid alias a"));      // not a tune
  EXPECT_EQ(256u + 7, os::MciSendString("close MIDI"));                                      // nothing open
  EXPECT_EQ(256u + 7, os::MciSendString("status MIDI length"));
  EXPECT_EQ(0u, os::MciSendString("open C:\\Windows\\Temp\\music.res alias MIDI type sequencer"));
  EXPECT_EQ(256u + 33, os::MciSendString("open C:\\Windows\\Temp\\music.res alias midi type sequencer"));
  EXPECT_EQ(256u + 38, os::MciSendString("open \"C:\\Windows alias x"));
  EXPECT_EQ(256u + 5, os::MciSendString("sing MIDI"));
  EXPECT_EQ(256u + 26, os::MciSendString("play MIDI from 99999"));
  EXPECT_EQ(256u + 37, os::MciSendString("set MIDI time format frames"));
  EXPECT_EQ(0u, os::MciSendString("close all"));
}

TEST_F(SimMci, AMachineWithoutAMidiDeviceOpensNoSequencer) {
  m.Update([](os::sim::Machine& mm) { mm.faults["mci"] = "no-device"; });
  EXPECT_NE(0u, os::MciSendString("open C:\\Windows\\Temp\\music.res alias MIDI type sequencer"));
  EXPECT_FALSE(os::sim::FindMciDevice("MIDI"));
}

}  // namespace
