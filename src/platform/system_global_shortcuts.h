#pragma once

#include "global_shortcuts.h"

#include <memory>

// The global keys of this system (linux/ or windows/).
std::unique_ptr<GlobalShortcuts> systemGlobalShortcuts();
