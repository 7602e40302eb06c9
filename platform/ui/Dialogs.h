#pragma once
#include <optional>
#include <string>

namespace ui {

// Message box flags and results, with the values the pages pass and test.
namespace mb {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;

constexpr int ButtonMask = 0x0F;
constexpr int IconMask = 0xF0;
constexpr int DefaultMask = 0xF00;

constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace mb

struct MessageBoxRequest {
    std::string text; // lines joined by "\r\n"
    int flags = 0;    // buttons | icon | default button
    std::string title;
};

// Modal message boxes. Qt dialogs in the programs; a script in tests.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Returns mb::Ok, mb::Yes or mb::No.
    virtual int show(const MessageBoxRequest& request) = 0;
};

struct FileBrowseRequest {
    std::string title;
    std::string filter;     // "Description|*.ext|Description|*.*" pairs
    std::string initialDir; // empty: current folder
    std::string fileName;   // preset name
    std::string defaultExt; // without the dot
    bool forSave = false;
    bool fileMustExist = false;
};

// The common open/save file dialog. Empty result: cancelled.
class FileBrowser {
  public:
    virtual ~FileBrowser() = default;
    virtual std::optional<std::string> browse(const FileBrowseRequest& request) = 0;
};

} // namespace ui
