#include "core/shell/command_states.h"

#include <set>

#include "core/shell/command_ids.h"
#include "core/shell/frame_menu.h"

namespace ravik {

namespace {

using namespace command;

void CollectCommands(const std::vector<MenuNode>& nodes, std::map<int, bool>& commands) {
    for (const MenuNode& node : nodes) {
        if (node.isPopup()) {
            CollectCommands(node.children, commands);
        } else if (!node.isSeparator()) {
            commands[node.id] = true;
        }
    }
}

// The commands that need readings to act on.
constexpr int kNeedReadings[] = {kSaveAs,       kSaveAsLocked, kPrint,        kHideReading,
                                 kUnhideReading, kSite,         kHorizontalTile, kVerticalTile,
                                 kCascade,      kArrangeIcons, kCloseAll};

}  // namespace

bool CommandStates::command(int id) const {
    const auto found = commands.find(id);
    return found != commands.end() && found->second;
}

bool CommandStates::button(int id) const {
    const auto found = buttons.find(id);
    return found != buttons.end() && found->second;
}

bool IsCommandWired(int id) {
    // Send has no action in this program: it is shown greyed rather than
    // offered and doing nothing.
    return id != kSend;
}

CommandStates ComputeCommandStates(const CommandInputs& in) {
    CommandStates states;
    CollectCommands(FrameMenu(), states.commands);

    states.commands[kSave] = in.unsavedChanges;
    for (int id : kNeedReadings) states.commands[id] = in.hasReadings;
    states.commands[kEditReading] = in.hasReadings && !in.locked;
    states.commands[kReceive] = !in.portOpen;
    for (auto& [id, enabled] : states.commands) enabled = enabled && IsCommandWired(id);

    using namespace control;
    states.buttons[kOpenButton] = true;
    states.buttons[kSaveButton] = in.unsavedChanges;
    states.buttons[kPrintButton] = in.hasReadings && IsCommandWired(kPrint);
    states.buttons[kRemoteButton] = IsCommandWired(kRemote);
    states.buttons[kConnectButton] = IsCommandWired(in.portOpen ? kConnectionEnded : kReceive);
    states.buttons[kHelpButton] = true;
    return states;
}

}  // namespace ravik
