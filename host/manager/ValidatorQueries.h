// The validator's look-ups: a table of (master table, query number) -> statement over the company
// tables. docs/manager.md lists them with their answers.
//
// A statement takes its keys as the named parameters :K1, :K2 ... (texts; a key not given is the
// empty text), and may use:
//   :PRODUCT  the validator's ProductID (0: any product), against a comma list of product codes
//   :LIMITED  the codes the user may see, as ",A,B,C,", or the empty text for no limit; set only
//             when the user's BaseLimited names the query's table (see Validator)
#pragma once

#include <span>
#include <string_view>

namespace manager {

struct ValidatorQuery {
    const char* table;   // upper case
    const char* number;  // two digits
    int keys;            // the most keys it takes
    const char* answer;  // the columns of a row, for the documentation and the errors
    const char* sql;
};

std::span<const ValidatorQuery> ValidatorQueries();

// The query of a table and number (the table without regard to case); nullptr when there is none.
const ValidatorQuery* FindValidatorQuery(std::string_view table, std::string_view number);

}  // namespace manager
