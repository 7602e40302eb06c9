#include "kestrel/pages/KeyChecks.h"

#include "kestrel/pages/FieldChecks.h"
#include "platform/sys/Encoding.h"

namespace kestrel {

bool IsHexString(std::string_view s) {
    for (char ch : s) {
        bool digit = ch >= '0' && ch <= '9';
        bool upper = ch >= 'A' && ch <= 'F';
        bool lower = ch >= 'a' && ch <= 'f';
        if (!digit && !upper && !lower)
            return false;
    }
    return true;
}

int CheckKeyGroups(const std::vector<std::string>& parts, int& digits) {
    for (const std::string& part : parts) {
        digits += static_cast<int>(part.size());
        if (part.size() < 2 || part.size() > 4 || !IsHexString(part))
            return kKeysBadFormat;
    }
    return kKeysOk;
}

std::vector<std::string> SplitKeepEmpty(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, at - start));
        start = at + 1;
    }
}

int ValidateKeys(const std::array<std::string, 4>& keys, int keySizeIndex) {
    const int needed = keySizeIndex == 0 ? 10 : 26;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string& key = keys[i];
        if (key.empty())
            return i == 0 ? kKeysFirstEmpty : kKeysOk;
        std::vector<std::string> parts = SplitKeepEmpty(key, ':');
        if (parts.size() == 1)
            parts = SplitKeepEmpty(key, '-');
        if (parts.size() == 1)
            return kKeysOk; // no separator: this key and the rest are taken as they stand
        int digits = 0;
        if (CheckKeyGroups(parts, digits) != kKeysOk)
            return kKeysBadFormat;
        if (digits != needed)
            return kKeysBadSize;
    }
    return kKeysOk;
}

std::string HexKeyNotice(int validateResult) {
    if (validateResult == kKeysBadFormat)
        return "Invalid key format.\r\nEnter key in double or quad-digit HEX numbers separated "
               "by colon(:) or dash(-) characters.\r\nExample: " +
               std::string(kSampleHexKey);
    if (validateResult == kKeysBadSize)
        return "Invalid key size.\r\n40/64 Bit Key requires 10 hex numbers (characters).\r\n"
               "104/128 Bit Key requires 26 hex numbers (characters).";
    return {};
}

std::string KeyConfirmNotice(const std::array<std::string, 4>& keys,
                             const std::array<std::string, 4>& confirms,
                             const std::array<bool, 4>& shownInClear) {
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!shownInClear[i] && keys[i] != confirms[i])
            return "Inputs for Key " + std::to_string(i + 1) +
                   " does not match, please re-enter the key again.";
    return {};
}

std::string WpaPassphraseNotice(const std::string& phrase, const std::string& confirm,
                                bool shownInClear) {
    if (sys::charCount(phrase) >= 64)
        return "Passphrase too long.\r\nMaximum number of characters allowed is 63.\r\n"
               "Please enter a valid Passphrase.";
    if (!shownInClear && phrase != confirm)
        return "Inputs for the passphrase does not match, please re-enter the phrase again.";
    return {};
}

std::string LeapNotice(const std::string& user, const std::string& password,
                       const std::string& confirm, bool shownInClear) {
    if (sys::charCount(user) > 32)
        return "User Name too long.\r\nMaximum number of characters allowed is 32.\r\n"
               "Please enter a valid User Name.";
    if (sys::charCount(password) > 32)
        return "Password too long.\r\nMaximum number of characters allowed is 32.\r\n"
               "Please enter a valid password.";
    if (!shownInClear && password != confirm)
        return "Inputs for the password does not match, please re-enter the password again.";
    return {};
}

std::string PingNotice(const std::string& packet, const std::string& period) {
    double n = leadingNumber(packet);
    if (n > 5 || n < 1)
        return "Invalid packet value. Please enter a value from 1 to 5";
    n = leadingNumber(period);
    if (n > 5 || n < 1)
        return "Invalid time period. Please enter a value from 1 to 5";
    return {};
}

bool IsSendableText(std::string_view utf8) {
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    return !sys::hasC1Control(utf8) && sys::toWindows1252(utf8).has_value();
}

std::string UnsendableNotice(const std::vector<std::string>& texts) {
    for (const std::string& t : texts)
        if (!IsSendableText(t))
            return "A text entered on this page holds a character that cannot be sent to the "
                   "printer.\r\nPlease remove line breaks, control characters and characters "
                   "outside the Western European character set, then try again.";
    return {};
}

} // namespace kestrel
