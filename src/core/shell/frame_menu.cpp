#include "core/shell/frame_menu.h"

#include <algorithm>

#include "core/shell/command_ids.h"

namespace ravik {

namespace {
using namespace command;
const MenuNode kSeparator{};
}  // namespace

const std::vector<MenuNode>& FrameMenu() {
    static const std::vector<MenuNode> kMenu = {
        {"&File",
         {{"&New\tCtrl+N", kNew},
          {"&Open\tCtrl+O", kOpen},
          {"Appen&d", kAppend},
          {"&Save\tCtrl+S", kSave},
          {"Save &As", kSaveAs},
          {"Save As &Locked", kSaveAsLocked},
          {"F&ind Readings...", kFindReadings},
          kSeparator,
          {"&Print\tCtrl+P", kPrint},
          {"Printer Se&tup", kPrinterSetup},
          {"Alloy Li&brary", kAlloyLibrary},
          {"E&xit", kExit}}},
        {"&Edit",
         {{"&Reading\tCtrl+E", kEditReading},
          {"&Site", kSite},
          {"&Hide Reading\tCtrl+H", kHideReading},
          {"&Unhide Reading\tCtrl+U", kUnhideReading}}},
        {"&Configure",
         {{"&Display", kDisplay},
          {"&Communication", kCommunication},
          {"&Output", kOutput},
          {"&Protocol", kProtocol},
          {"Co&lumns",
           {{"&Paint", kColumnsPaint},
            {"&Bulk", kColumnsBulk},
            {"&Thin", kColumnsThin},
            {"&Alloy", kColumnsAlloy},
            {"&Signature", kColumnsSign}}}}},
        {"&Receive", kReceive},
        {"&Send", kSend},
        {"Re&mote", kRemote},
        {"&Window",
         {{"&Horizontal Tile", kHorizontalTile},
          {"&Vertical Tile", kVerticalTile},
          {"&Cascade", kCascade},
          {"Arrange &Icons", kArrangeIcons},
          {"Close &All", kCloseAll},
          {"Com&pare Spectra...", kCompareSpectra}}},
        {"&Help", {{"&Help", kHelp}, kSeparator, {"&About", kAbout}}},
    };
    return kMenu;
}

const std::vector<Accelerator>& AcceleratorTable() {
    using K = AcceleratorKey;
    // The table holds Ctrl+V twice; one entry is enough for the same key.
    static const std::vector<Accelerator> kTable = {
        {K::A, true, false, kSaveAs},    {K::C, true, false, 22},
        {K::E, true, false, kEditReading}, {K::H, true, false, kHideReading},
        {K::N, true, false, kNew},       {K::O, true, false, kOpen},
        {K::P, true, false, kPrint},     {K::S, true, false, kSave},
        {K::U, true, false, kUnhideReading}, {K::V, true, false, 162},
        {K::Delete, false, false, 163},  {K::Delete, false, true, 21},
        {K::Insert, true, false, 22},    {K::Insert, false, true, 162},
        {K::PageDown, false, false, 126}, {K::Up, false, false, 127},
        {K::X, true, false, 21},         {K::Z, true, false, 20},
    };
    return kTable;
}

bool IsNoActionCommand(int command) {
    constexpr int kNoAction[] = {20, 21, 22, 126, 127, 162, 163};
    return std::find(std::begin(kNoAction), std::end(kNoAction), command) != std::end(kNoAction);
}

}  // namespace ravik
