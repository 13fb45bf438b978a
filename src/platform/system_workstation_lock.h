#pragma once

#include "workstation_lock.h"

#include <memory>

// The workstation lock of this system (linux/ or windows/).
std::unique_ptr<WorkstationLock> systemWorkstationLock();
