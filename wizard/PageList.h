#pragma once
#include "platform/ui/Form.h"

#include <array>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace wizard {

// A wizard's pages, each type once, one instance of each for the whole run. The order of the
// types is the order the pages are created in (so the order in which the app walks its forms)
// and the order all() gives them in. Each page type names its form in kName.
template <class... P> class PageList {
  public:
    static constexpr std::size_t size = sizeof...(P);

    // The form names, without creating a page.
    static constexpr std::array<const char*, size> names() { return {P::kName...}; }

    // Creates every page from the same arguments, in the list's order. Constructing a page
    // does not create its window.
    template <class... Args> void create(Args&... args) {
        std::size_t at = 0;
        ((std::get<P*>(typed_) = own<P>(at++, args...)), ...);
    }

    template <class T> T& get() const { return *std::get<T*>(typed_); }
    std::vector<ui::Form*> all() const { return {all_.begin(), all_.end()}; }

    // Unknown names are a programming error (std::logic_error).
    ui::Form& form(const std::string& name) const {
        for (ui::Form* f : all_)
            if (f->name() == name)
                return *f;
        throw std::logic_error("no page named " + name);
    }

  private:
    template <class T, class... Args> T* own(std::size_t at, Args&... args) {
        auto page = std::make_unique<T>(args...);
        T* made = page.get();
        all_[at] = made;
        owned_[at] = std::move(page);
        return made;
    }

    std::tuple<P*...> typed_{};
    std::array<ui::Form*, size> all_{};
    std::array<std::unique_ptr<ui::Form>, size> owned_; // destroyed last page first
};

} // namespace wizard
