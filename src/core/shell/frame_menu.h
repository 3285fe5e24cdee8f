#pragma once
// The frame menu "ORVEXMENU" and the accelerator table "Orvex_Accel" as data;
// the desktop side builds its menu bar and shortcuts from them.

#include <utility>
#include <vector>

namespace ravik {

// A menu entry: a popup when it has children, a separator when it has
// neither a label nor an id, else a command item. Labels are exactly the
// menu's texts, "\t" separating the accelerator text.
struct MenuNode {
    MenuNode() = default;  // a separator
    MenuNode(const char* text, int command) : label(text), id(command) {}
    MenuNode(const char* text, std::vector<MenuNode> items) : label(text), children(std::move(items)) {}

    const char* label = nullptr;
    int id = 0;
    std::vector<MenuNode> children;
    bool isPopup() const { return !children.empty(); }
    bool isSeparator() const { return label == nullptr && id == 0; }
};

// The menu bar's entries in position order.
const std::vector<MenuNode>& FrameMenu();

// The position of the "&Window" popup, where the list of open windows goes.
inline constexpr int kWindowMenuPosition = 6;

enum class AcceleratorKey { A, C, E, H, N, O, P, S, U, V, X, Z, Delete, Insert, PageDown, Up };

struct Accelerator {
    AcceleratorKey key;
    bool control;
    bool shift;
    int command;
};

// "Orvex_Accel". Commands 20, 21, 22, 126, 127, 162 and 163 have no action:
// their keys are taken before any window sees them pressed.
const std::vector<Accelerator>& AcceleratorTable();

bool IsNoActionCommand(int command);

}  // namespace ravik
