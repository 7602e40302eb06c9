#include "platform/registry/LinuxRegistry.h"
#include "platform/registry/MemoryRegistry.h"

#include <gtest/gtest.h>

#include <map>

using namespace registry;

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

TEST(Registry, LinuxRegistryAnswersPortAddresses) {
    LinuxRegistry reg;
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

TEST(Registry, SystemInformationToolOnlyWhenConfigured) {
    RawValue v;
    LinuxRegistry none;
    EXPECT_EQ(none.queryValue(HKEY_LOCAL_MACHINE, kSysInfoKey, "PATH", v), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(none.queryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location",
                              "MSINFO", v),
              ERROR_FILE_NOT_FOUND);
    LinuxRegistry configured("/usr/bin/sysinfo-tool");
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
