#pragma once
// What the output subcommands (export, print) read alike: the mode and
// class names of their options and the settings they run with.

#include <optional>
#include <string>

#include "core/output/output_choices.h"
#include "core/settings/settings.h"

namespace ravik {

class Prompter;

// "paint", "bulk", "thin", "alloy", "sign".
std::optional<Mode> ModeNamed(const std::string& name);

// "pos,neg,inc" or any part of it ticks those classes; an empty list ticks
// none. False for an unknown name.
bool TakeClasses(const std::string& list, OutputChoices& choices);

// The settings of the directory; without a settings file there, the
// defaults (a subcommand creates no settings file).
bool LoadSubcommandSettings(const std::string& directory, Settings& settings, Prompter& prompter);

}  // namespace ravik
