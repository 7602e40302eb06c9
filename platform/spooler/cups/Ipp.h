#pragma once
// Small helpers over libcups' IPP calls: owning handles, attribute readers and the
// requests on one queue.
#include <cups/cups.h>
#include <cups/ipp.h>

#include <memory>
#include <string>
#include <vector>

namespace spooler::ipp {

// Owners of libcups objects: each frees its object with the given call.
template <auto Free> struct Freer {
    template <class T> void operator()(T* object) const { Free(object); }
};
inline void freeDest(cups_dest_t* dest) {
    cupsFreeDests(1, dest);
}
using Http = std::unique_ptr<http_t, Freer<httpClose>>;
using Ipp = std::unique_ptr<ipp_t, Freer<ippDelete>>;
using Dest = std::unique_ptr<cups_dest_t, Freer<freeDest>>;
using DestInfo = std::unique_ptr<cups_dinfo_t, Freer<cupsFreeDestInfo>>;

// An attribute's first text ("" when missing), all its texts, its first boolean or integer
// (the fallback when missing or of another kind).
std::string attrText(ipp_t* group, const char* name);
std::vector<std::string> attrTexts(ipp_attribute_t* attribute);
bool attrBool(ipp_t* group, const char* name, bool fallback);
int attrInt(ipp_t* group, const char* name, int fallback);

// The attribute groups of one kind in a response, each as its own small IPP message.
template <class F> void forEachGroup(ipp_t* response, ipp_tag_t tag, F&& f) {
    Ipp group(ippNew());
    bool inGroup = false;
    auto flush = [&] {
        if (inGroup) {
            f(group.get());
        }
        group.reset(ippNew());
        inGroup = false;
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (ippGetGroupTag(a) != tag) {
            flush();
            continue;
        }
        if (!ippGetName(a)) {
            flush();
            continue;
        }
        ippCopyAttribute(group.get(), a, 0);
        inGroup = true;
    }
    flush();
}

// The local scheduler's address of a queue.
std::string printerUri(const std::string& name);
// A request on a queue, by this user.
ipp_t* newPrinterRequest(ipp_op_t op, const std::string& name);
// A request for these attributes of a queue.
ipp_t* printerRequest(ipp_op_t op, const std::string& name, const char* const* attrs, int count);

} // namespace spooler::ipp
