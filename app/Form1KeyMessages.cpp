// The hook library's key reports, which arrive as X client messages.

#include "app/Form1.h"

#include <xcb/xcb.h>

#include "recognition/hook/ActivationMessage.h"

namespace zel {

bool TForm1::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    // The hook library's key reports come as client messages to this window.
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    auto* cm = reinterpret_cast<xcb_client_message_event_t*>(event);
    if (cm->format != 32 || !IsActivationKeyMessage(cm->data.data32[0])) return false;
    if (!testAttribute(Qt::WA_WState_Created) || cm->window != static_cast<xcb_window_t>(winId())) return false;
    const uint32_t wParam = cm->data.data32[1], lParam = cm->data.data32[2];
    Handle([this, wParam, lParam] { ActivationKeyMessage(wParam, lParam); });
    return true;
}

}  // namespace zel
