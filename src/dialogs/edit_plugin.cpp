// Loading the external editor library and calling the entry point it has.
#include "edit_plugin.h"

#include <dlfcn.h>
#include <link.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <memory>

#include "document_command_context.h"
#include "document_record.h"
#include "encoding_offer.h"

namespace folvek {

namespace {

constexpr const char* kLibraryName = "edit.so";

std::unique_ptr<QLibrary> loadEditLibrary() {
    const EditPluginSearch& search = editPluginSearch();
    QStringList dirs = search.directories;
    if (dirs.isEmpty() && QCoreApplication::instance())
        dirs << QCoreApplication::applicationDirPath();
    for (const QString& dir : dirs) {
        const QString candidate = QDir(dir).absoluteFilePath(QLatin1String(kLibraryName));
        if (!QFileInfo(candidate).isFile()) continue;
        auto lib = std::make_unique<QLibrary>(candidate);
        if (lib->load()) return lib;
    }
    if (!search.systemSearch) return nullptr;
    // QLibrary would try "libedit.so" first, which is the unrelated line-editing library; the
    // dynamic loader's own search takes the name exactly as given.
    void* probe = ::dlopen(kLibraryName, RTLD_LAZY | RTLD_LOCAL);
    if (!probe) return nullptr;
    std::unique_ptr<QLibrary> lib;
    link_map* map = nullptr;
    if (::dlinfo(probe, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name) {
        lib = std::make_unique<QLibrary>(QString::fromLocal8Bit(map->l_name));
        if (!lib->load()) lib.reset();
    }
    ::dlclose(probe);
    return lib;
}

}  // namespace

EditPluginSearch& editPluginSearch() {
    static EditPluginSearch search;
    return search;
}

EditPluginResult runEditPlugin(DocumentCommandContext& ctx) {
    EditPluginResult result;
    std::unique_ptr<QLibrary> lib = loadEditLibrary();
    if (!lib) return result;

    const char* eValue = ctx.eValue ? ctx.eValue->c_str() : nullptr;
    void* owner = ctx.owner;
    if (auto edit2 = reinterpret_cast<EditFile2Fn>(lib->resolve("editFile2"))) {
        // The library sees the file as it is and is responsible for its encoding.
        const int isDos = ctx.doc ? ctx.doc->IsDos : 0;
        result.changed = edit2(owner, ctx.path.c_str(), eValue, isDos);
        result.outcome = PluginOutcome::Handled;
    } else if (auto edit = reinterpret_cast<EditFileFn>(lib->resolve("editFile"))) {
        switch (offerWindowsEncoding(ctx)) {
            case 1:
                result.changed = edit(owner, ctx.path.c_str(), eValue);
                result.outcome = PluginOutcome::Handled;
                break;
            case -1:
                result.outcome = PluginOutcome::Cancelled;
                break;
            default:
                break;  // declined: the built-in editor takes the DOS file as it is
        }
    }
    lib->unload();
    return result;
}

}  // namespace folvek
