#pragma once
#include "platform/net/Resolver.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry as the programs use it: keys below a root, each with named values of a type.
// Key and value names compare without regard to ASCII case; "\" separates the parts of a key
// path.
namespace registry {

using Root = std::uint32_t;
inline constexpr Root HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr Root HKEY_CURRENT_USER = 0x80000001u;
inline constexpr Root HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr Root HKEY_USERS = 0x80000003u;
inline constexpr Root HKEY_CURRENT_CONFIG = 0x80000005u;

// Value types, with their numbers.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr std::uint32_t REG_LINK = 6;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// Result codes, with the system's numbers.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;  // also: deleting a key that has sub-keys
inline constexpr long ERROR_INVALID_HANDLE = 6; // a root that does not exist
inline constexpr long ERROR_WRITE_FAULT = 29;
inline constexpr long ERROR_BAD_NETPATH = 53;
inline constexpr long ERROR_INVALID_PARAMETER = 87; // a key name over 255 characters
inline constexpr long ERROR_LOCK_FAILED = 167;      // the stored registry cannot be locked
inline constexpr long ERROR_BADDB = 1009;           // the stored registry cannot be read

// A key name's longest length, in characters.
inline constexpr std::size_t kMaxKeyNameLength = 255;

// A value as stored: its type and its bytes (a text value holds its terminating zero).
struct RawValue {
    std::uint32_t type = REG_NONE;
    std::string data;
    bool operator==(const RawValue&) const = default;
};

class Registry {
  public:
    virtual ~Registry() = default;

    // True when the key opens for reading.
    virtual bool keyExists(Root root, const std::string& path) = 0;
    // ERROR_SUCCESS with the value, or ERROR_FILE_NOT_FOUND when the key or value is
    // missing. The empty name is the key's default value.
    virtual long queryValue(Root root, const std::string& path, const std::string& name,
                            RawValue& out) = 0;
    // Names of the key's values / sub-keys, in the registry's order.
    virtual long enumValueNames(Root root, const std::string& path,
                                std::vector<std::string>& out) = 0;
    virtual long enumKeyNames(Root root, const std::string& path,
                              std::vector<std::string>& out) = 0;

    // Writing. Each returns ERROR_SUCCESS or the reason it failed; what it changes is kept.
    // Creates the key and every missing key above it (an existing key is fine).
    virtual long createKey(Root root, const std::string& path) = 0;
    // Deletes a key without sub-keys, with its values.
    virtual long deleteKey(Root root, const std::string& path) = 0;
    // Creates the key when needed and sets the value (replacing one of the same name).
    virtual long setValue(Root root, const std::string& path, const std::string& name,
                          const RawValue& value) = 0;
    virtual long deleteValue(Root root, const std::string& path, const std::string& name) = 0;
    // Whether the key opens with full access: it exists and may be changed.
    virtual long openKeyForWriting(Root root, const std::string& path) = 0;

    // The registry of another computer (owned by this object), or nothing when it cannot be
    // reached. Neither backend here reaches other computers unless a test adds one.
    virtual Registry* connect(const std::string& machine) {
        (void)machine;
        return nullptr;
    }

    // Told why a value the system answers could not be read (a network printer's address
    // that cannot be resolved); reading still just finds nothing. The programs log it.
    std::function<void(const std::string&)> onLookupProblem;
    // How such a read waits for its lookup: the program's clock and event loop, so that the
    // window keeps answering (unset: the real clock, no events).
    net::WaitLoop lookupWait;
};

// Splits a key path at "\" (empty parts dropped: "A\\B\" is A, B).
std::vector<std::string> splitKeyPath(std::string_view path);
// ASCII case-insensitive equality of two names.
bool sameName(std::string_view a, std::string_view b);
// The root's name ("HKEY_LOCAL_MACHINE"), or "" for a number that names no root.
std::string rootName(Root root);
// Whether every part of the key path is a name a key may have (at most 255 characters).
bool validKeyPath(std::string_view path);

// Replaces each %NAME% whose NAME the lookup knows by its value; unknown references, and a
// lone "%", stay as written.
std::string expandEnvironmentStrings(
    std::string_view text,
    const std::function<std::optional<std::string>(const std::string&)>& lookup);
// The same with the process environment.
std::string expandEnvironmentStrings(std::string_view text);

// A text value's stored bytes: the text and its terminating zero.
RawValue textValue(std::string_view text, std::uint32_t type = REG_SZ);
// A REG_DWORD value's stored bytes (little-endian).
RawValue dwordValue(std::uint32_t value);

} // namespace registry
