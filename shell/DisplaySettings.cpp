#include "shell/DisplaySettings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeading = "[display]";
// "[show FOLDER]": a show folder's own choices.
constexpr const char* kShowHeading = "[show ";
constexpr const char* kPluginsAllowed = "allowed";
// A settings file is a few hundred bytes, and some more per show folder remembered; anything
// much larger is not ours.
constexpr std::uintmax_t kLargestFile = 1024 * 1024;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool readUnsigned(const std::string& text, unsigned& value) {
    if (text.empty()) return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

bool readMode(const std::string& text, unsigned& width, unsigned& height) {
    const auto x = text.find('x');
    return x != std::string::npos && readUnsigned(text.substr(0, x), width) &&
           readUnsigned(text.substr(x + 1), height);
}

// Values are single lines; a line break would split the value when it is read back.
std::string oneLine(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return result;
}

}  // namespace

std::string displaySettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // XDG base directory rules: a relative XDG_CONFIG_HOME is ignored.
    if (config && config[0] == '/') return std::string(config) + "/quorvel/settings.ini";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/quorvel/settings.ini";
    return {};
}

SettingsReadResult readDisplaySettings(const std::string& path, DisplaySettings& settings,
                                       std::string& problem) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return SettingsReadResult::Missing;
    auto damaged = [&](std::string why) {
        problem = std::move(why);
        return SettingsReadResult::Damaged;
    };
    if (!fs::is_regular_file(path, ec)) return damaged("not a regular file");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kLargestFile) return damaged("too large to be a settings file");

    std::ifstream in(path, std::ios::binary);
    if (!in) return damaged("cannot be read");
    std::stringstream content;
    content << in.rdbuf();
    const std::string text = content.str();
    if (text.find('\0') != std::string::npos) return damaged("holds binary data");

    std::map<std::string, std::string> values;
    std::set<std::string> trustedShows;
    bool inDisplay = false;
    bool headingSeen = false;
    std::string showFolder;  // of the [show FOLDER] section being read; empty elsewhere
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line[0] == '[') {
            inDisplay = line == kHeading;
            headingSeen = headingSeen || inDisplay;
            const bool isShow = line.rfind(kShowHeading, 0) == 0 && line.back() == ']';
            showFolder = isShow ? line.substr(std::strlen(kShowHeading), line.size() - std::strlen(kShowHeading) - 1)
                                : std::string();
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos) return damaged("line without '=': " + line.substr(0, 40));
        // Keys of other sections, and keys a later version may add, are passed over.
        const std::string key = trimmed(line.substr(0, eq));
        if (inDisplay) values[key] = trimmed(line.substr(eq + 1));
        if (!showFolder.empty() && key == "plugins" && trimmed(line.substr(eq + 1)) == kPluginsAllowed)
            trustedShows.insert(showFolder);
    }
    if (!headingSeen) return damaged("no [display] section");

    DisplaySettings read;
    for (const char* key : {"adapter", "device", "windowed", "mode", "format", "multisample"}) {
        if (!values.count(key)) return damaged(std::string("no ") + key + " value");
    }
    read.adapter = values["adapter"];
    read.device = values["device"];
    unsigned windowed = 0;
    if (!readUnsigned(values["windowed"], windowed) || windowed > 1) return damaged("bad windowed value");
    read.windowed = windowed == 1;
    if (!readMode(values["mode"], read.width, read.height)) return damaged("bad mode value");
    if (!readUnsigned(values["format"], read.format)) return damaged("bad format value");
    if (!readUnsigned(values["multisample"], read.multiSample) || read.multiSample > 16)
        return damaged("bad multisample value");
    read.trustedShows = std::move(trustedShows);
    settings = read;
    return SettingsReadResult::Loaded;
}

bool writeDisplaySettings(const std::string& path, const DisplaySettings& settings, std::string& error) {
    const fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    if (ec) {
        error = "cannot make " + target.parent_path().string() + ": " + ec.message();
        return false;
    }

    std::ostringstream text;
    text << "# quorvel: the setup dialog's last choice\n"
         << kHeading << "\n"
         << "adapter=" << oneLine(settings.adapter) << "\n"
         << "device=" << oneLine(settings.device) << "\n"
         << "windowed=" << (settings.windowed ? 1 : 0) << "\n"
         << "mode=" << settings.width << "x" << settings.height << "\n"
         << "format=" << settings.format << "\n"
         << "multisample=" << settings.multiSample << "\n";
    for (const std::string& folder : settings.trustedShows) {
        // A folder name with a line break cannot be written as a heading; it is not remembered.
        if (folder.empty() || oneLine(folder) != folder) continue;
        text << "\n" << kShowHeading << folder << "]\n"
             << "plugins=" << kPluginsAllowed << "\n";
    }
    const std::string data = text.str();

    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the settings file.
    const bool complete = written == data.size() && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!complete || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(complete ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace quorvel
