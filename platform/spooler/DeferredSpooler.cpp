#include "platform/spooler/DeferredSpooler.h"

#include <dlfcn.h>

#include <cstdio>

namespace spooler {

namespace {

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
        const std::string file = folder_ + "/" + kCupsModuleFile;
        void* module = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        using Entry = Spooler* (*)();
        auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, kCupsModuleEntry)) : nullptr;
        if (!entry) {
            const char* why = ::dlerror();
            std::fprintf(stderr, "cannot load the printing system's module %s: %s\n", file.c_str(),
                         why ? why : "no entry point");
            return nullptr;
        }
        loaded_.reset(entry());
        return loaded_.get();
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
