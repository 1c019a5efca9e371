// A busy wait that never sleeps: it counts the pauses, and a hook runs at each, as events
// would meanwhile.
#pragma once

#include "music/data/SharedFile.h"

#include <functional>

namespace pv::test {

class NoWait final : public IBusyWait
{
public:
    void Wait200ms() override
    {
        ++calls;
        if (onWait)
            onWait(calls);
    }
    int calls = 0;
    std::function<void(int)> onWait;
};

} // namespace pv::test
