#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How CUPS states map onto the spooler's status bits and error numbers. Plain values in,
// plain values out: no CUPS types here, so the mapping is tested on its own.
namespace spooler::cupsmap {

// IPP "printer-state" values.
constexpr int PrinterIdle = 3;
constexpr int PrinterProcessing = 4;
constexpr int PrinterStopped = 5;

// IPP "job-state" values.
constexpr int JobPending = 3;
constexpr int JobHeld = 4;
constexpr int JobProcessing = 5;
constexpr int JobStopped = 6;
constexpr int JobCanceled = 7;
constexpr int JobAborted = 8;
constexpr int JobCompleted = 9;

// Error numbers the spooler interface does not name but the backend reports.
constexpr int GenFailure = 31; // a failure with no closer counterpart

// A state reason without its severity suffix ("-error", "-warning", "-report").
std::string_view reasonKeyword(std::string_view reason);

// Printer status bits from "printer-state", "printer-state-reasons" and
// "printer-is-accepting-jobs". A stopped queue is paused, a processing one printing; a queue
// that refuses jobs is not available; reasons add their counterparts; an error-severity
// reason with no counterpart sets the error bit.
std::uint32_t printerStatusBits(int state, const std::vector<std::string>& reasons,
                                bool acceptingJobs = true);

// Job status bits from "job-state" and "job-state-reasons". A pending job is ready (0).
std::uint32_t jobStatusBits(int state, const std::vector<std::string>& reasons);

// The system error number for an IPP status code (0 for the successful codes).
int errorFromIppStatus(int ippStatus);

// The system error number for the HTTP status of a request that got no IPP answer: a
// server with nothing that takes IPP requests where the scheduler does is no scheduler.
// 0 for any other status (the IPP status says more then).
int errorFromHttpStatus(int httpStatus);

// The system error number for an HTTP status that ended a request without an IPP answer,
// whatever it is: refusals (including libcups' "authorization canceled", 1000) are access
// denied, a server that takes no IPP requests is no scheduler, a request the scheduler
// could not take is a general failure, anything else an unreachable scheduler.
int errorFromHttpAnswer(int httpStatus);

// Whether the scheduler's refusal of a new queue (its IPP status and message) is about
// the device URI: an unknown scheme, a malformed URI, file devices switched off.
bool refusesDevice(int ippStatus, std::string_view message);

// Whether a printer name can name a CUPS queue: 1 to 127 bytes, printable, and none of
// blank, "/", "\\", "?", "#", "'", "\"" (they would change the queue's address).
bool isValidQueueName(std::string_view name);

} // namespace spooler::cupsmap
