#include "platform/spooler/DeferredSpooler.h"

#include "platform/sys/Fd.h"
#include "platform/sys/System.h"
#include "platform/sys/Trust.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace spooler {

namespace {

bool readAt(int fd, void* into, std::size_t size, std::uint64_t offset) {
    return ::pread(fd, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

// Whether `count` entries of `size` bytes from `offset` lie inside a file of `fileSize` bytes.
bool inside(std::uint64_t offset, std::uint64_t count, std::uint64_t size, std::uint64_t fileSize) {
    return offset <= fileSize && count * size <= fileSize - offset;
}

// A library of this machine's kind whose headers place a table or a part of the file past its
// end: the loader would map the missing bytes, and the program would die of SIGBUS at their
// first use. A file of another kind is left to the loader, which refuses it.
bool cutShort(int fd) {
    struct stat st {};
    ElfW(Ehdr) header{};
    if (::fstat(fd, &st) != 0 || !readAt(fd, &header, sizeof header, 0))
        return false;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
        header.e_phentsize != sizeof(ElfW(Phdr)) ||
        (header.e_shnum != 0 && header.e_shentsize != sizeof(ElfW(Shdr))))
        return false;
    if (!inside(header.e_phoff, header.e_phnum, sizeof(ElfW(Phdr)), size) ||
        !inside(header.e_shoff, header.e_shnum, sizeof(ElfW(Shdr)), size))
        return true;
    for (std::uint64_t i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment{};
        if (!readAt(fd, &segment, sizeof segment, header.e_phoff + i * sizeof segment) ||
            !inside(segment.p_offset, 1, segment.p_filesz, size))
            return true;
    }
    for (std::uint64_t i = 0; i < header.e_shnum; ++i) {
        ElfW(Shdr) section{};
        if (!readAt(fd, &section, sizeof section, header.e_shoff + i * sizeof section) ||
            (section.sh_type != SHT_NOBITS && !inside(section.sh_offset, 1, section.sh_size, size)))
            return true;
    }
    return false;
}

class DeferredSpooler final : public Spooler {
  public:
    explicit DeferredSpooler(std::string folder) : folder_(std::move(folder)) {}

    Result<std::vector<std::string>> printers() override {
        Spooler* s = target();
        return s ? s->printers() : Result<std::vector<std::string>>::failure(err::ModuleNotFound);
    }
    std::string currentPrinter() override {
        Spooler* s = target();
        return s ? s->currentPrinter() : std::string();
    }
    void setCurrentPrinter(const std::string& name) override {
        if (Spooler* s = target())
            s->setCurrentPrinter(name);
    }
    Result<PrinterInfo> printerInfo(const std::string& printer) override {
        Spooler* s = target();
        return s ? s->printerInfo(printer) : Result<PrinterInfo>::failure(err::ModuleNotFound);
    }
    Result<std::vector<JobInfo>> jobs(const std::string& printer) override {
        Spooler* s = target();
        return s ? s->jobs(printer) : Result<std::vector<JobInfo>>::failure(err::ModuleNotFound);
    }
    int deleteJob(const std::string& printer, std::uint32_t jobId) override {
        Spooler* s = target();
        return s ? s->deleteJob(printer, jobId) : err::ModuleNotFound;
    }
    WriteOutcome writeRawDocument(const std::string& printer, const std::string& document,
                                  const std::string& bytes) override {
        if (Spooler* s = target())
            return s->writeRawDocument(printer, document, bytes);
        WriteOutcome failed;
        failed.error = err::ModuleNotFound;
        return failed;
    }
    Result<std::vector<std::string>> ports() override {
        Spooler* s = target();
        return s ? s->ports() : Result<std::vector<std::string>>::failure(err::ModuleNotFound);
    }
    int addPrinter(const std::string& name, const std::string& driver,
                   const std::string& port) override {
        Spooler* s = target();
        return s ? s->addPrinter(name, driver, port) : err::ModuleNotFound;
    }
    int deletePrinter(const std::string& name) override {
        Spooler* s = target();
        return s ? s->deletePrinter(name) : err::ModuleNotFound;
    }
    void beginAction() override {
        if (Spooler* s = target())
            s->beginAction();
    }
    void endAction() override {
        if (loaded_)
            loaded_->endAction();
    }

  private:
    // The backend, loaded on the first call; null when it cannot be (said once). The
    // library stays loaded until the program ends.
    Spooler* target() {
        if (loaded_ || tried_)
            return loaded_.get();
        tried_ = true;
        std::string why;
        void* module = load(why);
        using Entry = Spooler* (*)();
        auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, kCupsModuleEntry)) : nullptr;
        if (!entry) {
            const char* dlWhy = module ? ::dlerror() : nullptr;
            std::fprintf(stderr, "cannot load the printing system's module %s: %s\n",
                         modulePath().c_str(),
                         !why.empty() ? why.c_str()
                         : dlWhy      ? dlWhy
                                      : "no entry point");
            return nullptr;
        }
        loaded_.reset(entry());
        return loaded_.get();
    }

    std::string modulePath() const {
        return folder_.empty() ? kCupsModuleFile : folder_ + "/" + kCupsModuleFile;
    }

    // Loads the very file that was checked: the user's own regular file (never a FIFO, which
    // would hold the loader), whole.
    void* load(std::string& why) const {
        if (folder_.empty()) {
            why = "the program's own folder cannot be found";
            return nullptr;
        }
        int fd = -1;
        if (int e = sys::openOwnFile(modulePath(), fd)) {
            why = sys::fileErrorText(e);
            return nullptr;
        }
        const sys::Fd file(fd);
        if (cutShort(file.get())) {
            why = "the file is cut short (install the module whole)";
            return nullptr;
        }
        void* module = ::dlopen(("/proc/self/fd/" + std::to_string(file.get())).c_str(),
                                RTLD_NOW | RTLD_LOCAL);
        const char* dlWhy = module ? nullptr : ::dlerror();
        why = dlWhy ? dlWhy : "";
        return module;
    }

    std::string folder_;
    bool tried_ = false;
    std::unique_ptr<Spooler> loaded_;
};

} // namespace

std::unique_ptr<Spooler> makeDeferredSystemSpooler(std::string folder) {
    return std::make_unique<DeferredSpooler>(std::move(folder));
}

} // namespace spooler
