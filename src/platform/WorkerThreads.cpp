#include "platform/WorkerThreads.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace quorin {

int WorkerThreadCount() {
    if (const char* env = std::getenv("QUORIN_THREADS")) {
        const long n = std::strtol(env, nullptr, 10);
        if (n > 0) return static_cast<int>(n > 256 ? 256 : n);
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware == 0 ? 1 : static_cast<int>(hardware);
}

namespace {
// Below this much work per thread, starting the thread costs more than it saves.
constexpr std::size_t kWorkPerThread = std::size_t{1} << 18;
}  // namespace

std::size_t RangeCount(std::size_t count, std::size_t costEach) {
    if (count == 0) return 0;
    const std::size_t work = count * std::max<std::size_t>(1, costEach);
    const std::size_t worth = std::max<std::size_t>(1, work / kWorkPerThread);
    return std::min({static_cast<std::size_t>(WorkerThreadCount()), worth, count});
}

void ForEachRange(std::size_t count, std::size_t parts,
                  const std::function<void(std::size_t, std::size_t, std::size_t)>& work) {
    parts = std::min(parts, count);
    if (parts == 0) return;
    const std::size_t share = (count + parts - 1) / parts;
    std::vector<std::jthread> helpers;
    helpers.reserve(parts - 1);
    for (std::size_t p = 1; p < parts; ++p) {
        const std::size_t from = std::min(count, p * share);
        const std::size_t to = std::min(count, from + share);
        helpers.emplace_back([&work, p, from, to] { work(p, from, to); });
    }
    work(0, 0, std::min(count, share));
}  // the helpers are joined as they go out of scope

}  // namespace quorin
