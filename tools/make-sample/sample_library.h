#pragma once
// The demo alloy library: a few common grades of every group the library
// checks, each filed under the group its limits belong to.

#include "core/library/alloy_library.h"

namespace ravik::sample {

AlloyLibrary DemoLibrary();

}  // namespace ravik::sample
