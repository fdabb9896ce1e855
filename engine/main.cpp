// quorvel: plays a show (by default the one in the working directory) or views a 3D Studio file.
#include <memory>

#include "engine/PlayerEngine.h"
#include "platform/memory/ProcessHeap.h"

int main(int argc, char** argv) {
    quorvel::platform::prepareProcessHeap();
    // The engine holds the whole timeline inline, so it lives on the heap, not the stack.
    int status = 0;
    auto engine = quorvel::preparePlayer(argc, argv, status);
    if (!engine) return status;
    if (quorvel::noDisplayToPlayOn()) return 1;
    // A cancelled setup dialog is the user's choice; any other failure to start is an error.
    if (FAILED(engine->create(nullptr))) return engine->setupCancelled ? 0 : 1;
    return engine->run();
}
