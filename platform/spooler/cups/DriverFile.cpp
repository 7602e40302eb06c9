#include "platform/spooler/cups/DriverFile.h"

#include "platform/spooler/cups/CupsSpooler.h"

#include <algorithm>
#include <cerrno>
#include <sys/mman.h>
#include <unistd.h>

namespace spooler {

namespace {

std::string genericTextPpd(const std::string& d) {
    // A queue described by this file takes raw documents unfiltered, and CUPS reports its
    // nickname as the printer's make and model, which is how the driver name survives.
    return "*PPD-Adobe: \"4.3\"\n"
           "*FormatVersion: \"4.3\"\n"
           "*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n"
           "*LanguageEncoding: ISOLatin1\n"
           "*PCFileName: \"GENTEXT.PPD\"\n"
           "*Manufacturer: \"Generic\"\n"
           "*Product: \"(" +
           d + ")\"\n*ModelName: \"" + d + "\"\n*ShortNickName: \"" + d + "\"\n*NickName: \"" + d +
           "\"\n"
           "*PSVersion: \"(3010.000) 0\"\n"
           "*LanguageLevel: \"3\"\n"
           "*ColorDevice: False\n"
           "*DefaultColorSpace: Gray\n"
           "*FileSystem: False\n"
           "*Throughput: \"1\"\n"
           "*LandscapeOrientation: Plus90\n"
           "*TTRasterizer: Type42\n"
           "*OpenUI *PageSize: PickOne\n"
           "*DefaultPageSize: Letter\n"
           "*PageSize Letter: \"\"\n"
           "*CloseUI: *PageSize\n"
           "*DefaultPageRegion: Letter\n"
           "*PageRegion Letter: \"\"\n"
           "*DefaultImageableArea: Letter\n"
           "*ImageableArea Letter: \"0 0 612 792\"\n"
           "*DefaultPaperDimension: Letter\n"
           "*PaperDimension Letter: \"612 792\"\n";
}

} // namespace

int describedDriverFile(const std::string& driver) {
    int fd = ::memfd_create("raw-queue-ppd", MFD_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    const std::string text = genericTextPpd(driver);
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return fd;
}

bool isDescribableDriver(std::string_view driver) {
    // Quotes, angle brackets (hex escapes) and parentheses (the product string) would
    // change the file's meaning; line breaks would add statements to it.
    if (driver.empty() || driver.size() > 64)
        return false;
    auto plain = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    if (!plain(driver.front()))
        return false;
    return std::all_of(driver.begin(), driver.end(), [&](char c) {
        return plain(c) || std::string_view(" -_./+,").find(c) != std::string_view::npos;
    });
}

} // namespace spooler
