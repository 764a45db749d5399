// The log that a support desk reads: Tarnvale.log, one line an event, each
// line the local time to the millisecond and plain words, in UTF-8 (the
// file begins with a byte-order mark).
//
// The file lies in the program's folder; when that folder cannot be written
// (a read-only medium), in the user's temporary folder (never the per-run
// folder, which goes at close). It keeps the runs of earlier starts, newest
// last, and is cut from the front, at whole lines, to stay under
// kLogLimitBytes. Writing never stops an operation: a write that fails ends
// the writing for this run, with no second attempt, and the events are
// still kept for ThisRunLog().
//
// Every event is one call: Log("the event in plain words"). The records of
// outside commands, checks, step markers and outcomes have their helpers in
// sys/log_records.h.
//
// Public: kLogFileName, kLogLimitBytes, StartLog(), StopLog(), Log(),
//         LogPath(), LogWriting(), ThisRunLog(), CutLogFront(), OneLogLine(),
//         LogTimeText().
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "os/system.h"

namespace sys {

constexpr const char* kLogFileName = "Tarnvale.log";
constexpr size_t kLogLimitBytes = size_t{1} << 20;

// Starts this run's log: the first folder of programFolder and the user's
// temporary folder where the file can be written; the earlier runs in it
// are cut from the front when they leave too little room. Forgets the
// events of an earlier StartLog. Returns the file's path, "" when neither
// folder can be written (the events are then kept for ThisRunLog() only).
std::string StartLog(std::string_view programFolder);

// Ends this run's log: later events are neither written nor kept.
void StopLog();

// One event. Line breaks and control characters in the text become blanks
// or " / ", so that every event stays one line.
void Log(std::string_view text);

// The file the log goes to (also after a failed write, so that what was
// written can still be opened); "" when there is none.
const std::string& LogPath();
// Whether events still go to the file.
bool LogWriting();

// This run's lines, as they were written (at most kLogLimitBytes, cut from
// the front at whole lines).
const std::string& ThisRunLog();

// The end of the text that is at most `limit` bytes long and begins at the
// start of a line.
std::string_view CutLogFront(std::string_view text, size_t limit);

// The event's text as one line: CR LF, CR and LF become " / ", other
// control characters blanks.
std::string OneLogLine(std::string_view text);

// "2026-12-09 14:03:07.045": how each line begins.
std::string LogTimeText(const os::LocalTimeValue& time);

}  // namespace sys
