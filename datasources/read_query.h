// Whether a data set's query only reads: one statement, beginning with
// SELECT, WITH, VALUES or TABLE (after comments and opening parentheses).
// Anything else (a second statement after a ';', DELETE, CREATE, SET, ...)
// is refused before the query reaches the database. The database session
// is read-only as well (sql_source.h): this check gives the clear message,
// the session catches what a read-looking statement might still write.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Empty when `query` is one reading statement; otherwise why it is not, as
// a phrase: "holds a second statement after ';'", "begins with DELETE, not
// SELECT", "is empty".
std::string WhyNotAReadQuery(std::string_view query);

}  // namespace quillet
