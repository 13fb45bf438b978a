#include "../system_workstation_lock.h"

#include <windows.h>

namespace {

class WindowsWorkstationLock final : public WorkstationLock {
public:
    Result lock() override {
        if (LockWorkStation())
            return {true, QStringLiteral("Arbeitsplatz gesperrt: LockWorkStation")};
        return {
            false,
            QStringLiteral("Arbeitsplatz nicht gesperrt (LockWorkStation: Fehler %1)").arg(GetLastError())};
    }
};

} // namespace

std::unique_ptr<WorkstationLock> systemWorkstationLock() {
    return std::make_unique<WindowsWorkstationLock>();
}
