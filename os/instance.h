// One instance of the program at a time: the first instance holds a mark
// that later ones see, and takes commands from them (a DDE server, service
// "Tarnvale", topic "FormDDE", on Windows; a socket in the machine folder
// on the host).
//
// Public functions: PreviousInstanceExists(), ServeInstanceCommands(),
//                   StopServingInstanceCommands(), SendToPreviousInstance().
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace os {

// True when another instance runs. Otherwise this process becomes the first
// instance and keeps its mark until it ends.
bool PreviousInstanceExists();

// Starts taking commands; each arrives through the window's events.
bool ServeInstanceCommands(std::function<void(const std::string&)> onCommand);
void StopServingInstanceCommands();

// Hands a command to the first instance. False when it could not be reached
// or did not take the command within timeoutMs.
bool SendToPreviousInstance(std::string_view command, uint32_t timeoutMs);

}  // namespace os
