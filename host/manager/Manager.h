// The manager object "CorvaneWorkCenter.Manager" and the three services it hands out: the
// counter service, the validator and the lookup window. Everything is read from the company
// database named by the server ini (see ManagerConfig.h) at the time of the call; nothing is
// cached, so that a change of the database or of the configuration is seen at once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/com/ComObj.h"

namespace manager {

inline constexpr const char* kManagerProgID = "CorvaneWorkCenter.Manager";

// GetSysInfo(company by ref); GetCounter(item, keys by ref, [company, database]).
class CounterService : public com::DispatchObject {
public:
    CounterService();
};

// Properties ProductID and BaseLimited; QueryData and CheckValue(table, query number, database,
// keys, result by ref) over the query table of ValidatorQueries.h.
class Validator : public com::DispatchObject {
public:
    Validator();

private:
    rtl::Variant Look(std::vector<rtl::Variant>& args, bool wholeAnswer);
    rtl::Variant productId_;
    rtl::Variant baseLimited_;
};

// F2GetData, ShowInputDay, GetPhrase: the user's answers come from the queued answers of
// LookupAnswers.h.
class LookupWindow : public com::DispatchObject {
public:
    LookupWindow();
};

class Manager : public com::DispatchObject {
public:
    Manager();

private:
    std::shared_ptr<CounterService> counter_;
    std::shared_ptr<Validator> validator_;
    std::shared_ptr<LookupWindow> lookup_;
};

// The rows a validator query answers, each a row of variants; raises com::EOleException for an
// unknown query, a database that is not served, too many keys or a malformed limit.
std::vector<std::vector<rtl::Variant>> RunValidatorQuery(const std::string& table, const std::string& number,
                                                         const std::string& database, const rtl::Variant& keys,
                                                         const rtl::Variant& productId, const rtl::Variant& baseLimited);

}  // namespace manager
