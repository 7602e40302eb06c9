#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

// The input checks of the wireless security pages and the network options page, as
// functions of the typed texts. Each *Notice function returns the text of the one
// message the page shows, or the empty text when the input passes.
namespace kestrel {

// Results of ValidateKeys.
constexpr int kKeysFirstEmpty = -1; // the first key is empty; callers treat it as kKeysOk
constexpr int kKeysOk = 0;
constexpr int kKeysBadFormat = 1;
constexpr int kKeysBadSize = 2;

// The sample key the hex page and the WEP method page show.
inline constexpr std::string_view kSampleHexKey = "A7E3-5B19-C2D4-80F6-1E9A-7C3B-6D";

// True when every character is 0-9, A-F or a-f.
bool IsHexString(std::string_view s);

// Checks the groups of one key (2 to 4 hex digits each) and adds their lengths to
// digits. 0 when every group passes, 1 at the first bad one.
int CheckKeyGroups(const std::vector<std::string>& parts, int& digits);

// Examines the keys in order up to the first empty one. A key without ":" or "-" is
// taken as it stands and ends the examination. keySizeIndex 0 needs 10 digits, any
// other 26.
int ValidateKeys(const std::array<std::string, 4>& keys, int keySizeIndex);

// Cuts a text at each separator, keeping empty pieces.
std::vector<std::string> SplitKeepEmpty(std::string_view text, char separator);

// The hex page's format and size notices for a ValidateKeys result.
std::string HexKeyNotice(int validateResult);

// The first row (0..3) not shown in clear whose key differs from its confirmation.
std::string KeyConfirmNotice(const std::array<std::string, 4>& keys,
                             const std::array<std::string, 4>& confirms,
                             const std::array<bool, 4>& shownInClear);

// WPA page: the length of the passphrase, then its confirmation.
std::string WpaPassphraseNotice(const std::string& phrase, const std::string& confirm,
                                bool shownInClear);

// 802.1X page: user name length, password length, then the confirmation.
std::string LeapNotice(const std::string& user, const std::string& password,
                       const std::string& confirm, bool shownInClear);

// Network options page, checked while the PING list shows "Enable": the packet count,
// then the period, each 1 to 5.
std::string PingNotice(const std::string& packet, const std::string& period);

// A typed text that the command job can carry as it stands: no control character (a line
// break would start a command of its own) and a Windows-1252 form for every character.
bool IsSendableText(std::string_view utf8);

// The notice for texts of which one is not sendable, or the empty text.
std::string UnsendableNotice(const std::vector<std::string>& texts);

} // namespace kestrel
