#pragma once
#include "platform/spooler/cups/Deadline.h"
#include "platform/spooler/cups/Ipp.h"

namespace spooler::ipp {

// The outcome of one request: the scheduler's IPP answer, or why none came (a spooler error
// number: no scheduler, no time left, access denied, no scheduler at that address, ...).
struct Answer {
    Ipp response;
    int error = 0;
};

// Sends `request` (taken) to `resource` on the connection, followed by the bytes of `file`
// when one is given (a regular file, sent again from its start when the request is), and
// reads the whole answer before it parses it, so that an answer the scheduler is still
// sending is never dropped before the deadline; every wait ends there. When the scheduler
// asks for authentication, the request goes again with the local credentials libcups offers
// (peer credentials, the scheduler's local certificate; nothing asks for a password), over a
// new connection made within `connectMs` and the time left.
Answer exchange(http_t* http, const Deadline& deadline, ipp_t* request, const char* resource,
                int connectMs, int file = -1);

// The IPP message held whole in `bytes`; null when they hold none, or only part of one.
Ipp parseMessage(const std::string& bytes);

} // namespace spooler::ipp
