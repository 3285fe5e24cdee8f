#include "core/link/line_discipline.h"

namespace ravik {

LineDiscipline WantedDiscipline(uint32_t baudRate) {
    LineDiscipline wanted;
    wanted.baudRate = baudRate;
    wanted.binary = true;
    wanted.inX = true;
    wanted.xonLimit = 1024;
    wanted.xoffLimit = 1024;
    wanted.byteSize = 8;
    wanted.xonChar = kXon;
    wanted.xoffChar = kXoff;
    return wanted;
}

std::vector<std::string> FailedReadBackItems(const LineDiscipline& readBack, uint32_t requestedRate) {
    const struct {
        bool holds;
        const char* text;
    } items[] = {
        {readBack.baudRate == requestedRate, "Baud Rate"},
        {readBack.byteSize == 8, "Byte Size"},
        {readBack.parity == 0, "Parity"},
        {readBack.stopBits == 0, "Stop Bits"},
        {!readBack.outxDsrFlow, "DsrFlow"},
        {!readBack.outxCtsFlow, "Cts Flow"},
        {readBack.inX, "InX"},
        {!readBack.outX, "OutX"},
        {readBack.xonChar == kXon, "XON"},
        {readBack.xoffChar == kXoff, "XOFF"},
        {readBack.binary, "Binary"},
        {!readBack.parityCheck, "Parity"},
        {!readBack.nullDiscard, "dcb"},
    };
    std::vector<std::string> failed;
    for (const auto& item : items) {
        if (!item.holds) failed.emplace_back(item.text);
    }
    return failed;
}

}  // namespace ravik
