#include "platform/spooler/cups/Exchange.h"

#include "platform/spooler/Spooler.h"
#include "platform/spooler/cups/CupsStatus.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace spooler::ipp {

namespace {

// The first try, one after authenticating and one more for a scheme that needs two rounds;
// a scheduler that still asks refuses.
constexpr int kTries = 3;

struct Source {
    const std::string& bytes;
    std::size_t at = 0;
};

ssize_t readSource(void* context, ipp_uchar_t* buffer, std::size_t length) {
    auto* source = static_cast<Source*>(context);
    const std::size_t n = std::min(length, source->bytes.size() - source->at);
    std::memcpy(buffer, source->bytes.data() + source->at, n);
    source->at += n;
    return static_cast<ssize_t>(n);
}

Answer failure(int error) {
    return Answer{nullptr, error};
}

// A request that ended without an answer: the time ran out, or the connection broke.
Answer lost(http_t* http, const Deadline& deadline) {
    const bool late = deadline.passed() || httpError(http) == ETIMEDOUT;
    return failure(late ? err::Timeout : err::ServiceUnavailable);
}

bool sendFile(http_t* http, int file, http_status_t& status) {
    if (::lseek(file, 0, SEEK_SET) != 0) {
        return false;
    }
    char buffer[32768];
    ssize_t n;
    while (status == HTTP_STATUS_CONTINUE && (n = ::read(file, buffer, sizeof buffer)) > 0) {
        status = cupsWriteRequestData(http, buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// The answer's body, as much of it as came before it ended or the time ran out.
std::string readBody(http_t* http) {
    std::string body;
    char buffer[32768];
    ssize_t n;
    while ((n = httpRead2(http, buffer, sizeof buffer)) > 0) {
        body.append(buffer, static_cast<std::size_t>(n));
    }
    return body;
}

} // namespace

Ipp parseMessage(const std::string& bytes) {
    Source source{bytes};
    Ipp message(ippNew());
    if (ippReadIO(&source, readSource, 1, nullptr, message.get()) != IPP_STATE_DATA) {
        return nullptr;
    }
    return message;
}

Answer exchange(http_t* http, const Deadline& deadline, ipp_t* request, const char* resource,
                int connectMs, int file) {
    Ipp owned(request);
    std::size_t length = ippLength(request);
    if (file >= 0) {
        struct stat st {};
        if (::fstat(file, &st) != 0 || !S_ISREG(st.st_mode)) {
            return failure(cupsmap::GenFailure);
        }
        length += static_cast<std::size_t>(st.st_size);
    }
    // Local credentials of an earlier request may have been renewed by the scheduler since.
    if (const char* auth = httpGetAuthString(http); auth && std::strncmp(auth, "Local ", 6) == 0) {
        httpSetAuthString(http, nullptr, nullptr);
    }
    for (int tries = 0; tries < kTries; ++tries) {
        if (deadline.passed()) {
            return failure(err::Timeout);
        }
        deadline.bind(http, Deadline::Waits::InSlices);
        http_status_t status = cupsSendRequest(http, request, resource, length);
        if (status == HTTP_STATUS_CONTINUE && file >= 0 && !sendFile(http, file, status)) {
            return failure(cupsmap::GenFailure);
        }
        if (status == HTTP_STATUS_ERROR) {
            return lost(http, deadline);
        }
        if (status != HTTP_STATUS_CONTINUE && status != HTTP_STATUS_OK) {
            return failure(cupsmap::errorFromHttpAnswer(status));
        }
        const http_state_t state = httpGetState(http);
        if (state != HTTP_STATE_POST_RECV && state != HTTP_STATE_POST_SEND) {
            return lost(http, deadline);
        }
        do {
            status = httpUpdate(http);
        } while (status == HTTP_STATUS_CONTINUE);

        if (status == HTTP_STATUS_OK) {
            Ipp response = parseMessage(readBody(http));
            return response ? Answer{std::move(response), err::None} : lost(http, deadline);
        }
        if (status == HTTP_STATUS_ERROR) {
            return lost(http, deadline);
        }
        httpFlush(http); // the error page
        const int reconnectMs = std::min(connectMs, deadline.leftMs());
        if (status == HTTP_STATUS_UNAUTHORIZED) {
            if (cupsDoAuthentication(http, "POST", resource) != 0) {
                return failure(err::AccessDenied);
            }
        } else if (status == HTTP_STATUS_UPGRADE_REQUIRED) {
            if (reconnectMs <= 0 || httpReconnect2(http, reconnectMs, nullptr) != 0 ||
                httpEncryption(http, HTTP_ENCRYPTION_REQUIRED) != 0) {
                return failure(cupsmap::errorFromHttpAnswer(status));
            }
            continue;
        } else {
            return failure(cupsmap::errorFromHttpAnswer(status));
        }
        if (reconnectMs <= 0) {
            return failure(err::Timeout);
        }
        if (httpReconnect2(http, reconnectMs, nullptr) != 0) {
            return lost(http, deadline);
        }
    }
    return failure(err::AccessDenied);
}

} // namespace spooler::ipp
