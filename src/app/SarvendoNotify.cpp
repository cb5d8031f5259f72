// SPDX-License-Identifier: GPL-3.0-or-later
// sarvendo-notify [--user NAME [--runtime-root DIR]] [--] TEXT...: hands a dial-up
// notification to the running Sarvendo over the session bus. Meant for pppd's ip-up and
// ip-down scripts, for example
//     sarvendo-notify --user alice "$PPPD_PID 1 $IFNAME"
// pppd runs those scripts as root with an empty environment, where no session bus is to
// be found: --user names the desktop user whose Sarvendo is to hear it. The command then
// becomes that user for good (groups, group and user, before it opens anything) and uses
// the user's session bus in DIR/UID/bus (DIR is /run/user unless given). Several TEXT
// arguments are joined with blanks. Exits 0 when Sarvendo took the text, 1 when no
// Sarvendo is running or the bus cannot be reached, 2 on wrong use.
#include "app/DialUpNotification.h"
#include "app/DialUpNotifyService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kDelivered = 0;
constexpr int kNotDelivered = 1;
constexpr int kWrongUse = 2;

struct Options
{
    std::optional<std::string> user;
    std::string runtimeRoot = "/run/user";
    std::vector<std::string> words;
};

constexpr const char* kUsage = "usage: sarvendo-notify [--user NAME [--runtime-root DIR]] [--] TEXT...\n"
                               "       sarvendo-notify --help\n";

int Usage()
{
    std::fputs(kUsage, stderr);
    std::fputs("Run as root (from pppd's ip-up), --user NAME sends TEXT to NAME's Sarvendo as NAME.\n", stderr);
    return kWrongUse;
}

int Help()
{
    std::fputs(kUsage, stdout);
    std::fputs("Hands TEXT (a number, a blank, a number, a blank and more) to the running Sarvendo\n"
               "over the session bus; several TEXT arguments are joined with blanks.\n"
               "\n"
               "  --user NAME        (as root) become user NAME for good and use NAME's session bus;\n"
               "                     --user=NAME works too\n"
               "  --runtime-root DIR look for that bus in DIR/UID/bus instead of /run/user/UID/bus\n"
               "  --                 end of the options: what follows is TEXT even when it starts\n"
               "                     with a dash\n"
               "  --help             print this help, then exit\n"
               "\n"
               "Exit status: 0 Sarvendo took the text; 1 not delivered (no Sarvendo on the bus, no\n"
               "bus, the user's rights could not be taken); 2 wrong use (no text, an unknown\n"
               "option, no such user, another user's name when not run as root).\n"
               "\n"
               "Copyright 2026 The Sarvendo developers.\n"
               "Sarvendo is free software under the GNU General Public License, version 3 or\n"
               "later (GPL-3.0-or-later): you may change and share it under its terms. It comes\n"
               "with NO WARRANTY, to the extent permitted by law.\n",
               stdout);
    return EXIT_SUCCESS;
}

std::optional<Options> ParseOptions(int argc, char* argv[])
{
    Options options;
    int next = 1;
    while (next < argc) {
        const std::string argument = argv[next];
        if (argument == "--") {
            ++next;
            break;
        }
        if ((argument == "--user" || argument == "--runtime-root") && next + 1 < argc) {
            (argument == "--user" ? options.user.emplace() : options.runtimeRoot) = argv[next + 1];
            next += 2;
        } else if (argument.starts_with("--user=")) {
            options.user = argument.substr(7);
            ++next;
        } else if (argument.starts_with("--")) {
            return std::nullopt;
        } else {
            break;
        }
    }
    for (; next < argc; ++next) {
        options.words.emplace_back(argv[next]);
    }
    if (options.words.empty() || (options.user && options.user->empty())) {
        return std::nullopt;
    }
    return options;
}

// A path as a D-Bus address value: bytes outside the always-safe set are written as %XX.
std::string AddressValue(const std::string& path)
{
    std::string value;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool safe = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                          c == '_' || c == '/' || c == '.' || c == '\\' || c == '*';
        if (safe) {
            value += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            value += escaped;
        }
    }
    return value;
}

// Becomes the named user for good and points the session bus at that user's bus. Returns
// an exit status when that cannot be done.
std::optional<int> BecomeUser(const std::string& name, const std::string& runtimeRoot)
{
    const passwd* entry = getpwnam(name.c_str());
    if (entry == nullptr) {
        std::fprintf(stderr, "sarvendo-notify: no user named %s\n", name.c_str());
        return kWrongUse;
    }
    const uid_t uid = entry->pw_uid;
    const gid_t gid = entry->pw_gid;
    const std::string home = entry->pw_dir != nullptr ? entry->pw_dir : "/";
    if (geteuid() != uid) {
        if (geteuid() != 0) {
            std::fprintf(stderr, "sarvendo-notify: only root may send for another user (%s)\n", name.c_str());
            return kWrongUse;
        }
        // Groups first, while still allowed to set them; the user last, so nothing of
        // root's remains. Each step is checked: a half-dropped command must not go on.
        if (initgroups(name.c_str(), gid) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
            std::perror("sarvendo-notify: cannot become the user");
            return kNotDelivered;
        }
        if (getuid() != uid || geteuid() != uid || getgid() != gid || getegid() != gid ||
            (uid != 0 && setuid(0) == 0)) {
            std::fputs("sarvendo-notify: the user's rights could not be taken for good\n", stderr);
            return kNotDelivered;
        }
    }
    const std::string runtime = runtimeRoot + "/" + std::to_string(uid);
    const std::string bus = runtime + "/bus";
    struct stat info
    {
    };
    if (stat(bus.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode) || info.st_uid != uid) {
        std::fprintf(stderr, "sarvendo-notify: %s has no session bus at %s (not logged in?)\n", name.c_str(),
                     bus.c_str());
        return kNotDelivered;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + AddressValue(bus)).c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    setenv("USER", name.c_str(), 1);
    setenv("LOGNAME", name.c_str(), 1);
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::string(argv[1]) == "--help") {
        return Help();
    }
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        return Usage();
    }
    if (options->user) {
        if (const std::optional<int> failed = BecomeUser(*options->user, options->runtimeRoot)) {
            return *failed;
        }
    }
    // The text is joined and cut to what Sarvendo keeps before it is converted, so a huge
    // argument costs nothing and never splits a character.
    std::string joined;
    for (const std::string& word : options->words) {
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += word;
        if (joined.size() > sarvendo::kNotificationTextLimit) {
            break;
        }
    }
    const std::string text = sarvendo::CutNotificationText(joined);

    QCoreApplication application(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fputs(options->user ? "sarvendo-notify: the user's session bus cannot be reached\n"
                                 : "sarvendo-notify: no session bus (from pppd's scripts, name the desktop "
                                   "user with --user NAME)\n",
                   stderr);
        return kNotDelivered;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(sarvendo::kDialUpServiceName), QString::fromLatin1(sarvendo::kDialUpObjectPath),
        QString::fromLatin1(sarvendo::kDialUpInterface), QStringLiteral("Notify"));
    call << QString::fromLocal8Bit(text);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        std::fprintf(stderr, "sarvendo-notify: %s\n", reply.errorMessage().toLocal8Bit().constData());
        return kNotDelivered;
    }
    return kDelivered;
}
