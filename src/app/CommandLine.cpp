#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#ifndef HELM_VERSION
#define HELM_VERSION "unknown"
#endif

namespace helm {

namespace {

// The program's options that take a value; the value is the next argument, or follows "=".
const std::set<std::string> ownValued = {"test-port", "render-guide", "replay", "token"};

// Qt's own options, which the application object takes out of the arguments later. Qt accepts
// them with one dash or two.
const std::set<std::string> qtValued = {"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "geometry",
                                        "qwindowicon",
                                        "icon",
                                        "qwindowtitle",
                                        "title",
                                        "session",
                                        "display",
                                        "name",
                                        "style",
                                        "stylesheet"};
const std::set<std::string> qtFlags = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

// An option's name without its dashes and any "=value"; empty for an argument that is none.
std::string optionName(const std::string& a) {
    if (a.size() < 2 || a[0] != '-' || a == "--") {
        return {};
    }
    const std::size_t from = a[1] == '-' ? 2 : 1;
    return a.substr(from,
                    a.find('=') == std::string::npos ? std::string::npos : a.find('=') - from);
}

// The arguments after the program path without Qt's options; an own option's value is kept
// whatever it looks like.
QStringList withoutQtOptions(const std::vector<std::string>& args) {
    QStringList out{QStringLiteral("helmvantor")};
    // Byte for byte: an argument need not be UTF-8 (a file name), and its value goes back out.
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::string name = optionName(a);
        const bool inline_ = a.find('=') != std::string::npos;
        if (qtValued.contains(name) || (qtFlags.contains(name) && !inline_)) {
            i += qtValued.contains(name) && !inline_ ? 1 : 0;
            continue;
        }
        out << QString::fromLatin1(a);
        if (a.rfind("--", 0) == 0 && ownValued.contains(name) && !inline_ && i + 1 < args.size()) {
            out << QString::fromLatin1(args[++i]);
        }
    }
    return out;
}

// The bytes withoutQtOptions read, also inside the parser's messages.
std::string text(const QString& s) {
    return s.toLatin1().toStdString();
}

} // namespace

CommandLine::CommandLine(std::vector<std::string> a) : CommandLine(check(std::move(a)).line) {}

CommandLineCheck CommandLine::check(std::vector<std::string> given) {
    using Verdict = CommandLineCheck::Verdict;
    CommandLineCheck out;
    CommandLine& line = out.line;
    line.args = std::move(given);
    auto refuse = [&out](const std::string& why) {
        if (out.verdict != Verdict::refuse) {
            out.verdict = Verdict::refuse;
            out.error = "helmvantor: " + why;
        }
    };

    QStringList list = withoutQtOptions(line.args);
    // "--test-port" with nothing after it still means simulation mode, for whoever reads the
    // line; it is refused all the same, as no port can be opened.
    if (list.size() > 1 && list.back() == QLatin1String("--test-port")) {
        list.removeLast();
        line.simOnly_ = true;
        refuse("--test-port needs a port number (0 lets the system choose one).");
    }

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help({"h", "help"}, "");
    const QCommandLineOption version("version", "");
    const QCommandLineOption noCamera("no-camera", "");
    const QCommandLineOption testPort("test-port", "", "PORT");
    const QCommandLineOption renderGuide("render-guide", "", "FOLDER");
    const QCommandLineOption replay("replay", "", "FOLDER");
    const QCommandLineOption token("token", "", "SECRET");
    parser.addOptions({help, version, noCamera, testPort, renderGuide, replay, token});
    if (!parser.parse(list)) {
        // A parse error is said first: it may be why the rest reads oddly.
        out.verdict = Verdict::run;
        // Qt names the option as typed, which may hold a line break or a terminal's escape:
        // they are written out as escapes, so the refusal stays one plain line.
        const std::string said = quoted(text(parser.errorText()));
        refuse(said.substr(1, said.size() - 2));
    }

    auto first = [&parser](const QCommandLineOption& o) -> std::optional<std::string> {
        const QStringList values = parser.values(o);
        if (values.isEmpty()) {
            return std::nullopt;
        }
        return text(values.first());
    };
    line.noCamera_ = parser.isSet(noCamera);
    line.renderGuide_ = first(renderGuide);
    line.replay_ = first(replay);
    line.token_ = first(token);
    if (std::optional<std::string> port = first(testPort)) {
        line.simOnly_ = true;
        line.testPort_ = parsePort(*port);
        if (!line.testPort_) {
            refuse("--test-port needs a port number from 0 to 65535, not " + quoted(*port) + ".");
        }
    }
    for (const auto& [value, what] :
         {std::pair{&line.renderGuide_, "--render-guide needs a folder."},
          std::pair{&line.replay_, "--replay needs a folder."},
          std::pair{&line.token_, "--token needs a secret."}}) {
        if (*value && (*value)->empty()) {
            refuse(what);
        }
    }
    if (const QStringList extra = parser.positionalArguments(); !extra.isEmpty()) {
        refuse("Unexpected argument " + quoted(text(extra.first())) + " (options begin \"--\").");
    }
    if (out.verdict == Verdict::refuse) {
        return out;
    }
    if (parser.isSet(help)) {
        out.verdict = Verdict::help;
    } else if (parser.isSet(version)) {
        out.verdict = Verdict::version;
    }
    return out;
}

std::optional<std::string> CommandLine::arg(const std::string& name) const {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end() || it + 1 == args.end()) {
        return std::nullopt;
    }
    return *(it + 1);
}

std::vector<std::string> CommandLine::withoutToken() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--token") {
            ++i;
        } else if (args[i].rfind("--token=", 0) != 0) {
            out.push_back(args[i]);
        }
    }
    return out;
}

std::string CommandLine::usage() {
    return "Usage: helmvantor [OPTION]...\n"
           "Moves keyboard and mouse focus to the monitor you look at, on this computer and on\n"
           "PCs on the network that run the agent. Runs in an X11 session, in the tray.\n"
           "\n"
           "Options:\n"
           "  -h, --help             show this text and exit\n"
           "      --version          show the version and exit\n"
           "      --no-camera        leave the camera off\n"
           "      --token SECRET     let PCs of the older scheme log in with SECRET for this\n"
           "                         run, in place of the stored shared secret (neither stored\n"
           "                         nor logged)\n"
           "      --test-port PORT   simulation mode: nothing stored, no input captured or\n"
           "                         posted, a private clipboard, and a command port on\n"
           "                         127.0.0.1:PORT (0 lets the system choose; the log names it)\n"
           "      --render-guide FOLDER\n"
           "                         draw the pictures of the windows into FOLDER and exit\n"
           "      --replay FOLDER    score a recorded test session and exit\n"
           "Qt's own options (-platform, -display, -style...) are passed to Qt.\n"
           "\n"
           "Environment:\n"
           "  DISPLAY                the X11 display to run on\n"
           "  QT_QPA_PLATFORM        Qt's platform: xcb, or offscreen with --test-port\n"
           "  XDG_CONFIG_HOME        settings (com.pardwell.pivmor/defaults.json) and the\n"
           "                         autostart entry; default ~/.config\n"
           "  XDG_STATE_HOME         the log (Pivmor/pivmor.log); default ~/.local/state\n"
           "  XDG_DATA_HOME          received files, recordings and keys kept outside a\n"
           "                         keyring; default ~/.local/share\n"
           "  XDG_RUNTIME_DIR        where the running copy can be found by the next one\n"
           "For tests, read only in simulation mode (--test-port):\n"
           "  HELMVANTOR_HUB_PORT        the hub's TCP port (default 49400; 0: any)\n"
           "  HELMVANTOR_DISCOVERY_PORT  the discovery UDP port (default 49402; 0: any)\n"
           "  HELMVANTOR_HUB_STALL_MS    how long a PC may stop reading before its link is\n"
           "                             dropped, in milliseconds (default 5000)\n"
           "  HELMVANTOR_DISPLAYS        this computer's displays as a JSON list\n"
           "\n"
           "Exit status: 0 when all went well, 1 when the program cannot run here, 2 for a\n"
           "command line it cannot use.\n";
}

std::string CommandLine::version() {
    return std::string("helmvantor ") + HELM_VERSION;
}

std::optional<std::uint16_t> parsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size(); ++i) {
        char ch = s[i];
        auto c = static_cast<unsigned char>(ch);
        // The C1 control characters U+0080 to U+009F, encoded as 0xC2 0x80..0x9F: some
        // viewers take U+0085 for a line break, so they are escaped like the C0 ones.
        if (c == 0xC2 && i + 1 < s.size()) {
            auto next = static_cast<unsigned char>(s[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                char esc[12];
                std::snprintf(esc, sizeof esc, "\\u{%X}", next);
                out += esc;
                ++i;
                continue;
            }
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char esc[12];
                std::snprintf(esc, sizeof esc, "\\u{%X}", c);
                out += esc;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string CommandLine::startLine(bool iso) const {
    std::string list;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--token", 0) == 0 || (i >= 2 && args[i - 1] == "--token")) {
            continue;
        }
        list += list.empty() ? "" : ", ";
        list += quoted(a);
    }
    return std::string("start iso=") + (iso ? "true" : "false") + " args=[" + list + "]";
}

} // namespace helm
