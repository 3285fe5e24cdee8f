#pragma once
// Which menu commands and quick buttons are enabled, as data: the desktop
// side greys its menu items and buttons from this after every change.

#include <map>

namespace ravik {

struct CommandInputs {
    bool hasReadings = false;
    bool unsavedChanges = false;
    bool locked = false;
    bool portOpen = false;
};

struct CommandStates {
    std::map<int, bool> commands;  // every command of the frame menu
    std::map<int, bool> buttons;   // every quick button, by control id
    bool command(int id) const;
    bool button(int id) const;
};

CommandStates ComputeCommandStates(const CommandInputs& inputs);

// False for Send, which has no action in this program: it stays greyed
// whatever the state.
bool IsCommandWired(int command);

}  // namespace ravik
