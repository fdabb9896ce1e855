// quorvel: plays the show in the working directory's data/ folder.
#include <memory>

#include "engine/DemoEngine.h"

int main() {
    // The engine holds the whole timeline inline, so it lives on the heap, not the stack.
    auto engine = std::make_unique<DemoEngine>();
    // A cancelled setup dialog is the user's choice; any other failure to start is an error.
    if (FAILED(engine->create(nullptr))) return engine->setupCancelled ? 0 : 1;
    return engine->run();
}
