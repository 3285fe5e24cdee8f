#pragma once
// Planted: a window may not include the frame.
#include "ui/frame/frame_window.h"
