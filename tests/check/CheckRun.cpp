#include "CheckRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

namespace quorvel::testing {

bool CheckRun::has(const std::string& line) const {
    for (const std::string& l : lines) {
        if (l == line) return true;
    }
    return false;
}

std::string CheckRun::text() const {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
}

TestShow::TestShow(const std::string& script, const std::vector<std::string>& copies) {
    dir_.write("data/vantro.jpg", script);
    for (const std::string& name : copies) copy(name, name);
}

void TestShow::copy(const std::string& bundledName, const std::string& as) const {
    std::filesystem::copy_file(std::string(DEMO_DIR) + "/data/" + bundledName, dir_.path() + "/data/" + as,
                               std::filesystem::copy_options::overwrite_existing);
}

CheckRun TestShow::check(const std::string& options) const { return runCheck(dir_.path(), options); }

CheckRun runCheck(const std::string& show, const std::string& options) {
    CheckRun run;
    const std::string command = std::string(QUORVEL_CHECK) + " " + options + " '" + show + "' 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            run.lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace quorvel::testing
