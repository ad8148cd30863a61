#include "ValidatorQueries.h"

#include "platform/rtl/SysUtils.h"

namespace manager {

namespace {

// Programs and documents that belong to the product asked for (an empty list: every product).
#define KPA_PRODUCT_OF_MB "(:PRODUCT = 0 OR MB010 = '' OR instr(',' || MB010 || ',', ',' || :PRODUCT || ',') > 0)"

const ValidatorQuery kQueries[] = {
    {"ADMMB", "01", 1, "name, kind, system, help number, log flag, version, no-direct flag, English name",
     "SELECT MB002, MB003, MB004, MB006, MB005, MB007, MB009, MB008 FROM ADMMB "
     "WHERE UPPER(MB001) = UPPER(:K1) AND " KPA_PRODUCT_OF_MB},
    // A range of program codes; an empty bound leaves that end open. Limited by BaseLimited.
    {"ADMMB", "07", 2, "program code, name",
     "SELECT MB001, MB002 FROM ADMMB "
     "WHERE (:K1 = '' OR MB001 >= UPPER(:K1)) AND (:K2 = '' OR MB001 <= UPPER(:K2)) AND " KPA_PRODUCT_OF_MB
     " AND (:LIMITED = '' OR instr(:LIMITED, ',' || MB001 || ',') > 0) ORDER BY MB001"},
    {"ADMMB", "11", 1, "program code, name, kind, no-direct flag",
     "SELECT MB001, MB002, MB003, MB009 FROM ADMMB WHERE UPPER(MB001) = UPPER(:K1) AND " KPA_PRODUCT_OF_MB},
    // The system's row; an empty key means the decision-analysis system KPA.
    {"ADMMS", "01", 1, "base address of the published documents, system code, system name",
     "SELECT MS003, MS001, MS002 FROM ADMMS WHERE MS001 = COALESCE(NULLIF(UPPER(:K1), ''), 'KPA')"},
    // Set names compare exactly, as the application server keeps them.
    {"GENES", "01", 3, "set name, user, program, creation date",
     "SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE FROM GENES "
     "WHERE NCONDITION = :K1 AND CREATOR = :K2 AND PROGRAMME = :K3"},
    {"TGKMA", "01", 1, "name, mobile number, e-mail address, kind, department, stopped flag",
     "SELECT MA002, MA003, MA004, MA005, MA006, MA007 FROM TGKMA WHERE UPPER(MA001) = UPPER(:K1)"},
    // The users to notify: every active user, or the one named. Limited by BaseLimited.
    {"TGKMA", "04", 1, "user code, name, mobile number, e-mail address",
     "SELECT MA001, MA002, MA003, MA004 FROM TGKMA "
     "WHERE MA007 <> 'Y' AND (:K1 = '' OR UPPER(MA001) = UPPER(:K1)) "
     "AND (:LIMITED = '' OR instr(:LIMITED, ',' || MA001 || ',') > 0) ORDER BY MA001"},
};

#undef KPA_PRODUCT_OF_MB

}  // namespace

std::span<const ValidatorQuery> ValidatorQueries() { return kQueries; }

const ValidatorQuery* FindValidatorQuery(std::string_view table, std::string_view number) {
    // "7" and "07" name the same query.
    int wanted = 0;
    if (!rtl::TryStrToIntDecimal(rtl::Trim(number), wanted)) return nullptr;
    for (const ValidatorQuery& q : kQueries) {
        if (rtl::SameText(q.table, rtl::Trim(table)) && rtl::StrToInt(q.number) == wanted) return &q;
    }
    return nullptr;
}

}  // namespace manager
