// The SQL functions that a provider query may call. Every role needs the same few: a data
// packet carries integers and dates, so a query counts, sums, compares and takes dates apart,
// and nothing more. A function off this list is refused when the query is prepared, whatever
// its name's case: those that reach into the process or the database (fts3_tokenizer,
// load_extension, the compile options), those that make or search values in
// time that grows faster than the value (like, glob, instr, replace, trim with a set of
// characters), those that build large values (printf, zeroblob, randomblob, group_concat), and
// any that SQLite may add later.
#pragma once

#include <string_view>

namespace tvx::example {

bool IsQueryFunction(std::string_view name);

}  // namespace tvx::example
