#pragma once
// What every subcommand checks before it writes an output file, and its
// exit statuses.

#include <string>
#include <vector>

#include "core/readings/readings_loader.h"

namespace ravik {

class Prompter;

// Exit status of a subcommand that did only part of its work: a receive
// that saved the readings that arrived whole, an info on a damaged file.
inline constexpr int kPartialExit = 3;

// Whole inputs go on; with force so do damaged ones, as far as they loaded.
bool InputLoadedEnough(LoadOutcome outcome, bool force);

// True when output may be written: it is none of the inputs, it is not a
// folder, FIFO or device, and it does not exist yet or force was given.
// Otherwise the reason is told and the answer is false.
bool MayWriteOutput(const std::string& output, const std::vector<std::string>& inputs, bool force,
                    Prompter& prompter);

}  // namespace ravik
