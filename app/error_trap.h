// The program's error trap: a statement that throws is abandoned and the caller goes on.
#pragma once

namespace kavri {

// Runs statement; false when it threw and was abandoned.
template <class Statement>
bool Trap(Statement&& statement) noexcept {
    try {
        statement();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace kavri
