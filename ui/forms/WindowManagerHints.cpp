#include "ui/forms/WindowManagerHints.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstring>

#include "ui/forms/MForm.h"

#ifdef IMPPRET_HAS_XCB
#include <xcb/xcb.h>
#endif

namespace ui {

QWidget* DialogOwnerWindow(const QWidget* except) {
  auto usable = [except](QWidget* w) {
    return w && w != except && w->isVisible() && w->isWindow();
  };
  if (QWidget* active = QApplication::activeWindow(); usable(active)) return active;
  if (QWidget* modal = QApplication::activeModalWidget(); usable(modal)) return modal;
  // The most recently raised of the program's forms: the list is in creation order, so the
  // last visible form is taken.
  QWidget* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (usable(w) && qobject_cast<TMForm*>(w)) found = w;
  return found;
}

#ifdef IMPPRET_HAS_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace
#endif

void PrepareDialogFrame(QWidget& dialog) {
#ifdef IMPPRET_HAS_XCB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* c = x11->connection();
  // Read by the window manager when the window is mapped; the toolkit writes these hints when
  // it creates the window, not when it shows it.
  const auto window = xcb_window_t(dialog.winId());
  // Motif hints: functions and decorations given. Functions: move only (4). Decorations:
  // border (2), title (8), menu (16).
  const std::uint32_t motif[5] = {1u | 2u, 4u, 2u | 8u | 16u, 0u, 0u};
  const xcb_atom_t motifAtom = Atom(c, "_MOTIF_WM_HINTS");
  if (motifAtom != XCB_ATOM_NONE)
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, motifAtom, motifAtom, 32, 5, motif);
  xcb_flush(c);
#else
  (void)dialog;
#endif
}

void MarkShownDialogModal(QWidget& dialog, QWidget* owner) {
#ifdef IMPPRET_HAS_XCB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return;
  xcb_connection_t* c = x11->connection();
  const auto window = xcb_window_t(dialog.winId());
  if (owner) {
    const auto ownerWindow = xcb_window_t(owner->winId());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &ownerWindow);
  }
  // The modal state, asked of the window manager as the EWMH says for a mapped window.
  const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  const xcb_atom_t modal = Atom(c, "_NET_WM_STATE_MODAL");
  if (state != XCB_ATOM_NONE && modal != XCB_ATOM_NONE) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = state;
    event.data.data32[0] = 1;  // add
    event.data.data32[1] = modal;
    event.data.data32[3] = 1;  // from a normal application
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (screen)
      xcb_send_event(c, 0, screen->root,
                     XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                     reinterpret_cast<const char*>(&event));
  }
  xcb_flush(c);
#else
  (void)dialog;
  (void)owner;
#endif
}

}  // namespace ui
