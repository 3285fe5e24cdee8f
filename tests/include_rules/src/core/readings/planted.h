#pragma once
// Planted: the core may not include the desktop side.
#include "ui/views/table_window.h"
