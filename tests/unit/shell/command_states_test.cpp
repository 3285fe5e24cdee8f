#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "core/shell/command_ids.h"
#include "core/shell/command_states.h"
#include "core/shell/frame_menu.h"

namespace ravik {
namespace {

using namespace command;

// The commands that need readings (and whose dialogs exist).
const int kReadingCommands[] = {kSaveAs, kSaveAsLocked, kPrint, kHideReading, kUnhideReading, kSite,
                                kHorizontalTile, kVerticalTile, kCascade, kArrangeIcons, kCloseAll};
// Always available.
const int kAlwaysOn[] = {kNew, kOpen, kAppend, kPrinterSetup, kExit, kHelp, kAbout, kDisplay, kCommunication,
                         kOutput, kProtocol, kColumnsPaint, kColumnsSign, kAlloyLibrary, kRemote};
// Send has no action: greyed in every state.
const int kNotYet[] = {kSend};

// What needs readings, an unsaved change or an unlocked file; Receive only
// while the port is closed, Connect always (it receives, or ends the connection).
TEST(ComputeCommandStates, WithAndWithoutReadingsAndWhenLocked) {
    for (bool readings : {false, true}) {
        for (bool unsaved : {false, true}) {
            for (bool locked : {false, true}) {
                const bool portOpen = unsaved != locked;  // open in half of the states
                const CommandStates states = ComputeCommandStates({readings, unsaved, locked, portOpen});
                SCOPED_TRACE(testing::Message() << "readings " << readings << " unsaved " << unsaved
                                                << " locked " << locked);
                EXPECT_EQ(states.command(kSave), unsaved);
                EXPECT_EQ(states.button(control::kSaveButton), unsaved);
                for (int id : kReadingCommands) EXPECT_EQ(states.command(id), readings) << id;
                for (int id : kAlwaysOn) EXPECT_TRUE(states.command(id)) << id;
                for (int id : kNotYet) EXPECT_FALSE(states.command(id)) << id;
                EXPECT_EQ(states.command(kEditReading), readings && !locked);
                EXPECT_EQ(states.command(kReceive), !portOpen);
                EXPECT_EQ(states.button(control::kPrintButton), readings);
                for (int id : {control::kOpenButton, control::kHelpButton, control::kConnectButton}) {
                    EXPECT_TRUE(states.button(id)) << id;
                }
            }
        }
    }
}

TEST(ComputeCommandStates, CoversEveryMenuCommandAndEveryButton) {
    std::set<int> menuIds;
    auto collect = [&](auto&& self, const std::vector<MenuNode>& nodes) -> void {
        for (const MenuNode& node : nodes) {
            if (node.isPopup()) self(self, node.children);
            else if (!node.isSeparator()) menuIds.insert(node.id);
        }
    };
    collect(collect, FrameMenu());
    const CommandStates states = ComputeCommandStates({});
    std::set<int> stateIds;
    for (const auto& [id, enabled] : states.commands) stateIds.insert(id);
    EXPECT_EQ(stateIds, menuIds);
    EXPECT_EQ(states.buttons.size(), 6u);
}

TEST(AcceleratorTable, EveryKeyOnceAndEveryActionInTheMenu) {
    std::set<std::tuple<AcceleratorKey, bool, bool>> keys;
    for (const Accelerator& a : AcceleratorTable()) {
        EXPECT_TRUE(keys.insert({a.key, a.control, a.shift}).second) << "key of command " << a.command;
        const CommandStates states = ComputeCommandStates({true, true, false, false});
        if (!IsNoActionCommand(a.command)) EXPECT_TRUE(states.commands.count(a.command)) << a.command;
    }
}

}  // namespace
}  // namespace ravik
