// Job requests: the job number, the check of a job payload and what is stored of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/data/SqlDB.h"
#include "platform/rtl/Variants.h"

namespace appserver {

// ---- Job numbers --------------------------------------------------------------------------
//
// A job number is 12 characters: the job's sequence number in 8 base-36 digits (0-9, A-Z,
// upper case, zero-padded), then "0000". The first 8 characters identify the job; its sub-jobs
// are numbered by them followed by "0001", "0002", ... Sequence numbers come from the
// JOB_COUNTER row 'JOB', so numbers sort in the order they were handed out.

inline constexpr int64_t kMaxJobSequence = 2821109907455;  // 36^8 - 1

std::string FormatJobNumber(int64_t sequence);  // raises rtl::ERangeError outside 1..kMaxJobSequence
// The first 8 characters followed by "0001".
std::string FirstSubJobNumber(std::string_view jobNumber);
// Takes the next sequence number. Call it inside the transaction that stores the job: the
// counter row is written first, so a second server on the same file waits for this one.
std::string AllocateJobNumber(data::SqlDatabase& db);

// ---- Job payloads -------------------------------------------------------------------------

// A payload that does not have the expected shape; the message says which part is wrong.
class EBadPayload : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    const char* ClassName() const noexcept override { return "EBadPayload"; }
};

struct JobSchedule {
    std::string RunTime;  // "HH:MM"
    int CycleKind = 0;
    rtl::Variant Cycle;   // the whole period definition
    int RangeKind = 0;
    std::string StartDate;
    std::string EndDate;            // range kind 2
    std::optional<int> RunCount;    // range kind 1
    rtl::Variant DateRules;         // payload element 4
};

// What a payload tells of its job.
struct JobDescription {
    std::string ProgramID, Company, UserID, DBName, ServerClass, ProgramKind;
    std::optional<rtl::TDateTime> RequestTime;
    std::optional<int> RunMode;
    std::optional<rtl::TDateTime> RunTime;
    std::optional<JobSchedule> Schedule;  // periodic jobs
};

// Checks the payload [environment, option labels, option values] or, for a periodic job,
// [environment, labels, values, schedule, date rules] (bounds 0..2 or 0..4) and answers what
// the server keeps of it. Raises EBadPayload.
JobDescription CheckPayload(const rtl::Variant& payload);

// True for an 8-digit date text between 17530101 and 99991231 naming a real day.
bool IsYmdDate(std::string_view text);

}  // namespace appserver
