// Work done away from the window's thread, for calls that may wait on a slow disk or a network
// that stopped answering: no tick ever waits on them.
#pragma once

#include <functional>

namespace kavri {

class Background {
public:
    // Work and the step it hands back for the window's thread.
    using Work = std::function<std::function<void()>()>;
    virtual ~Background() = default;
    // Runs work on a worker, in the order posted. Work touches nothing the window's thread uses;
    // what it found reaches the window through the step it returns.
    virtual void Post(Work work) = 0;
    // Waits at most ms for the work posted to finish; true when it has (its steps wait for Collect).
    virtual bool Wait(unsigned ms) = 0;
    // Runs on the window's thread the steps of the work finished since the last call.
    virtual void Collect() = 0;
};

}  // namespace kavri
