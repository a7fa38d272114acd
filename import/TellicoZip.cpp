#include "import/TellicoZip.h"

#include <dlfcn.h>
#include <zip.h>

#include <memory>

#include "import/ImportedFilms.h"

namespace {

constexpr zip_uint64_t kDocumentCap = 256u << 20;

[[noreturn]] void Fail(const std::string& reason) { throw ImportError({FilePlace::Unit::Byte, 0}, reason); }

// libzip is loaded when a zip file is first read: most runs read none, and
// loading it with the libraries it brings was a good part of every start-up.
#define KINOVKA_LIBZIP_FUNCTIONS(X)                                                                            \
    X(zip_error_init) X(zip_error_fini) X(zip_error_strerror) X(zip_source_buffer_create) X(zip_source_free)  \
    X(zip_open_from_source) X(zip_discard) X(zip_get_num_entries) X(zip_get_name) X(zip_name_locate)          \
    X(zip_fopen_index) X(zip_strerror) X(zip_fread) X(zip_file_strerror) X(zip_fclose)

struct Libzip {
#define KINOVKA_DECLARE(name) decltype(&::name) name = nullptr;
    KINOVKA_LIBZIP_FUNCTIONS(KINOVKA_DECLARE)
#undef KINOVKA_DECLARE
    bool Loaded = false;
};

const Libzip& Zip() {
    static const Libzip zip = [] {
        Libzip loaded;
        void* const library = dlopen(KINOVKA_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
        if (!library) return loaded;
        bool all = true;
#define KINOVKA_LOAD(name) \
    all = all && (loaded.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name))) != nullptr;
        KINOVKA_LIBZIP_FUNCTIONS(KINOVKA_LOAD)
#undef KINOVKA_LOAD
        loaded.Loaded = all;
        return loaded;
    }();
    return zip;
}

struct ArchiveCloser {
    void operator()(zip_t* archive) const { Zip().zip_discard(archive); }
};
struct MemberCloser {
    void operator()(zip_file_t* member) const { Zip().zip_fclose(member); }
};

bool ClimbsOut(std::string_view name) {
    return name.starts_with('/') || name.starts_with('\\') || name == ".." || name.starts_with("../") ||
           name.find("/../") != std::string_view::npos || name.ends_with("/..") || name.find(":") != std::string_view::npos;
}

}  // namespace

bool IsZip(std::string_view bytes) { return bytes.starts_with("PK\x03\x04"); }

std::string TellicoDocument(std::string_view bytes) {
    const Libzip& zip = Zip();
    if (!zip.Loaded) Fail("archiv zip nelze číst: chybí knihovna " KINOVKA_LIBZIP_SONAME);
    zip_error_t error;
    zip.zip_error_init(&error);
    zip_source_t* source = zip.zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) Fail("archiv zip nelze otevřít");
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip.zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip.zip_source_free(source);
        const std::string reason = zip.zip_error_strerror(&error);
        zip.zip_error_fini(&error);
        Fail("poškozený archiv zip (" + reason + ")");
    }
    zip.zip_error_fini(&error);

    const zip_int64_t members = zip.zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < members; ++i) {
        const char* name = zip.zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name && ClimbsOut(name)) Fail("archiv zip obsahuje cestu mimo sebe: " + std::string(name));
    }
    zip_int64_t index = zip.zip_name_locate(archive.get(), "tellico.xml", 0);
    if (index < 0) index = zip.zip_name_locate(archive.get(), "bookcase.xml", 0);
    if (index < 0) Fail("archiv zip neobsahuje tellico.xml, není to sbírka Tellico");

    std::unique_ptr<zip_file_t, MemberCloser> member(zip.zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0));
    if (!member) Fail("tellico.xml v archivu nelze číst: " + std::string(zip.zip_strerror(archive.get())));
    std::string document;
    char buffer[1 << 16];
    while (true) {
        const zip_int64_t read = zip.zip_fread(member.get(), buffer, sizeof buffer);
        if (read < 0) Fail("tellico.xml v archivu je poškozený: " + std::string(zip.zip_file_strerror(member.get())));
        if (read == 0) break;
        if (document.size() + static_cast<zip_uint64_t>(read) > kDocumentCap) {
            Fail("tellico.xml je po rozbalení větší než 256 MiB");
        }
        document.append(buffer, static_cast<std::size_t>(read));
    }
    return document;
}
