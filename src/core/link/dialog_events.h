#pragma once
// What the transfer machines ask their dialog to show. A machine queues
// these as it works; the dialog takes them after each tick or button action
// and applies them to its controls, found by their numeric ids.

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/link/remote_displays.h"

namespace ravik {

// Set a control's text.
struct TextEvent {
    int control = 0;
    std::string text;
    bool operator==(const TextEvent&) const = default;
};
// Check or clear a check box.
struct CheckEvent {
    int control = 0;
    bool checked = false;
    bool operator==(const CheckEvent&) const = default;
};
// Enable or disable a control; kEveryControlButCancel stands for every
// control of the dialog except its Cancel button (id 2).
struct EnableEvent {
    int control = 0;
    bool enabled = false;
    bool operator==(const EnableEvent&) const = default;
};
inline constexpr int kEveryControlButCancel = -1;
// Show or hide a control.
struct ShowEvent {
    int control = 0;
    bool visible = false;
    bool operator==(const ShowEvent&) const = default;
};
// The default beep.
struct BeepEvent {
    bool operator==(const BeepEvent&) const = default;
};
// Fill a picture control with a plain shade.
enum class Shade { Grey, LightGrey };
struct FillEvent {
    int control = 0;
    Shade shade = Shade::Grey;
    bool operator==(const FillEvent&) const = default;
};
// Stretch a picture over the whole of a control.
struct PictureEvent {
    int control = 0;
    MonoPicture picture;
};
// Stretch one of the program's own bitmaps ("Pass", "Fail") over a control.
struct BitmapEvent {
    int control = 0;
    std::string name;
    bool operator==(const BitmapEvent&) const = default;
};
// Plot a spectrum over the whole of a control (white background, PlotLine).
struct PlotEvent {
    int control = 0;
    SpectrumPlot plot;
};
// Replace a list's items; selected is the index of the selected item or -1.
struct ListEvent {
    int control = 0;
    std::vector<std::string> items;
    int selected = -1;
};
// Select an entry of a drop-down list.
struct SelectEvent {
    int control = 0;
    int index = 0;
    bool operator==(const SelectEvent&) const = default;
};
// The machine has finished: the dialog ends with this result.
struct EndEvent {
    int result = 0;
    bool operator==(const EndEvent&) const = default;
};

using DialogEvent = std::variant<TextEvent, CheckEvent, EnableEvent, ShowEvent, BeepEvent, FillEvent,
                                 PictureEvent, BitmapEvent, PlotEvent, ListEvent, SelectEvent, EndEvent>;

// The queue a machine fills and its dialog empties.
class DialogEvents {
public:
    void push(DialogEvent event) { events_.push_back(std::move(event)); }
    std::vector<DialogEvent> take() { return std::exchange(events_, {}); }

private:
    std::vector<DialogEvent> events_;
};

}  // namespace ravik
