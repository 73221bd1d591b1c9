#include "Indicator.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace zeldll {

namespace {

// A round-trip: every request sent before it has been carried out.
void Sync(xcb_connection_t* c) {
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

uint32_t Colour(xcb_connection_t* c, xcb_colormap_t colormap, uint16_t r, uint16_t g, uint16_t b, uint32_t fallback) {
    xcb_alloc_color_reply_t* reply = xcb_alloc_color_reply(c, xcb_alloc_color(c, colormap, r, g, b), nullptr);
    if (!reply) return fallback;
    const uint32_t pixel = reply->pixel;
    free(reply);
    return pixel;
}

void SetText(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, const char* text, uint32_t length) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_STRING, 8, length, text);
}

}  // namespace

TIndicator::~TIndicator() { Drop(); }

void TIndicator::Drop() {
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
    window_ = 0;
    pixmap_ = 0;
}

bool TIndicator::Ensure() {
    if (connection_ && xcb_connection_has_error(connection_)) Drop();
    if (connection_) return true;

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_screen_t* screen = it.data;
    const uint16_t n = kIndicatorSize;

    // The picture: a green disc with a white microphone on a dark square.
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, n, n);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const uint32_t dark = Colour(c, screen->default_colormap, 0x2000, 0x2800, 0x2000, screen->black_pixel);
    const uint32_t green = Colour(c, screen->default_colormap, 0x2000, 0xB000, 0x3000, screen->white_pixel);
    const uint32_t white = screen->white_pixel;
    uint32_t gcValues[] = {dark, 0};
    xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, gcValues);
    const xcb_rectangle_t whole{0, 0, n, n};
    xcb_poly_fill_rectangle(c, pixmap, gc, 1, &whole);
    xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &green);
    const xcb_arc_t disc{2, 2, static_cast<uint16_t>(n - 4), static_cast<uint16_t>(n - 4), 0, 360 * 64};
    xcb_poly_fill_arc(c, pixmap, gc, 1, &disc);
    xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &white);
    const xcb_arc_t head{12, 7, 8, 8, 0, 360 * 64};
    xcb_poly_fill_arc(c, pixmap, gc, 1, &head);
    const xcb_rectangle_t parts[] = {{12, 11, 8, 7}, {15, 18, 2, 5}, {11, 23, 10, 2}};
    xcb_poly_fill_rectangle(c, pixmap, gc, 3, parts);
    xcb_free_gc(c, gc);

    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {pixmap, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, n, n, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
    static const char kClass[] = "zeldll\0ZelIndicador";  // instance and class, each ending in NUL
    SetText(c, window, XCB_ATOM_WM_CLASS, kClass, sizeof kClass);
    static const char kName[] = "MORO Zel";
    SetText(c, window, XCB_ATOM_WM_NAME, kName, sizeof kName - 1);
    Sync(c);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    connection_ = c;
    window_ = window;
    pixmap_ = pixmap;
    return true;
}

void TIndicator::Show() {
    std::lock_guard lock(mutex_);
    if (!Ensure()) return;
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_map_window(connection_, window_);
    xcb_configure_window(connection_, window_, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    Sync(connection_);
}

void TIndicator::Hide() {
    std::lock_guard lock(mutex_);
    // Never shown (or no display): there is nothing to hide, and no reason to
    // open a connection for it.
    if (!connection_) return;
    if (!Ensure()) return;
    xcb_unmap_window(connection_, window_);
    Sync(connection_);
}

}  // namespace zeldll
