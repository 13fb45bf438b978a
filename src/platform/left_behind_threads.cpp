#include "left_behind_threads.h"

#include <atomic>

namespace leftbehind {
namespace {

std::atomic<bool> leftBehind{false};

} // namespace

void noteThreadLeftBehind() {
    leftBehind = true;
}

bool anyThreadLeftBehind() {
    return leftBehind;
}

} // namespace leftbehind
