#include "platform/registry/LinuxRegistry.h"
#include "platform/registry/MemoryRegistry.h"
#include "platform/sys/System.h"
#include "tests/fixtures/Children.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/support/FakeResolver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <grp.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace registry;

namespace {

// A registry whose store lies in a fresh folder (not yet made: the first change makes it).
struct StoreTest : ::testing::Test {
    test_fixtures::TempFolder dir{"registry"};
    sys::RealSystem system{dir.path.string()};
    std::string store = (dir.path / "config/Osprey/registry").string();
    LinuxRegistry reg{system, store};
};

std::vector<std::string> names(Registry& r, Root root, const std::string& path, bool keys) {
    std::vector<std::string> out;
    keys ? r.enumKeyNames(root, path, out) : r.enumValueNames(root, path, out);
    return out;
}

} // namespace

TEST(Registry, HostOfNetworkPort) {
    const struct {
        const char* port;
        const char* host; // nullptr: not a network port
    } rows[] = {
        {"socket://192.168.1.20:9100", "192.168.1.20"},
        {"socket://192.168.1.20", "192.168.1.20"},
        {"ipp://printer.example/ipp/print", "printer.example"},
        {"IPPS://printer.example:631/printers/x", "printer.example"},
        {"http://10.0.0.5:631/ipp", "10.0.0.5"},
        {"https://10.0.0.5/ipp", "10.0.0.5"},
        {"lpd://10.0.0.7/queue?reserve=none", "10.0.0.7"},
        {"lpd://user@10.0.0.7/queue", "10.0.0.7"},
        {"socket://[fe80::1]:9100", "fe80::1"},
        {"socket://[::1]", "::1"},
        {"ipp://my%2Dprinter.local/ipp", "my-printer.local"},
        {"socket://host?waiteof=false", "host"},
        {"LPT1:", nullptr},
        {"USB001", nullptr},
        {"usb://Corvane/V6204R?serial=1", nullptr},
        {"dnssd://Printer._ipp._tcp.local/", nullptr},
        {"file:///tmp/out", nullptr},
        {"socket://", nullptr},
        {"socket://:9100", nullptr},
        {"socket://[::1", nullptr},
        {"socket://bad%2", nullptr},
        {"socket://two%20words", nullptr},
        {"", nullptr},
    };
    for (const auto& r : rows) {
        auto host = hostOfNetworkPort(r.port);
        if (r.host) {
            ASSERT_TRUE(host.has_value()) << r.port;
            EXPECT_EQ(*host, r.host) << r.port;
        } else {
            EXPECT_FALSE(host.has_value()) << r.port << " -> " << host.value_or("");
        }
    }
}

// With a resolver a network port's value is an address: a dnssd:// URI names a service (its
// host part decoded, cut at the first "._"; "local" when no domain), a number needs no
// lookup, and a failed lookup is told why.
TEST_F(StoreTest, ResolverGivesNetworkPortsTheirAddresses) {
    net::FakeResolver resolver;
    resolver.hosts["printhost"] = "10.0.0.8";
    resolver.services["Label Printer._pdl-datastream._tcp.local"] = "10.0.0.9";
    resolver.services["Lab.one._ipps._tcp.local"] = "10.0.0.10";
    LinuxRegistry resolving(system, store, "", &resolver);
    std::vector<std::string> problems;
    resolving.onLookupProblem = [&](const std::string& why) { problems.push_back(why); };
    const std::pair<const char*, const char*> rows[] = {
        {"lpd://printhost/raw", "10.0.0.8"},
        {"socket://10.1.2.3:9100", "10.1.2.3"},
        {"dnssd://Label%20Printer._pdl-datastream._tcp.local/", "10.0.0.9"},
        {"DNSSD://Lab%2Eone._ipps._tcp/?uuid=1", "10.0.0.10"},
        {"dnssd://P._printer._tcp.example.com./", ""},
        {"dnssd://Printer.local/", ""},
        {"ipp://gone.example/ipp", ""},
    };
    for (const auto& [port, address] : rows) {
        RawValue v;
        resolving.queryValue(HKEY_LOCAL_MACHINE, std::string(kTcpIpPortsKey) + "\\" + port,
                             "IPAddress", v);
        EXPECT_EQ(v, *address ? textValue(address) : RawValue{}) << port;
    }
    EXPECT_EQ(resolver.asked,
              (std::vector<std::string>{"printhost", "Label Printer._pdl-datastream._tcp.local",
                                        "Lab.one._ipps._tcp.local", "P._printer._tcp.example.com",
                                        "gone.example"}));
    EXPECT_EQ(problems.back(), "no address for ipp://gone.example/ipp: not found");
}

TEST_F(StoreTest, PortAddressesComeFromThePortNames) {
    const std::string ports = kTcpIpPortsKey;
    RawValue v;
    ASSERT_EQ(
        reg.queryValue(HKEY_LOCAL_MACHINE, ports + "\\socket://10.1.2.3:9100", "IPAddress", v),
        ERROR_SUCCESS);
    EXPECT_EQ(v, textValue("10.1.2.3"));
    // Names are matched without regard to case.
    EXPECT_EQ(reg.queryValue(HKEY_LOCAL_MACHINE,
                             "system\\currentcontrolset\\control\\print\\monitors\\standard tcp/ip "
                             "port\\ports\\socket://h",
                             "ipaddress", v),
              ERROR_SUCCESS);
    EXPECT_TRUE(reg.keyExists(HKEY_LOCAL_MACHINE, ports + "\\lpd://h/q"));
    EXPECT_TRUE(reg.keyExists(HKEY_LOCAL_MACHINE, ports));

    EXPECT_EQ(reg.queryValue(HKEY_LOCAL_MACHINE, ports + "\\LPT1:", "IPAddress", v),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(reg.keyExists(HKEY_LOCAL_MACHINE, ports + "\\USB001"));
    EXPECT_EQ(reg.queryValue(HKEY_LOCAL_MACHINE, ports + "\\socket://h", "PortNumber", v),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg.queryValue(HKEY_CURRENT_USER, ports + "\\socket://h", "IPAddress", v),
              ERROR_FILE_NOT_FOUND);
    std::vector<std::string> names;
    EXPECT_EQ(reg.enumValueNames(HKEY_LOCAL_MACHINE, ports + "\\socket://h", names), ERROR_SUCCESS);
    EXPECT_EQ(names, std::vector<std::string>{"IPAddress"});
    EXPECT_EQ(reg.connect("\\\\other"), nullptr);
}

TEST_F(StoreTest, SystemInformationToolOnlyWhenConfigured) {
    RawValue v;
    LinuxRegistry& none = reg;
    EXPECT_EQ(none.queryValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", v), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none.queryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location",
                              "MSINFO", v),
              ERROR_FILE_NOT_FOUND);
    LinuxRegistry configured(system, store, "/usr/bin/sysinfo-tool");
    ASSERT_EQ(configured.queryValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", v), ERROR_SUCCESS);
    EXPECT_EQ(v, textValue("/usr/bin/sysinfo-tool"));
}

TEST(Registry, ExpandEnvironmentStrings) {
    std::map<std::string, std::string> env = {{"WINDIR", "C:\\Windows"}, {"A", "x%B%"}};
    auto lookup = [&](const std::string& n) -> std::optional<std::string> {
        auto it = env.find(n);
        return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    const struct {
        const char* in;
        const char* out;
    } rows[] = {
        {"%WINDIR%\\system32", "C:\\Windows\\system32"},
        {"%NOPE%\\x", "%NOPE%\\x"},
        {"100%", "100%"},
        {"%%WINDIR%", "%%WINDIR%"},
        {"%NOPE%WINDIR%", "%NOPE%WINDIR%"},
        {"%WINDIR%%WINDIR%", "C:\\WindowsC:\\Windows"},
        {"%A%", "x%B%"}, // values are not expanded again
        {"", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(expandEnvironmentStrings(r.in, lookup), r.out) << r.in;
}

TEST_F(StoreTest, ChangesAreKeptInTheUsersStore) {
    const std::string key = "SOFTWARE\\Corvane\\Osprey";
    EXPECT_EQ(reg.openKeyForWriting(HKEY_CURRENT_USER, key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(reg.setValue(HKEY_CURRENT_USER, key, "Path", textValue("/opt")), ERROR_SUCCESS);
    ASSERT_EQ(reg.setValue(HKEY_CURRENT_USER, key, "", dwordValue(7)), ERROR_SUCCESS);
    EXPECT_EQ(reg.createKey(HKEY_CURRENT_USER, key + "\\Sub"), ERROR_SUCCESS);
    struct stat st {};
    ASSERT_EQ(::stat((dir.path / "config/Osprey").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the store's folder is the user's own";

    // Another registry on the same store (the next run) sees it all, in order.
    LinuxRegistry next(system, store);
    RawValue v;
    ASSERT_EQ(next.queryValue(HKEY_CURRENT_USER, "software\\corvane\\osprey", "path", v),
              ERROR_SUCCESS);
    EXPECT_EQ(v, textValue("/opt"));
    EXPECT_EQ(names(next, HKEY_CURRENT_USER, key, false), (std::vector<std::string>{"Path", ""}));
    EXPECT_EQ(names(next, HKEY_CURRENT_USER, key, true), std::vector<std::string>{"Sub"});
    // Stored keys beside the answered ones: both are listed.
    ASSERT_EQ(next.createKey(HKEY_LOCAL_MACHINE, "SYSTEM\\Mine"), ERROR_SUCCESS);
    EXPECT_EQ(names(next, HKEY_LOCAL_MACHINE, "SYSTEM", true),
              (std::vector<std::string>{"CurrentControlSet", "Mine"}));

    EXPECT_EQ(next.deleteKey(HKEY_CURRENT_USER, key), ERROR_ACCESS_DENIED) << "it has a sub-key";
    EXPECT_EQ(next.deleteValue(HKEY_CURRENT_USER, key, "Path"), ERROR_SUCCESS);
    EXPECT_EQ(next.deleteValue(HKEY_CURRENT_USER, key, "Path"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(next.deleteKey(HKEY_CURRENT_USER, key + "\\Sub"), ERROR_SUCCESS);
    EXPECT_EQ(next.deleteKey(HKEY_CURRENT_USER, key), ERROR_SUCCESS);
    EXPECT_FALSE(reg.keyExists(HKEY_CURRENT_USER, key));
    EXPECT_EQ(reg.createKey(0x1234, "X"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg.createKey(HKEY_CURRENT_USER, std::string(256, 'k')), ERROR_INVALID_PARAMETER);
}

// Whatever an earlier version left as "registry.lock" beside the store: a link, or root's
// private file after a run with sudo (then the programs run as a plain user).
TEST_F(StoreTest, ProgramsChangingTheStoreAtOnceKeepAllChanges) {
    const uid_t user = 61234;
    for (bool rootsLock : {false, true}) {
        if (rootsLock && ::geteuid() != 0)
            continue;
        std::filesystem::remove_all(dir.path / "config");
        std::filesystem::create_directories(dir.path / "config/Osprey");
        if (rootsLock) {
            test_fixtures::writeAll(store + ".lock", "");
            for (const auto& p : {dir.path, dir.path / "config", dir.path / "config/Osprey"})
                ASSERT_EQ(::chown(p.c_str(), user, user), 0);
        } else {
            std::filesystem::create_symlink("registry", store + ".lock");
        }
        const auto statuses = test_fixtures::atOnce(3, [&](int p) {
            if (rootsLock && !test_fixtures::becomeUser(user))
                return 2;
            LinuxRegistry own(system, store);
            for (int i = 0; i < 100; ++i)
                if (own.setValue(HKEY_CURRENT_USER, "K", std::to_string(p * 100 + i),
                                 dwordValue(i)) != ERROR_SUCCESS)
                    return 1;
            return 0;
        });
        EXPECT_EQ(statuses, std::vector<int>(3, 0)) << rootsLock;
        EXPECT_EQ(names(reg, HKEY_CURRENT_USER, "K", false).size(), 300u) << rootsLock;
    }
}

// Anyone who may read the store's folder can lock it for as long as they like: a change
// fails within its limit and changes nothing.
TEST_F(StoreTest, AFolderLockedElsewhereFailsTheChangeInTime) {
    using namespace std::chrono_literals;
    ASSERT_EQ(reg.setValue(HKEY_CURRENT_USER, "K", "v", dwordValue(1)), ERROR_SUCCESS);
    const std::string folder = (dir.path / "config/Osprey").string();
    for (const auto& p : {dir.path, dir.path / "config", dir.path / "config/Osprey"})
        ::chmod(p.c_str(), 0755);
    const std::string before = test_fixtures::readAll(store);
    reg.setLockLimit(300);
    // The user's own other program, then another user.
    for (const uid_t user : {uid_t(0), test_fixtures::kOtherUser}) {
        if (user != 0 && ::geteuid() != 0)
            GTEST_SKIP() << "only root can hold a lock as another user";
        const test_fixtures::HeldElsewhere holder(user, [&] {
            return ::flock(::open(folder.c_str(), O_RDONLY | O_DIRECTORY), LOCK_SH) == 0;
        });
        ASSERT_TRUE(holder.held());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(reg.setValue(HKEY_CURRENT_USER, "K", "v", dwordValue(2)), ERROR_LOCK_FAILED);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, 300ms);
        EXPECT_LT(waited, 30s) << "no wait without a limit";
        EXPECT_EQ(test_fixtures::readAll(store), before);
    }
    EXPECT_EQ(reg.setValue(HKEY_CURRENT_USER, "K", "v", dwordValue(2)), ERROR_SUCCESS);
}

TEST_F(StoreTest, AnsweredKeysAreNeverStored) {
    const std::string port = std::string(kTcpIpPortsKey) + "\\socket://10.1.2.3";
    EXPECT_EQ(reg.setValue(HKEY_LOCAL_MACHINE, port, "IPAddress", textValue("1.1.1.1")),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.createKey(HKEY_LOCAL_MACHINE, std::string(kTcpIpPortsKey) + "\\LPT1:"),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.deleteKey(HKEY_LOCAL_MACHINE, port), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg.deleteKey(HKEY_LOCAL_MACHINE, "SYSTEM"), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(std::filesystem::exists(store)) << "nothing was written";
}

TEST_F(StoreTest, AStoreThatCannotBeReadIsLeftAlone) {
    std::filesystem::create_directories(dir.path / "config/Osprey");
    for (const std::string text :
         {"not a registry\n", "registry 1\nvalue 1 @ 00\n", "registry 2\nkey HKEY_USERS\\K\n"}) {
        test_fixtures::writeAll(store, text);
        RawValue v;
        EXPECT_EQ(reg.setValue(HKEY_CURRENT_USER, "K", "v", dwordValue(1)), ERROR_BADDB);
        EXPECT_EQ(reg.queryValue(HKEY_CURRENT_USER, "K", "v", v), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(test_fixtures::readAll(store), text) << "never replaced";
        // What is answered from elsewhere still is.
        EXPECT_EQ(reg.queryValue(HKEY_LOCAL_MACHINE, std::string(kTcpIpPortsKey) + "\\ipp://h/x",
                                 "IPAddress", v),
                  ERROR_SUCCESS);
    }
}

TEST(Registry, TextFormKeepsEveryNameAndByte) {
    MemoryRegistry a;
    a.setValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\a b%@\\caf\xC3\xA9", "", textValue("x"));
    a.setValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\a b%@\\caf\xC3\xA9", "@ \\ %\t\n",
               RawValue{REG_BINARY, std::string("\0\xFF\n", 3)});
    a.setValue(HKEY_CLASSES_ROOT, ".osp", "empty", RawValue{REG_SZ, ""});
    a.setValue(HKEY_CLASSES_ROOT, "", "atRoot", RawValue{0xFFFFFFFFu, "z"});
    a.createKey(HKEY_USERS, "Lone");
    MemoryRegistry b;
    ASSERT_TRUE(b.fromText(a.toText())) << a.toText();
    EXPECT_EQ(b.toText(), a.toText());
    RawValue v;
    ASSERT_EQ(b.queryValue(HKEY_LOCAL_MACHINE, "software\\A B%@\\caf\xC3\xA9", "@ \\ %\t\n", v),
              ERROR_SUCCESS);
    EXPECT_EQ(v, (RawValue{REG_BINARY, std::string("\0\xFF\n", 3)}));
    EXPECT_TRUE(b.keyExists(HKEY_USERS, "Lone"));

    // A store written before the end line existed still reads.
    MemoryRegistry old;
    ASSERT_TRUE(old.fromText("registry 1\nkey HKEY_USERS\\Old\n"));
    EXPECT_TRUE(old.keyExists(HKEY_USERS, "Old"));

    // Texts that are not a store, or one cut short at any line, change nothing.
    const std::string whole = a.toText();
    for (std::size_t cut = whole.find('\n'); cut + 1 < whole.size();
         cut = whole.find('\n', cut + 1)) {
        EXPECT_FALSE(b.fromText(whole.substr(0, cut + 1))) << cut;
        EXPECT_TRUE(b.keyExists(HKEY_USERS, "Lone"));
    }
    for (const char* bad :
         {"", "registry 2\n", "registry 2\nend\nkey HKEY_USERS\n", "registry 1\nend\n",
          "registry 1\nkey HKEY_NOWHERE\\X\n", "registry 1\nkey HKEY_USERS\\%5C\n",
          "registry 1\nkey HKEY_USERS\nvalue 1 @ 0\n",
          "registry 1\nkey HKEY_USERS\nvalue 99999999999 @ -\n"}) {
        EXPECT_FALSE(b.fromText(bad)) << bad;
        EXPECT_TRUE(b.keyExists(HKEY_USERS, "Lone")) << bad;
    }
}

TEST(Registry, UserStorePath) {
    auto path = [](std::map<std::string, std::string> env) {
        return userStorePath("Osprey", [&](const std::string& n) -> std::optional<std::string> {
            auto it = env.find(n);
            return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
        });
    };
    EXPECT_EQ(path({{"XDG_CONFIG_HOME", "/x/cfg"}, {"HOME", "/home/u"}}), "/x/cfg/Osprey/registry");
    EXPECT_EQ(path({{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/u"}}),
              "/home/u/.config/Osprey/registry");
}
