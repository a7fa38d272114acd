#pragma once
// ICU's functions as this program calls them: through the library opened at
// the first call rather than at start-up. A command that collates no text and
// upper-cases nothing (a summary, an add) then never loads ICU, whose loading
// would add milliseconds to every start.
//
// The names are ICU's own; its headers give each the version suffix of the
// build's ICU (ucol_open is ucol_open_72), and so do the members here and the
// names looked up.
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

#define KINOVKA_ICU_FUNCTIONS(X)                                                                         \
    X(u_toupper) X(ucnv_open) X(ucnv_reset) X(ucnv_setToUCallBack) X(ucnv_toUChars) X(ucnv_close)        \
    X(UCNV_TO_U_CALLBACK_STOP) X(uloc_getLocaleForLCID) X(uloc_getLCID) X(ucol_open) X(ucol_setStrength) \
    X(ucol_clone) X(ucol_close) X(ucol_strcoll) X(ucol_getSortKey)

struct IcuFunctions {
#define KINOVKA_ICU_MEMBER(name) decltype(&::name) name = nullptr;
    KINOVKA_ICU_FUNCTIONS(KINOVKA_ICU_MEMBER)
#undef KINOVKA_ICU_MEMBER
};

// Opens ICU at the first call. Throws std::runtime_error naming the library
// when it cannot be opened or lacks one of the functions.
const IcuFunctions& Icu();
