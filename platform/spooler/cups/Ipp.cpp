#include "platform/spooler/cups/Ipp.h"

namespace spooler::ipp {

std::string attrText(ipp_t* group, const char* name) {
    ipp_attribute_t* a = ippFindAttribute(group, name, IPP_TAG_ZERO);
    const char* v = a ? ippGetString(a, 0, nullptr) : nullptr;
    return v ? v : "";
}

std::vector<std::string> attrTexts(ipp_attribute_t* a) {
    std::vector<std::string> out;
    for (int i = 0; a && i < ippGetCount(a); ++i) {
        if (const char* v = ippGetString(a, i, nullptr)) {
            out.emplace_back(v);
        }
    }
    return out;
}

bool attrBool(ipp_t* group, const char* name, bool fallback) {
    ipp_attribute_t* a = ippFindAttribute(group, name, IPP_TAG_BOOLEAN);
    return a ? ippGetBoolean(a, 0) != 0 : fallback;
}

int attrInt(ipp_t* group, const char* name, int fallback) {
    ipp_attribute_t* a = ippFindAttribute(group, name, IPP_TAG_ZERO);
    if (!a || (ippGetValueTag(a) != IPP_TAG_INTEGER && ippGetValueTag(a) != IPP_TAG_ENUM)) {
        return fallback;
    }
    return ippGetInteger(a, 0);
}

std::string printerUri(const std::string& name) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.c_str());
    return uri;
}

ipp_t* newPrinterRequest(ipp_op_t op, const std::string& name) {
    ipp_t* request = ippNewRequest(op);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri(name).c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

ipp_t* printerRequest(ipp_op_t op, const std::string& name, const char* const* attrs, int count) {
    ipp_t* request = newPrinterRequest(op, name);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", count,
                  nullptr, attrs);
    return request;
}

} // namespace spooler::ipp
