#include "text/IcuLibrary.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace {

// The name after the header's renaming: ucol_open gives "ucol_open_72".
#define KINOVKA_ICU_NAME(name) KINOVKA_ICU_TEXT(name)
#define KINOVKA_ICU_TEXT(name) #name

IcuFunctions Open() {
    // The collation library brings the common one with it, and a lookup in
    // the handle searches both.
    void* const library = dlopen(KINOVKA_ICU_I18N_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library) throw std::runtime_error(std::string("cannot open " KINOVKA_ICU_I18N_SONAME ": ") + dlerror());
    IcuFunctions functions;
#define KINOVKA_ICU_LOOK_UP(name)                                                                         \
    functions.name = reinterpret_cast<decltype(functions.name)>(dlsym(library, KINOVKA_ICU_NAME(name))); \
    if (!functions.name) throw std::runtime_error(KINOVKA_ICU_I18N_SONAME " lacks " KINOVKA_ICU_NAME(name));
    KINOVKA_ICU_FUNCTIONS(KINOVKA_ICU_LOOK_UP)
#undef KINOVKA_ICU_LOOK_UP
    return functions;
}

}  // namespace

const IcuFunctions& Icu() {
    static const IcuFunctions functions = Open();
    return functions;
}
