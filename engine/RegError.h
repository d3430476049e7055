#pragma once

#include <string>

// Engine failures are numbered 1 to 29; error k has the string-table text 32000 + k - 1, and
// any other code the text of 32029 ("unbekannter Fehler").
enum RegErrorCode : int {
    REG_ERR_EXEC_NULL = 1,
    REG_ERR_EXEC_CORRUPT = 2,
    REG_ERR_BAD_OPCODE = 3,
    REG_ERR_BAD_POINTER = 4,
    REG_ERR_REGREPEAT = 5,
    REG_ERR_SUB_NULL = 7,
    REG_ERR_SUB_CORRUPT = 8,
    REG_ERR_SUB_DAMAGED = 9,
    REG_ERR_COMP_NULL = 10,
    REG_ERR_TOO_BIG = 11,
    REG_ERR_TOO_MANY_PARENS = 12,
    REG_ERR_MISSING_PAREN = 13,
    REG_ERR_BAD_PARENS = 14,
    REG_ERR_TRAILING_JUNK = 15,
    REG_ERR_EMPTY_REPEAT = 16,
    REG_ERR_NESTED_REPEAT = 17,
    REG_ERR_BAD_RANGE = 18,
    REG_ERR_MISSING_BRACKET = 19,
    REG_ERR_INTERNAL_ATOM = 20,
    REG_ERR_REPEAT_FOLLOWS_NOTHING = 21,
    REG_ERR_TRAILING_ESCAPE = 22,
    REG_ERR_NO_PROGRAM = 23,
    REG_ERR_BAD_COUNT = 24,
    REG_ERR_BOUNDED_REPEAT = 25,
    REG_ERR_MISSING_BRACE = 26,
    REG_ERR_BAD_BRACE = 27,
    REG_ERR_MIN_ABOVE_MAX = 28,
    REG_ERR_NUMBER_TOO_BIG = 29,
    REG_ERR_UNKNOWN = 30, // internal failures without a text of their own
};

// The German text of engine error code.
std::string regErrorText(int code);
