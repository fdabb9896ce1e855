// quorvel: plays the show in the working directory's data/ folder.
#include <memory>

#include "engine/DemoEngine.h"

int main() {
    // The engine holds the whole timeline inline, so it lives on the heap, not the stack.
    auto engine = std::make_unique<DemoEngine>();
    if (FAILED(engine->create(nullptr))) return 0;
    return engine->run();
}
