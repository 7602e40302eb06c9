#include "osprey/core/RegEdit.h"
#include "osprey/core/cRegistry.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/registry/MemoryRegistry.h"
#include "platform/sys/System.h"
#include "tests/fixtures/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>

using namespace osprey;
using namespace registry;

namespace {
const std::string kPorts = kTcpIpPortsKey;
}

TEST(RegEdit, PortAddressFromTheRegistry) {
    MemoryRegistry reg;
    reg.setValue(HKEY_LOCAL_MACHINE, kPorts + "\\IP_10.0.0.9", "IPAddress", textValue("10.0.0.9"));
    reg.setValue(HKEY_LOCAL_MACHINE, kPorts + "\\Empty", "IPAddress", textValue(""));
    reg.setValue(HKEY_LOCAL_MACHINE, kPorts + "\\NoZero", "IPAddress",
                 RawValue{REG_SZ, "10.0.0.1"});
    reg.setValue(HKEY_LOCAL_MACHINE, kPorts + "\\NoBytes", "IPAddress", RawValue{REG_SZ, ""});
    reg.addKey(HKEY_LOCAL_MACHINE, kPorts + "\\NoValue");

    EXPECT_EQ(GetPortIPAddress(reg, "IP_10.0.0.9"), "10.0.0.9");
    EXPECT_EQ(GetPortIPAddress(reg, "ip_10.0.0.9"), "10.0.0.9");
    EXPECT_EQ(GetPortIPAddress(reg, "Empty"), "");
    EXPECT_EQ(GetPortIPAddress(reg, "NoZero"), "10.0.0.1"); // keeps its last character
    EXPECT_EQ(GetPortIPAddress(reg, "NoBytes"), "");
    EXPECT_EQ(GetPortIPAddress(reg, "NoValue"), "");
    EXPECT_EQ(GetPortIPAddress(reg, "LPT1:"), "");
    EXPECT_EQ(GetPortIPAddress(reg, ""), "");
}

TEST(RegEdit, PortAddressOnLinux) {
    test_fixtures::TempFolder dir("regedit");
    sys::RealSystem system(dir.path.string());
    LinuxRegistry reg(system, (dir.path / "registry").string());
    EXPECT_EQ(GetPortIPAddress(reg, "socket://192.168.7.40:9100"), "192.168.7.40");
    EXPECT_EQ(GetPortIPAddress(reg, "lpd://printhost/raw"), "printhost");
    EXPECT_EQ(GetPortIPAddress(reg, "USB001"), "");
    EXPECT_EQ(GetPortIPAddress(reg, "LPT1:"), "");
}

TEST(cRegistry, ReadsByType) {
    MemoryRegistry reg;
    const std::string key = "SOFTWARE\\Test";
    ::setenv("OSPREY_REG_TEST", "/opt/x", 1);
    reg.setValue(HKEY_LOCAL_MACHINE, key, "sz", textValue("text"));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "ansi", textValue("caf\xE9"));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "expand",
                 textValue("%OSPREY_REG_TEST%\\bin", REG_EXPAND_SZ));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "multi",
                 RawValue{REG_MULTI_SZ, std::string("a\0b\0\0", 5)});
    reg.setValue(HKEY_LOCAL_MACHINE, key, "dword", dwordValue(0xFFFFFFFE));
    reg.setValue(HKEY_LOCAL_MACHINE, key, "big",
                 RawValue{REG_DWORD_BIG_ENDIAN, "\x01\x02\x03\x04"});
    reg.setValue(HKEY_LOCAL_MACHINE, key, "bin", RawValue{REG_BINARY, "\x01\x02"});

    cRegistry r(reg);
    auto read = [&](const char* name) {
        return r.ValueEx(HKEY_LOCAL_MACHINE, key, name, REG_SZ, RegValue{std::string("dflt")});
    };
    EXPECT_EQ(read("sz"), RegValue{std::string("text")});
    EXPECT_EQ(r.ValueType(), REG_SZ);
    EXPECT_EQ(read("ansi"), RegValue{std::string("caf\xC3\xA9")});
    EXPECT_EQ(read("expand"), RegValue{std::string("/opt/x\\bin")});
    EXPECT_EQ(r.ValueType(), REG_EXPAND_SZ);
    EXPECT_EQ(read("multi"), RegValue{std::string("a\0b\0", 4)});
    EXPECT_EQ(read("dword"), RegValue{std::int32_t{-2}});
    EXPECT_EQ(r.ValueType(), REG_DWORD);
    EXPECT_EQ(read("big"), RegValue{std::int32_t{0x01020304}});
    EXPECT_EQ(read("bin"), (RegValue{std::vector<std::uint8_t>{1, 2, 0}})); // one element more
    EXPECT_EQ(r.ValueType(), REG_BINARY);
    // Missing value or key: the default, and the type stays as it was set.
    EXPECT_EQ(read("missing"), RegValue{std::string("dflt")});
    EXPECT_EQ(r.ValueType(), REG_SZ);
    EXPECT_EQ(r.ValueEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\None", "sz", REG_SZ, {}), RegValue{});
}

TEST(cRegistry, MachineKeysAndEnumeration) {
    MemoryRegistry local, remote;
    remote.setValue(HKEY_LOCAL_MACHINE, "K", "v", textValue("far"));
    local.setValue(HKEY_LOCAL_MACHINE, "K", "v", textValue("near"));
    local.addKey(HKEY_LOCAL_MACHINE, "K\\Sub1");
    local.addKey(HKEY_LOCAL_MACHINE, "K\\Sub2");
    local.addMachine("pc7", remote);

    cRegistry r(local);
    r.setMachine("ab");
    EXPECT_EQ(r.Machine(), "");
    r.setMachine("pc7");
    EXPECT_EQ(r.Machine(), "\\\\pc7");
    r.setMachine("\\\\pc7");
    EXPECT_EQ(r.Machine(), "\\\\pc7");
    r.setClassKey(HKEY_LOCAL_MACHINE);
    r.setSectionKey("K");
    r.setValueKey("v");
    EXPECT_EQ(r.Value(), RegValue{std::string("far")});
    r.setMachine("unreachable");
    r.setDefault(std::string("none"));
    EXPECT_EQ(r.Value(), RegValue{std::string("none")});
    EXPECT_FALSE(r.KeyExists());
    r.setMachine("");
    EXPECT_EQ(r.Value(), RegValue{std::string("near")});
    EXPECT_TRUE(r.KeyExists());

    std::vector<std::string> names;
    int count = -1;
    EXPECT_TRUE(r.EnumerateSections(names, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(names, (std::vector<std::string>{"Sub1", "Sub2"}));
    EXPECT_TRUE(r.EnumerateValues(names, count));
    EXPECT_EQ(count, 1);
    r.setSectionKey("Nope");
    EXPECT_TRUE(r.EnumerateValues(names, count)) << "a missing key has no values";
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

namespace {

RegistryError raised(const std::function<void()>& op) {
    try {
        op();
    } catch (const RegistryError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return RegistryError(0, "", "");
}

} // namespace

TEST(cRegistry, ValuesAreWrittenByType) {
    MemoryRegistry reg;
    cRegistry r(reg);
    const struct {
        std::uint32_t type;
        RegValue value;
        RawValue stored;
    } rows[] = {
        {REG_SZ, std::string("caf\xC3\xA9"), textValue("caf\xE9")},
        {REG_SZ, std::string("%WINDIR%\\x"), textValue("%WINDIR%\\x", REG_EXPAND_SZ)},
        {REG_EXPAND_SZ, std::string("100%%"), textValue("100%%")}, // "%" right after "%"
        {REG_SZ, std::string("100%% %"), textValue("100%% %", REG_EXPAND_SZ)},
        {REG_SZ, std::string("%%PATH%"), textValue("%%PATH%", REG_EXPAND_SZ)},
        {REG_SZ, std::int32_t{42}, textValue("42")},
        {REG_BINARY, std::vector<std::uint8_t>{1, 0, 9},
         RawValue{REG_BINARY, std::string("\1\0", 2)}},
        {11, std::vector<std::uint8_t>{7, 0}, RawValue{REG_NONE, "\7"}},
        {REG_DWORD_BIG_ENDIAN, std::int32_t{-2}, dwordValue(0xFFFFFFFE)},
    };
    for (const auto& row : rows) {
        r.setValueEx(HKEY_CURRENT_USER, "SOFTWARE\\New", "v", row.type, {}, row.value);
        RawValue got;
        ASSERT_EQ(reg.queryValue(HKEY_CURRENT_USER, "SOFTWARE\\New", "v", got), ERROR_SUCCESS);
        EXPECT_EQ(got, row.stored) << row.type;
    }
    EXPECT_EQ(r.Value(), RegValue{std::int32_t{-2}}) << "read back as it was written";
}

TEST(cRegistry, WritingOperationsWorkAndRaiseWhenTheyFail) {
    MemoryRegistry reg;
    cRegistry r(reg, "Osprey");
    r.setClassKey(HKEY_LOCAL_MACHINE);
    r.setSectionKey("SOFTWARE\\X");
    r.setValueKey("Name");
    EXPECT_TRUE(r.CreateKey());
    EXPECT_TRUE(r.KeyExists());
    r.setValueType(REG_DWORD);
    r.setValue(std::int32_t{5});
    EXPECT_TRUE(r.DeleteValue());
    RegistryError e = raised([&] { r.DeleteValue(); });
    EXPECT_EQ(e.Number, 26001);
    EXPECT_EQ(e.Source, "Osprey.cRegistry");
    EXPECT_STREQ(e.what(), "Failed to delete registry Key: '-2147483646',Section: "
                           "'SOFTWARE\\X',Key: 'Name");
    EXPECT_TRUE(r.DeleteKey());
    e = raised([&] { r.DeleteKey(); });
    EXPECT_STREQ(e.what(), "Failed to delete registry Key: '-2147483646',Section: 'SOFTWARE\\X");
    e = raised([&] { r.DeleteValue(); });
    EXPECT_STREQ(e.what(),
                 "Failed to open key '-2147483646',Section: 'SOFTWARE\\X' for delete access");
    // A text for a number is refused, not silently left unwritten.
    e = raised([&] { r.setValue(std::string("five")); });
    EXPECT_EQ(e.Number, static_cast<std::int32_t>(0x800469A9u));
    EXPECT_STREQ(e.what(), "Failed to set registry value Key: '-2147483646',Section: "
                           "'SOFTWARE\\X',Key: 'Name' to value: 'five'");
    r.setValueType(REG_SZ);
    EXPECT_EQ(raised([&] { r.setValue(std::string("\xD0\x96")); }).Number, kRegErrValueWrite)
        << "no Windows-1252 form";
    r.setClassKey(0x1234);
    e = raised([&] { r.CreateKey(); });
    EXPECT_STREQ(e.what(), "Failed to create registry Key: 'SOFTWARE\\X");
}

TEST(cRegistry, FileTypeAssociations) {
    MemoryRegistry reg;
    cRegistry r(reg, "Osprey");
    ExeAssociation a;
    a.ProgramPath = "/opt/Osprey";
    a.ClassName = "Osprey.Settings";
    a.Description = "Osprey settings";
    a.Extension = ".osp";
    a.Install = true;
    a.IconIndex = 2;
    RegistryError e = raised([&] { r.CreateAdditionalEXEAssociations("Osprey.Settings", {}); });
    EXPECT_EQ(e.Number, static_cast<std::int32_t>(0x800469ADu));
    EXPECT_STREQ(e.what(), "Error - attempt to create additional associations before class "
                           "defined.");
    r.CreateEXEAssociation(a);
    e = raised([&] { r.CreateAdditionalEXEAssociations("Osprey.Settings", {"edit", "&Edit"}); });
    EXPECT_EQ(e.Number, static_cast<std::int32_t>(0x800469ACu));
    EXPECT_STREQ(e.what(), "Invalid parameter list passed to CreateAdditionalEXEAssociations - "
                           "expected Name/Text/Command");
    r.CreateAdditionalEXEAssociations("Osprey.Settings", {"edit", "&Edit", "/opt/Osprey /e"});

    const std::map<std::string, std::string> expected = {
        {".osp", "Osprey.Settings"},
        {"Osprey.Settings\\shell\\open", "&Open"},
        {"Osprey.Settings\\shell\\open\\command", "/opt/Osprey \"%1\""},
        {"Osprey.Settings\\shell\\add", "&Install osp"},
        {"Osprey.Settings\\shell\\add\\command", "/opt/Osprey /a \"%1\""},
        {"Osprey.Settings\\shell\\edit\\command", "/opt/Osprey /e"},
        {"Osprey.Settings\\DefaultIcon", "/opt/Osprey,2"},
    };
    for (const auto& [path, text] : expected) {
        for (const auto& [root, prefix] : {std::pair{HKEY_CLASSES_ROOT, ""},
                                           std::pair{HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\"}}) {
            RawValue v;
            ASSERT_EQ(reg.queryValue(root, prefix + path, "", v), ERROR_SUCCESS) << prefix + path;
            EXPECT_EQ(v, textValue(text)) << prefix + path;
        }
    }
    EXPECT_FALSE(reg.keyExists(HKEY_CLASSES_ROOT, "Osprey.Settings\\shell\\print"));
}
