// A Weston module for the Wayland test: it lets a script see the windows the
// compositor maps and close them as a user would, which a headless Weston
// (no seat, no input) offers no other way to do.
//
// Weston loads it with --modules=<path>. The script writes commands, one a
// line, into the FIFO named by $SCRIVOLA_WESTON_PROBE_FIFO:
//   list   appends one line per mapped window to the file named by
//          $SCRIVOLA_WESTON_PROBE_REPORT:
//          "window app_id=<id> window=<w>x<h> surface=<w>x<h> at=<x>,<y>"
//          (window: the geometry the client declares, without shadows;
//          surface: the size of its buffer; at: where the surface's top left
//          corner is on the output), then "end"
//   close  asks every window to close (xdg_toplevel.close, as the
//          close button of a window manager does), then appends "end"
#include <fcntl.h>
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Probe {
    weston_compositor* compositor = nullptr;
    std::string report;
    std::string pending;
};

template <typename Visit>
void forEachWindow(weston_compositor* compositor, Visit visit) {
    weston_layer* layer;
    wl_list_for_each(layer, &compositor->layer_list, link) {
        weston_view* view;
        wl_list_for_each(view, &layer->view_list.link, layer_link.link) {
            weston_surface* surface = view->surface;
            if (!weston_surface_is_desktop_surface(surface) || !weston_surface_is_mapped(surface)) {
                continue;
            }
            visit(view, weston_surface_get_desktop_surface(surface));
        }
    }
}

void runCommand(Probe& probe, const std::string& command) {
    FILE* out = std::fopen(probe.report.c_str(), "a");
    if (out == nullptr) {
        return;
    }
    if (command == "list") {
        forEachWindow(probe.compositor, [out](weston_view* view, weston_desktop_surface* window) {
            const weston_geometry geometry = weston_desktop_surface_get_geometry(window);
            const char* appId = weston_desktop_surface_get_app_id(window);
            std::fprintf(out, "window app_id=%s window=%dx%d surface=%dx%d at=%d,%d\n",
                         appId != nullptr ? appId : "", geometry.width, geometry.height,
                         view->surface->width, view->surface->height,
                         static_cast<int>(view->geometry.x), static_cast<int>(view->geometry.y));
        });
    } else if (command == "close") {
        forEachWindow(probe.compositor, [](weston_view*, weston_desktop_surface* window) {
            weston_desktop_surface_close(window);
        });
    } else {
        std::fprintf(out, "unknown command %s\n", command.c_str());
    }
    std::fprintf(out, "end\n");
    std::fclose(out);
}

int onFifoReadable(int fd, uint32_t, void* data) {
    auto& probe = *static_cast<Probe*>(data);
    char buffer[256];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        probe.pending.append(buffer, static_cast<std::size_t>(got));
    }
    for (std::size_t end; (end = probe.pending.find('\n')) != std::string::npos;) {
        const std::string command = probe.pending.substr(0, end);
        probe.pending.erase(0, end + 1);
        runCommand(probe, command);
    }
    return 0;
}

}  // namespace

extern "C" WL_EXPORT int wet_module_init(weston_compositor* compositor, int*, char**) {
    const char* fifo = std::getenv("SCRIVOLA_WESTON_PROBE_FIFO");
    const char* report = std::getenv("SCRIVOLA_WESTON_PROBE_REPORT");
    if (fifo == nullptr || report == nullptr) {
        return -1;
    }
    // Opened for writing too, so the FIFO never reports end-of-file when the
    // script's writer closes it.
    const int fd = open(fifo, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    // Lives as long as the compositor.
    auto* probe = new Probe{compositor, report, {}};
    wl_event_loop_add_fd(wl_display_get_event_loop(compositor->wl_display), fd, WL_EVENT_READABLE,
                         onFifoReadable, probe);
    return 0;
}
