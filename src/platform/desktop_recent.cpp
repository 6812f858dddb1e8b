// Writing the desktop's recent list with GLib's bookmark file, the reader and writer GTK itself
// uses for it; the file is replaced atomically.
#include "desktop_recent.h"

#include <glib.h>

#include <cstdlib>

namespace folvek {

namespace {

// The type the desktop shows the file with: ours for *.prn, plain text otherwise.
const char* mimeTypeOf(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        std::string ext = path.substr(dot + 1);
        for (char& c : ext) c = static_cast<char>(g_ascii_tolower(c));
        if (ext == "prn") return "text/x-prn";
    }
    return "text/plain";
}

}  // namespace

std::string desktopRecentListPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/recently-used.xbel";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : g_get_home_dir()) +
           "/.local/share/recently-used.xbel";
}

bool addToDesktopRecent(const std::string& document, const std::string& listPath) {
    if (document.empty() || document[0] != '/') return false;
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(document.c_str(), nullptr, &error);
    if (!uri) {
        g_clear_error(&error);
        return false;
    }
    GBookmarkFile* list = g_bookmark_file_new();
    bool ok = true;
    if (!g_bookmark_file_load_from_file(list, listPath.c_str(), &error)) {
        // Only a missing list starts afresh; another program's list that this reader does not
        // understand is not ours to overwrite.
        ok = g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
        g_clear_error(&error);
    }
    if (ok) {
        g_bookmark_file_set_mime_type(list, uri, mimeTypeOf(document));
        // Also sets the entry's visited and modified times to now.
        g_bookmark_file_add_application(list, uri, "folvek", "folvek %f");
        gchar* dir = g_path_get_dirname(listPath.c_str());
        g_mkdir_with_parents(dir, 0700);
        g_free(dir);
        ok = g_bookmark_file_to_file(list, listPath.c_str(), &error);
        g_clear_error(&error);
    }
    g_bookmark_file_free(list);
    g_free(uri);
    return ok;
}

}  // namespace folvek
