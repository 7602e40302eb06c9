// A CUPS backend standing for printers on local ports, for the private scheduler of the
// end-to-end tests. It is copied into that scheduler's backend folder once per scheme
// (parallel, serial, usb); its folder tells it where the fake devices live:
//
//   ROOT/bin/backend/<scheme>     this program
//   ROOT/devices/<scheme>/<name>  one fake device per file (made by the tests)
//
// Run without arguments it prints one discovery line per device:
//   parallel:ROOT/devices/parallel/lp0   serial:ROOT/devices/serial/ttyS0
//   usb://Fake/Printer?serial=<name>
// and then, as a backend that probes its ports, takes the milliseconds that
// "ROOT/devices/<scheme>/listing.delay" holds before it ends.
// Run for a job it appends the job's bytes (argv[6], else stdin) to "<device>.out". While
// "<device>.refuse" exists, or "<device>.take" holds 0, it does not take the job: it reports
// the printer offline and waits, so the job stays in the queue (until the marker goes or the
// job is cancelled). A "<device>.take" holding n > 0 lets n more jobs through.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

int discover(const fs::path& root, const std::string& scheme) {
    std::error_code ec;
    fs::path dir = root / "devices" / scheme;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (name.find('.') != std::string::npos) {
            continue;
        }
        std::string uri = scheme == "usb" ? "usb://Fake/Printer?serial=" + name
                                          : scheme + ":" + entry.path().string();
        std::cout << "direct " << uri << " \"Fake Printer\" \"Fake Printer (" << name
                  << ")\" \"MFG:Fake;MDL:Printer;SN:" << name << ";\" \"\"\n";
    }
    std::cout << std::flush;
    // The scheduler's device lister stops reading once every backend has ended, so a
    // backend that ends before its lines were read loses them: stay until they were.
    for (int i = 0; i < 250; ++i) {
        int unread = 0;
        if (::ioctl(STDOUT_FILENO, FIONREAD, &unread) != 0 || unread == 0) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream delay(dir / "listing.delay");
    if (int ms = 0; delay >> ms && ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    return 0;
}

// The device file a URI names, or an empty path when it names none of ours.
fs::path deviceOf(const fs::path& root, const std::string& scheme, const std::string& uri) {
    std::string rest = uri.substr(std::min(uri.size(), scheme.size() + 1));
    fs::path dir = root / "devices" / scheme;
    std::string name;
    if (scheme == "usb") {
        auto at = rest.find("serial=");
        if (at == std::string::npos) {
            return {};
        }
        name = rest.substr(at + 7);
        name = name.substr(0, name.find('&'));
    } else {
        fs::path p(rest.substr(0, rest.find('?')));
        if (p.parent_path() != dir) {
            return {};
        }
        name = p.filename().string();
    }
    if (name.empty() || name.find('/') != std::string::npos ||
        name.find("..") != std::string::npos) {
        return {};
    }
    return dir / name;
}

// The jobs the device still takes before it refuses; -1 without a limit.
int jobsLeft(const fs::path& take) {
    std::ifstream in(take);
    int n = -1;
    return in >> n ? n : -1;
}

int print(const fs::path& device, int argc, char** argv) {
    fs::path refuse = device.string() + ".refuse";
    fs::path take = device.string() + ".take";
    auto refusing = [&] { return present(refuse) || jobsLeft(take) == 0; };
    if (refusing()) {
        std::cerr << "STATE: +offline-report" << std::endl;
        std::cerr << "INFO: The printer is not responding." << std::endl;
        // Bounded, so that a forgotten marker never leaves a process behind for long.
        for (int i = 0; i < 6000 && refusing(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (refusing()) {
            return 1;
        }
        std::cerr << "STATE: -offline-report" << std::endl;
    }
    if (int left = jobsLeft(take); left > 0) {
        std::ofstream(take, std::ios::trunc) << left - 1;
    }
    std::FILE* in = argc >= 7 ? std::fopen(argv[6], "rb") : stdin;
    if (!in) {
        std::cerr << "ERROR: cannot open " << argv[6] << ": " << std::strerror(errno) << std::endl;
        return 1;
    }
    std::string data;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) {
        data.append(buf, n);
    }
    // Written whole to a side file, then renamed, so that a reader never sees half a job.
    fs::path out = device.string() + ".out";
    std::string previous;
    if (std::ifstream old(out, std::ios::binary); old) {
        previous.assign(std::istreambuf_iterator<char>(old), {});
    }
    fs::path tmp = device.string() + ".tmp";
    {
        std::ofstream o(tmp, std::ios::binary | std::ios::trunc);
        o << previous << data;
        if (!o.flush()) {
            std::cerr << "ERROR: cannot write " << tmp << std::endl;
            return 1;
        }
    }
    fs::rename(tmp, out);
    std::cerr << "INFO: received " << data.size() << " bytes" << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        std::cerr << "ERROR: cannot find myself" << std::endl;
        return 1;
    }
    std::string scheme = self.filename().string();
    fs::path root = self.parent_path().parent_path().parent_path();
    if (argc == 1) {
        return discover(root, scheme);
    }
    if (argc < 6 || argc > 7) {
        std::cerr << "Usage: " << scheme << " job-id user title copies options [file]" << std::endl;
        return 1;
    }
    const char* uri = std::getenv("DEVICE_URI");
    fs::path device = deviceOf(root, scheme, uri ? uri : argv[0]);
    if (device.empty() || !present(device)) {
        std::cerr << "ERROR: no such fake device: " << (uri ? uri : argv[0]) << std::endl;
        return 1;
    }
    return print(device, argc, argv);
}
