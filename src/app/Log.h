#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace helm {

// The program's one log: plain lines of "date message", no levels. Writers on any thread are
// serialised, so lines never interleave and none is lost when the file is (re)created.

// The log's place under the user's state folder ($XDG_STATE_HOME/Pivmor/pivmor.log). Creates
// the folder and any missing parents (0700) and makes the result the path log writes to.
std::string setUpLogPath();
// Points the log somewhere else without creating anything; an empty path turns logging off.
void setLogPath(const std::string& path);
std::string logPath();

// Appends one line. Before writing, a file larger than 5,000,000 bytes becomes the previous
// log (the path + ".1", replacing an older one) so the log starts afresh. A new file is created
// 0600. Never fails towards the caller: a line that cannot be written (folder removed, disk full)
// is dropped.
void log(const std::string& message);

// While one lives, the lines its thread logs go through `route` first (the repeat filter of
// lines a PC can cause); what the route writes with log goes straight to the file.
class LogRoute {
public:
    using Write = std::function<void(const std::string&)>;
    explicit LogRoute(Write route);
    ~LogRoute();
    LogRoute(const LogRoute&) = delete;
    LogRoute& operator=(const LogRoute&) = delete;

private:
    friend void log(const std::string& message);
    Write route_;
    LogRoute* outer_;
};

// "yyyy-MM-dd HH:mm:ss +0000" in UTC.
std::string logDate(std::time_t t);

} // namespace helm
