#include "PluginMessages.h"

#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace quorvel::check {

std::vector<std::string> catchPluginMessages(const std::function<void()>& call) {
    std::fflush(stderr);
    std::FILE* sink = std::tmpfile();
    const int saved = sink ? ::dup(STDERR_FILENO) : -1;
    if (saved < 0 || ::dup2(::fileno(sink), STDERR_FILENO) < 0) {
        if (saved >= 0) ::close(saved);
        if (sink) std::fclose(sink);
        call();
        return {};
    }
    call();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);

    std::string caught;
    std::rewind(sink);
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), sink)) > 0;) caught.append(buffer, got);
    std::fclose(sink);

    std::vector<std::string> texts;
    std::istringstream lines(caught);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(": ");
        texts.push_back(colon == std::string::npos ? line : line.substr(colon + 2));
    }
    return texts;
}

}  // namespace quorvel::check
